#include "bench/memory.hpp"

#include <malloc.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace orvo::bench {

namespace {

std::atomic<std::int64_t> held{0};
std::atomic<std::int64_t> peak{0};

void Count(std::int64_t bytes) {
  const std::int64_t now = held.fetch_add(bytes, std::memory_order_relaxed) + bytes;
  std::int64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p != nullptr) Count(static_cast<std::int64_t>(malloc_usable_size(p)));
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  Count(-static_cast<std::int64_t>(malloc_usable_size(p)));
  std::free(p);
}

// SQLite's own allocations, through the same count.
void* SqliteMalloc(int size) {
  return Allocate(static_cast<std::size_t>(size));
}
void SqliteFree(void* p) {
  Release(p);
}
void* SqliteRealloc(void* p, int size) {
  const std::int64_t before = p == nullptr ? 0 : static_cast<std::int64_t>(malloc_usable_size(p));
  void* moved = std::realloc(p, static_cast<std::size_t>(size));
  if (moved != nullptr) Count(static_cast<std::int64_t>(malloc_usable_size(moved)) - before);
  return moved;
}
int SqliteSize(void* p) {
  return static_cast<int>(malloc_usable_size(p));
}
int SqliteRoundup(int size) {
  return (size + 7) & ~7;
}
int SqliteInit(void*) {
  return SQLITE_OK;
}
void SqliteShutdown(void*) {}

// Before any connection is opened, as SQLite requires.
const bool kSqliteCounted = [] {
  static const sqlite3_mem_methods methods = {SqliteMalloc,  SqliteFree, SqliteRealloc,  SqliteSize,
                                              SqliteRoundup, SqliteInit, SqliteShutdown, nullptr};
  return sqlite3_config(SQLITE_CONFIG_MALLOC, &methods) == SQLITE_OK;
}();

}  // namespace

std::int64_t HeldBytes() {
  return held.load(std::memory_order_relaxed);
}

PeakScope::PeakScope() : start_(HeldBytes()) {
  if (!kSqliteCounted) throw std::runtime_error("SQLite's allocations cannot be counted");
  peak.store(start_, std::memory_order_relaxed);
}

std::int64_t PeakScope::ExtraBytes() const {
  return peak.load(std::memory_order_relaxed) - start_;
}

}  // namespace orvo::bench

void* operator new(std::size_t size) {
  void* p = orvo::bench::Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return orvo::bench::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return orvo::bench::Allocate(size);
}
void operator delete(void* p) noexcept {
  orvo::bench::Release(p);
}
void operator delete[](void* p) noexcept {
  orvo::bench::Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  orvo::bench::Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  orvo::bench::Release(p);
}
