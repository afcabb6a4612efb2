// The two reads a printing client makes for every printed bill, through the
// library as a host calls it:
//  - GetPictureData copies a picture in chunks of 100 bytes into a stream;
//    BM_RawPictureSelect reads the same value with one plain select on an
//    open connection, so the difference is the cost of the chunked copy and
//    of the method frame (data context, unit of work).
//  - GetPageAndPrintSet, with the user's own settings row (one statement) and
//    with the fallback to the manager user's (two statements).
// Each benchmark builds its store once, in a temporary directory that is
// removed when the program ends.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_store.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::bench::BenchStore;
using orvo::bench::ClearJournal;
using orvo::bench::kClerk;
using orvo::bench::Picture;

constexpr std::int32_t kClerkBillType = 28;    // the clerk has her own settings
constexpr std::int32_t kManagerBillType = 29;  // only the manager user has settings
// The picture table of a business application, one row per picture size
// (the row's key is the size).
BenchStore& PictureStore() {
  static BenchStore store;
  static const bool filled = [] {
    store.Connection().Execute(
        "create table t_ICItemPicture (FItemID INTEGER PRIMARY KEY, FPicture BLOB)");
    for (const std::int64_t size :
         {std::int64_t{1} << 10, std::int64_t{1} << 20, std::int64_t{10} << 20}) {
      store.Insert("insert into t_ICItemPicture (FItemID, FPicture) values (?,?)",
                   {static_cast<std::int32_t>(size), Picture(size)});
    }
    return true;
  }();
  (void)filled;
  return store;
}

BenchStore& SettingsStore() {
  static BenchStore store;
  static const bool filled = [] {
    const std::string insert =
        "insert into T_PrintExport (FBillId,FBillType,FPreparerId,FName,FPrintSet) "
        "values (0,?,?,'存放页面设置信息',?)";
    store.Insert(insert, {kClerkBillType, std::int32_t{kClerk}, Picture(512)});
    store.Insert(insert, {kClerkBillType, std::int32_t{16394}, Picture(512)});
    store.Insert(insert, {kManagerBillType, std::int32_t{16394}, Picture(512)});
    return true;
  }();
  (void)filled;
  return store;
}

void BM_GetPictureData(benchmark::State& state) {
  BenchStore& store = PictureStore();
  const std::int64_t size = state.range(0);
  auto info = std::make_shared<orvo::Dictionary>();
  info->SetValue("TableName", "t_ICItemPicture");
  info->SetValue("FieldName", "FPicture");
  info->SetValue("PrimaryKeyField", "FItemID");
  info->SetValue("PrimaryKeyValue", std::to_string(size));
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  if (query->GetPictureData(store.Dsn(), info).AsBytes().size() != static_cast<std::size_t>(size)) {
    state.SkipWithError("GetPictureData read a picture of the wrong size");
    return;
  }
  for (auto _ : state) {
    orvo::Variant picture = query->GetPictureData(store.Dsn(), info);
    benchmark::DoNotOptimize(picture);
    ClearJournal();
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_GetPictureData)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMicrosecond);

void BM_RawPictureSelect(benchmark::State& state) {
  BenchStore& store = PictureStore();
  const std::int64_t size = state.range(0);
  const std::string select =
      "select FPicture from t_ICItemPicture where FItemID=" + std::to_string(size);
  for (auto _ : state) {
    auto rows = store.Connection().Execute(select);
    orvo::Variant picture = rows->Fields(0).Value();
    benchmark::DoNotOptimize(picture);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_RawPictureSelect)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMicrosecond);

// Argument: the bill type, 28 answered by the clerk's own row, 29 by the
// manager user's after the clerk's select found nothing.
void BM_GetPageAndPrintSet(benchmark::State& state) {
  BenchStore& store = SettingsStore();
  const auto billType = static_cast<std::int32_t>(state.range(0));
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  if (query->GetPageAndPrintSet(store.Dsn(), billType)->Count() != 1) {
    state.SkipWithError("GetPageAndPrintSet found no settings row");
    return;
  }
  for (auto _ : state) {
    auto settings = query->GetPageAndPrintSet(store.Dsn(), billType);
    benchmark::DoNotOptimize(settings);
    ClearJournal();
  }
}
BENCHMARK(BM_GetPageAndPrintSet)->Arg(kClerkBillType)->Arg(kManagerBillType);

}  // namespace
