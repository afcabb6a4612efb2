// Counts the memory the program holds, so that a benchmark can report the
// most a call held on top of what was held before it: every operator new and
// every allocation of SQLite's is counted.
//
// Counting is process-wide; PeakScope is for one thread's benchmark at a time.

#ifndef ORVO_BENCH_MEMORY_HPP_
#define ORVO_BENCH_MEMORY_HPP_

#include <cstdint>

namespace orvo::bench {

// Bytes held now.
std::int64_t HeldBytes();

// The most held at any moment since it began, above what was held when it
// began.
class PeakScope {
 public:
  PeakScope();
  std::int64_t ExtraBytes() const;

 private:
  std::int64_t start_;
};

}  // namespace orvo::bench

#endif  // ORVO_BENCH_MEMORY_HPP_
