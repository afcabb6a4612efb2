#include "bench/memory.hpp"

#include <malloc.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace orvo::bench {

namespace {

std::atomic<bool> counting{false};
// While counting: bytes allocated less bytes freed since the scope opened
// (freeing what was held before makes it fall below 0), and its most.
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
  if (p != nullptr && counting.load(std::memory_order_relaxed)) {
    Count(static_cast<std::int64_t>(malloc_usable_size(p)));
  }
  return p;
}

void Release(void* p) {
  if (p != nullptr && counting.load(std::memory_order_relaxed)) {
    Count(-static_cast<std::int64_t>(malloc_usable_size(p)));
  }
  std::free(p);
}

}  // namespace

PeakScope::PeakScope() : sqliteStart_(sqlite3_memory_used()) {
  sqlite3_memory_highwater(1);
  held.store(0, std::memory_order_relaxed);
  peak.store(0, std::memory_order_relaxed);
  counting.store(true, std::memory_order_relaxed);
}

PeakScope::~PeakScope() {
  counting.store(false, std::memory_order_relaxed);
}

std::int64_t PeakScope::ExtraBytes() const {
  return peak.load(std::memory_order_relaxed) + (sqlite3_memory_highwater(0) - sqliteStart_);
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
