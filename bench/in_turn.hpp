// Times a member and its baseline in the same iterations, one call of each
// in turn, for a workload whose pace the machine changes for minutes at a
// time (the disk writing back, the server's caches filling and emptying):
// two benchmarks timed apart would meet those periods by chance, two calls
// timed in turn meet the same one. Which of the two goes first alternates,
// so that neither always finds the caches the other left.
//
// The member's time is the benchmark's (register it with UseManualTime);
// its baseline's is the counter "baseline", in microseconds per call, which
// scripts/bench_report reads as the baseline's run. The counter "ratio" is
// the member's time over the baseline's in the repetition's iterations: a
// repetition that met a slow period met it with both, so its ratio keeps
// the pairing that the member's and the baseline's times apart lose.

#ifndef ORVO_BENCH_IN_TURN_HPP_
#define ORVO_BENCH_IN_TURN_HPP_

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace orvo::bench {

class InTurn {
 public:
  explicit InTurn(benchmark::State& state) : state_(state) {}
  InTurn(const InTurn&) = delete;
  InTurn& operator=(const InTurn&) = delete;
  ~InTurn() {
    state_.counters["baseline"] =
        benchmark::Counter(baselineSeconds_ * 1e6, benchmark::Counter::kAvgIterations);
    if (baselineSeconds_ > 0) state_.counters["ratio"] = memberSeconds_ / baselineSeconds_;
  }

  // One iteration: a call of each, the member's time given to the iteration.
  template <class Member, class Baseline>
  void Time(Member&& member, Baseline&& baseline) {
    Time(
        member, baseline, [] {}, [] {});
  }

  // The same, each call made ready by its own step just before it runs,
  // untimed: for a member and a baseline that differ only in how the store
  // is set (the history on and off), so that the two share every period the
  // store goes through.
  template <class Member, class Baseline, class ReadyMember, class ReadyBaseline>
  void Time(Member&& member, Baseline&& baseline, ReadyMember&& readyMember,
            ReadyBaseline&& readyBaseline) {
    double memberSeconds = 0;
    for (int turn = 0; turn < 2; ++turn) {
      const bool memberTurn = (turn == 0) == (iteration_ % 2 == 0);
      if (memberTurn) {
        readyMember();
      } else {
        readyBaseline();
      }
      const auto start = std::chrono::steady_clock::now();
      if (memberTurn) {
        member();
      } else {
        baseline();
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      (memberTurn ? memberSeconds : baselineSeconds_) += took.count();
    }
    state_.SetIterationTime(memberSeconds);
    memberSeconds_ += memberSeconds;
    ++iteration_;
  }

 private:
  benchmark::State& state_;
  double memberSeconds_ = 0;
  double baselineSeconds_ = 0;
  std::int64_t iteration_ = 0;
};

// A baseline: the statements of one of a site's calls, written by hand with
// the database's own API on a connection of its own.
class Baseline {
 public:
  virtual ~Baseline() = default;
  // The site's n-th call.
  virtual void Call(std::int64_t n) = 0;
};

// Times a member's calls and its baseline's in turn: in every iteration the
// member makes the site's n-th call and the baseline the call `apart` after
// it, so that neither finds in the caches the rows that the other just read
// or wrote.
template <class Member>
void TimeCallsInTurn(benchmark::State& state, Member&& member, Baseline& baseline,
                     std::int64_t apart) {
  InTurn inTurn(state);
  std::int64_t n = 0;
  for (auto _ : state) {
    inTurn.Time([&] { member(n); }, [&] { baseline.Call(n + apart); });
    ++n;
  }
}

}  // namespace orvo::bench

#endif  // ORVO_BENCH_IN_TURN_HPP_
