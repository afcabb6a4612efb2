#include "automation/large_buffer.hpp"

namespace orvo {

namespace {

// The most a thread keeps idle: far beyond any picture a form prints.
constexpr std::size_t kMostKept = std::size_t{64} << 20;

// Set when the thread's spare buffer is gone at the thread's end; a buffer
// let go after that is freed at once. Trivially destructible, so it can be
// read at any moment of the thread's end.
thread_local bool spareGone = false;

// The buffer a thread keeps for its next large value.
struct Spare {
  std::uint8_t* bytes = nullptr;
  std::size_t capacity = 0;
  ~Spare() {
    delete[] bytes;
    spareGone = true;
  }
};

Spare& ThreadSpare() {
  thread_local Spare spare;
  return spare;
}

// Keeps a buffer that is let go as its thread's spare, unless the spare is
// as large already: the largest serves every value down to half its size,
// so a thread that reads templates of 100 KB between pictures of 10 MB keeps
// the picture's buffer.
struct KeepOrFree {
  std::size_t capacity;
  void operator()(std::uint8_t* bytes) const {
    if (spareGone || capacity > kMostKept) {
      delete[] bytes;
      return;
    }
    Spare& spare = ThreadSpare();
    if (spare.bytes != nullptr && spare.capacity >= capacity) {
      delete[] bytes;
      return;
    }
    delete[] spare.bytes;
    spare.bytes = bytes;
    spare.capacity = capacity;
  }
};

}  // namespace

std::shared_ptr<std::uint8_t[]> LargeBuffer(std::size_t size) {
  if (!spareGone) {
    Spare& spare = ThreadSpare();
    // Not one much larger than needed, which would hold memory idle.
    if (spare.bytes != nullptr && spare.capacity >= size && spare.capacity / 2 <= size) {
      std::uint8_t* bytes = spare.bytes;
      const std::size_t capacity = spare.capacity;
      spare.bytes = nullptr;
      spare.capacity = 0;
      return std::shared_ptr<std::uint8_t[]>(bytes, KeepOrFree{capacity});
    }
  }
  return std::shared_ptr<std::uint8_t[]>(new std::uint8_t[size], KeepOrFree{size});
}

}  // namespace orvo
