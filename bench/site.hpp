// Site is the template store of a busy site for the benchmarks: users with
// their own templates of many bill types and reports (two templates each, the
// first selected, and a settings row), the manager user's templates, a bill
// type that only the manager has templates of (large ones, for the first-use
// copy), and business tables of bills to count prints on and of pictures.
// The writing benchmarks write to a bill type of their own, so that what the
// reading ones see stays the same. A site is the same rows on either
// backend, written by the backend's own fastest path in one transaction, so
// that a store of a million rows is ready in seconds: on SQLite with its own
// API into a file in a temporary directory, on PostgreSQL with COPY into a
// schema of its own on the server that ORVO_TEST_PG names. Either goes when
// the site goes.
//
// Calls are spread over the users and bill types as a real site spreads
// them: UserOf and BillTypeOf give the n-th call's user and bill type, so
// every cache sees what a site gives it rather than one repeated call.
//
// Used on the benchmark's thread.

#ifndef ORVO_BENCH_SITE_HPP_
#define ORVO_BENCH_SITE_HPP_

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::bench {

// The backends the members are measured on. SQLite always; PostgreSQL when
// ORVO_TEST_PG names a server (bench/server.hpp), each member then measured
// beside a baseline written with libpq against the same server.
enum class Backend { SQLite = 0, PostgreSQL = 1 };
bool Measured(Backend backend);
// A benchmark's name on a backend: "BM_<what>" on SQLite and
// "BM_<what>_PostgreSQL" on the server.
std::string BenchmarkName(const std::string& what, Backend backend);

struct SiteShape {
  std::int32_t users = 1000;
  std::int32_t callers = 0;  // the users who call (the first so many), 0 for all
  std::int32_t billTypes = 50;
  std::int32_t reports = 10;
  std::int32_t bodySize = 1024;           // bytes of each template body
  std::int32_t bills = 10000;             // rows of the business table t_Bill
  std::int32_t copyTemplates = 50;        // the manager's templates of the copied bill type
  std::int32_t copyBodySize = 100 << 10;  // bytes of each of them
  std::int64_t pictureSize = 10 << 20;    // bytes of the picture in t_Picture
};

// The shapes the benchmarks use: a site of 1,000 users and 50 bill types, or
// a tenth of it when ORVO_BENCH_SMOKE is set (a quick run that only shows
// that every benchmark works).
SiteShape BusySite();
bool Smoke();

// The name a user signs in with; templates of the site were created by it.
std::string UserName(std::int32_t user);

// Bytes that do not compress.
Bytes Picture(std::int64_t size);

class Site {
 public:
  Site(const SiteShape& shape, Backend backend);
  ~Site();
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;

  const SiteShape& Shape() const { return shape_; }
  // The data source text that names the site's store, for the members and
  // for the baselines' own connections.
  const std::string& Dsn() const { return dsn_; }
  std::int32_t Callers() const { return shape_.callers == 0 ? shape_.users : shape_.callers; }
  // The store's file, on SQLite.
  const std::filesystem::path& File() const { return file_; }

  // The n-th call's user (1 .. callers) and bill type (1 .. billTypes) or
  // report (1 .. reports).
  std::int32_t UserOf(std::int64_t n) const;
  std::int32_t BillTypeOf(std::int64_t n) const;
  std::int32_t ReportOf(std::int64_t n) const;
  // The bill types the writing benchmarks write to; every user has two
  // templates of each, as of the others. UpdateUserNoteData chooses between
  // a user's two templates of the first. InsertNoteRow saves one of the
  // second again, which adds an assignment row of it on every call, so that
  // no other benchmark meets the rows it adds.
  std::int32_t WriteBillType() const { return shape_.billTypes + 1; }
  std::int32_t SaveBillType() const { return shape_.billTypes + 2; }
  // The bill type of which only the manager has templates.
  std::int32_t CopyBillType() const { return shape_.billTypes + 3; }
  // Rows of T_PrintExport that assign a template to a user.
  std::int64_t AssignmentRows() const;
  // The id of a user's first (selected) template of a bill type; the second
  // follows it.
  std::int32_t TemplateOf(std::int32_t user, std::int32_t billType) const;

 private:
  SiteShape shape_;
  std::filesystem::path directory_;
  std::filesystem::path file_;
  std::string schema_;  // on the server
  std::string dsn_;
};

// A connection of SQLite's own to a site's file, for the baselines: the same
// statements as the classes run, written by hand, prepared once and bound.
class Raw {
 public:
  explicit Raw(const std::filesystem::path& file);
  ~Raw();
  Raw(const Raw&) = delete;
  Raw& operator=(const Raw&) = delete;

  sqlite3* get() const { return db_; }
  // A statement prepared once; finalized with the connection.
  sqlite3_stmt* Prepare(const char* sql);
  // Runs a statement without rows (BEGIN, COMMIT) prepared once.
  void Run(sqlite3_stmt* statement);

 private:
  sqlite3* db_ = nullptr;
};

// The sites the benchmarks compare: a busy site (1,000 users, 50 bill types,
// about 100,000 assignment rows, all users calling), and sites of about
// 10,000 and 1,000,000 assignment rows, on which a member's latency must be
// the same. The same hundred users call on both of these, so that they differ
// in the size of the store alone, not in how much of it the calls touch.
// Built on first use, one of each size per backend, and kept for the
// program; in a smoke run each is a small site.
enum class SiteSize { Busy = 0, TenThousand = 1, Million = 2 };
Site& SiteOf(SiteSize size, Backend backend);
// The site a benchmark's argument names on a backend; records its number of
// assignment rows as the benchmark's counter "rows".
Site& SiteFor(benchmark::State& state, Backend backend);
// The sizes a benchmark runs on: all three, or only the busy site in a
// smoke run.
std::vector<SiteSize> Sizes();
// Registers a benchmark on every size, in microseconds; with
// ORVO_BENCH_ITERATIONS set, for that many iterations each, so that two
// runs under callgrind tell the instructions of one call apart from the
// site's building.
void Sized(benchmark::internal::Benchmark* benchmark);
// Sized, and outside a smoke run repeated 45 times whatever the run asks
// for: for the first-use copy, whose calls each write 5 MB, so that the
// disk's pace spreads its repetitions by a third to a half, and a mean of 15
// would be off by a tenth.
void SizedAndRepeatedMore(benchmark::internal::Benchmark* benchmark);
// Sized, for a benchmark that times its calls itself (InTurn).
void SizedTimedByHand(benchmark::internal::Benchmark* benchmark);
// SizedTimedByHand, and outside a smoke run repeated 45 times: for the save
// with the history on against off, whose calls each sync the log, so that a
// repetition's ratio spreads by a tenth and a median of 15 moves by four
// hundredths from run to run.
void SizedTimedByHandRepeatedMore(benchmark::internal::Benchmark* benchmark);

// Registers `run(state, backend)` as BenchmarkName(what, backend) on every
// backend measured, on every size, applying `apply` to each.
template <class Run>
void RegisterOnEach(const std::string& what, Run run,
                    void (*apply)(benchmark::internal::Benchmark*)) {
  for (const Backend backend : {Backend::SQLite, Backend::PostgreSQL}) {
    if (!Measured(backend)) continue;
    benchmark::RegisterBenchmark(BenchmarkName(what, backend).c_str(),
                                 [run, backend](benchmark::State& state) { run(state, backend); })
        ->Apply(apply);
  }
}

// An object created by its ProgID whose members are called late-bound, as a
// scripting host does: by name, with Variant arguments. A printing client
// creates its objects once and calls them for every bill.
class LateBound {
 public:
  explicit LateBound(const char* progId);
  Variant Call(const char* member, std::vector<Variant> args);

 private:
  std::shared_ptr<Dispatch> object_;
};

// Copies of what a row gives, as a caller would get them.
std::string TextOf(sqlite3_stmt* statement, int column);
Bytes BytesOf(sqlite3_stmt* statement, int column);
// A column of a row, copied out by its type.
struct CopiedValue {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;  // text or blob
};
// Every column of the current row.
std::vector<CopiedValue> RowOf(sqlite3_stmt* statement);

}  // namespace orvo::bench

#endif  // ORVO_BENCH_SITE_HPP_
