// LargeBuffer gives the bytes of a large value (a picture read from a
// business table) a buffer that is reused from one read to the next on the
// same thread: the largest buffer a thread has let go is kept for its next
// large value of at least half its size. A printing client reads the same
// pictures again and again; without this, every read of a picture of
// megabytes asks the allocator for that much anew, and whether it gets
// memory already touched or fresh pages to fault in one by one depends on
// where the allocator's thresholds happen to fall.
//
// Any thread; a buffer may be let go on another thread than its own.

#ifndef ORVO_AUTOMATION_LARGE_BUFFER_HPP_
#define ORVO_AUTOMATION_LARGE_BUFFER_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvo {

// Values of at least this many bytes count as large.
inline constexpr std::size_t kLargeValue = std::size_t{64} << 10;

// A buffer of at least `size` (kLargeValue or more) bytes, uninitialised.
std::shared_ptr<std::uint8_t[]> LargeBuffer(std::size_t size);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_LARGE_BUFFER_HPP_
