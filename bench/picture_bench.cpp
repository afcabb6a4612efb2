// A picture of 10 MB read from a business table: GetPictureData reads it in
// chunks as the classes do; beside it, a plain read of the blob with the
// database's own API (SQLite's, and libpq on the server) in one transaction.
// On SQLite each reports the most memory a call held on top of what was held
// before it, as a multiple of the picture's size ("held_per_size"): the most
// of any call timed and of a first call on a thread of its own, before which
// the thread held nothing for pictures. On the server libpq holds the
// picture as it arrives in memory of its own, which is not counted, so
// there the time alone is measured, member and plain read in turn
// (bench/in_turn.hpp).
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <thread>

#include "bench/in_turn.hpp"
#include "bench/memory.hpp"
#include "bench/server.hpp"
#include "bench/site.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::Variant;
using orvo::bench::Backend;
using orvo::bench::LateBound;
using orvo::bench::PeakScope;
using orvo::bench::Raw;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::Sized;

void ReportHeld(benchmark::State& state, const Site& site, std::int64_t most) {
  state.counters["held_per_size"] =
      static_cast<double>(most) / static_cast<double>(site.Shape().pictureSize);
  state.SetBytesProcessed(state.iterations() * site.Shape().pictureSize);
}

Variant ReadPicture(const Site& site) {
  LateBound object("OrvoMPrintExport.clsPrintSetupQuery");
  auto info = std::make_shared<orvo::Dictionary>();
  info->SetValue("TableName", "t_Picture");
  info->SetValue("FieldName", "FImage");
  info->SetValue("PrimaryKeyField", "FItemID");
  info->SetValue("PrimaryKeyValue", "1");
  return object.Call("GetPictureData", {site.Dsn(), info});
}

// The most a thread's first read of the picture holds, while the benchmark's
// own thread waits.
std::int64_t FirstReadHeld(const Site& site) {
  std::int64_t extra = 0;
  std::thread([&] {
    orvo::host::ServiceHub::Current()->SignIn(1, orvo::bench::UserName(1));
    const PeakScope held;
    {
      Variant picture = ReadPicture(site);
      benchmark::DoNotOptimize(picture);
    }
    extra = held.ExtraBytes();
    orvo::host::ServiceHub::Current()->ClosePool();
  }).join();
  return extra;
}

void BM_GetPictureData(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  orvo::host::ServiceHub::Current()->SignIn(1, orvo::bench::UserName(1));
  std::int64_t most = FirstReadHeld(site);
  for (auto _ : state) {
    const PeakScope held;
    {
      Variant picture = ReadPicture(site);
      benchmark::DoNotOptimize(picture);
    }
    most = std::max(most, held.ExtraBytes());
  }
  ReportHeld(state, site, most);
}
BENCHMARK(BM_GetPictureData)->Apply(Sized);

void BM_GetPictureData_Baseline(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* read = raw.Prepare("select FImage from t_Picture\r\n where FItemID=?");
  std::int64_t most = 0;
  // Read into the same buffer each time, as a careful caller would: no call
  // waits for memory of its own.
  orvo::Bytes picture;
  for (auto _ : state) {
    const PeakScope held;
    raw.Run(begin);
    sqlite3_bind_int(read, 1, 1);
    if (sqlite3_step(read) == SQLITE_ROW) {
      const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(read, 0));
      picture.assign(data, data + sqlite3_column_bytes(read, 0));
    }
    sqlite3_reset(read);
    raw.Run(commit);
    benchmark::DoNotOptimize(picture);
    most = std::max(most, held.ExtraBytes());
  }
  ReportHeld(state, site, most);
}
BENCHMARK(BM_GetPictureData_Baseline)->Apply(Sized);

// On the server the picture comes from the server's caches, or from its
// files when the benchmarks before it pushed it out of them; which of the two
// changes over a run, so the member and the plain read are timed in turn.
void BM_GetPictureData_PostgreSQL(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  orvo::host::ServiceHub::Current()->SignIn(1, orvo::bench::UserName(1));
  Server& raw = Server::Kept(site.Dsn());
  const auto begin = raw.Prepare("BEGIN");
  const auto commit = raw.Prepare("COMMIT");
  const auto read = raw.Prepare("select FImage from t_Picture\r\n where FItemID=$1");
  orvo::Bytes picture;
  orvo::bench::InTurn inTurn(state);
  for (auto _ : state) {
    inTurn.Time(
        [&] {
          Variant member = ReadPicture(site);
          benchmark::DoNotOptimize(member);
        },
        [&] {
          raw.Run(begin);
          const ServerResult found = raw.Run(read, ServerValues().Int(1));
          if (found.Rows() > 0) {
            const auto* data = reinterpret_cast<const std::uint8_t*>(PQgetvalue(found.get(), 0, 0));
            picture.assign(data, data + PQgetlength(found.get(), 0, 0));
          }
          raw.Run(commit);
          benchmark::DoNotOptimize(picture);
        });
  }
  state.SetBytesProcessed(state.iterations() * site.Shape().pictureSize);
}

[[maybe_unused]] const bool kServerRegistered =
    orvo::bench::Measured(Backend::PostgreSQL) &&
    (benchmark::RegisterBenchmark(
         orvo::bench::BenchmarkName("GetPictureData", Backend::PostgreSQL).c_str(),
         BM_GetPictureData_PostgreSQL)
         ->Apply(orvo::bench::SizedTimedByHand),
     true);

}  // namespace
