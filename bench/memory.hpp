// Measures the most memory a call holds on top of what was held before it:
// the C++ allocations of the whole program, counted while a PeakScope is
// open (and not otherwise, so that no other benchmark pays for counting),
// plus SQLite's own, by its high-water mark. The two peaks are added, which
// may count more than was held at any one moment, never less.
//
// One PeakScope at a time, on the benchmark's thread; allocations of other
// threads are counted while it is open.

#ifndef ORVO_BENCH_MEMORY_HPP_
#define ORVO_BENCH_MEMORY_HPP_

#include <cstdint>

namespace orvo::bench {

class PeakScope {
 public:
  PeakScope();
  ~PeakScope();
  PeakScope(const PeakScope&) = delete;
  PeakScope& operator=(const PeakScope&) = delete;

  // The most held since the scope opened, above what was held then.
  std::int64_t ExtraBytes() const;

 private:
  std::int64_t sqliteStart_;
};

}  // namespace orvo::bench

#endif  // ORVO_BENCH_MEMORY_HPP_
