// The print path, what a printing client calls for every printed bill:
//  - GetNotePrintData, answered by the clerk's own selection (the first
//    statement of the chain finds it) and by the manager user's (the second);
//  - BM_RawPrintDataSelect runs the first template statement and the settings
//    statement of that chain on an open connection, so the difference is the
//    cost of the method frame (data context, unit of work) and of building
//    the result.
//  - GetNoteInfo, the catalogue a client shows before printing.
// The store holds many users' templates, so the statements search a table of
// realistic size: kUsers users with kTemplates templates each of one bill type.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bench/bench_store.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/component/classes.hpp"

namespace {

using orvo::bench::BenchStore;
using orvo::bench::ClearJournal;
using orvo::bench::kClerk;
using orvo::bench::Picture;

constexpr std::int32_t kClerkBillType = 28;    // the clerk selected a template of her own
constexpr std::int32_t kManagerBillType = 29;  // only the manager user selected one
constexpr std::int32_t kUsers = 1000;
constexpr std::int32_t kTemplates = 3;
constexpr std::int64_t kBodySize = 16 << 10;

void AddTemplate(BenchStore& store, std::int32_t billType, std::int32_t user,
                 const std::string& name, bool selected) {
  store.Insert(
      "insert into T_PrintExportNote (FName,FScreenId,FCreatorName,FNewBillType,FData) "
      "values (?,?,?,?,?)",
      {name, std::to_string(billType), "user" + std::to_string(user), billType,
       Picture(kBodySize)});
  auto id = store.Connection().Execute("select max(FId) from T_PrintExportNote");
  store.Insert(
      "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FName,FBillTypeSub,FSel) "
      "values (?,?,?,?,'',?)",
      {billType, id->Fields(0).Value(), user, name, selected ? 1 : 0});
}

BenchStore& PrintStore() {
  static BenchStore store;
  static const bool filled = [] {
    store.Connection().BeginTrans();
    for (std::int32_t user = 1; user <= kUsers; ++user) {
      for (std::int32_t n = 0; n < kTemplates; ++n) {
        AddTemplate(store, kClerkBillType, user, "Invoice " + std::to_string(n), n == 0);
      }
    }
    AddTemplate(store, kManagerBillType, 16394, "Delivery note", true);
    store.Insert(
        "insert into T_PrintExport (FBillType,FBillId,FPreparerId,FName,FData) "
        "values (?,0,?,'存放页面设置信息','copies=2')",
        {kClerkBillType, std::int32_t{kClerk}});
    store.Connection().CommitTrans();
    return true;
  }();
  (void)filled;
  return store;
}

// Argument: the bill type, 28 answered by the clerk's own selection, 29 by
// the manager user's after the clerk's statement found nothing.
void BM_GetNotePrintData(benchmark::State& state) {
  BenchStore& store = PrintStore();
  const auto billType = static_cast<std::int32_t>(state.range(0));
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  if (query->GetNotePrintData(store.Dsn(), billType)->Count() != 1) {
    state.SkipWithError("GetNotePrintData found no template");
    return;
  }
  for (auto _ : state) {
    auto printData = query->GetNotePrintData(store.Dsn(), billType);
    benchmark::DoNotOptimize(printData);
    ClearJournal();
  }
}
BENCHMARK(BM_GetNotePrintData)
    ->Arg(kClerkBillType)
    ->Arg(kManagerBillType)
    ->Unit(benchmark::kMicrosecond);

void BM_RawPrintDataSelect(benchmark::State& state) {
  BenchStore& store = PrintStore();
  const std::string t = std::to_string(kClerkBillType);
  const std::string u = std::to_string(kClerk);
  const std::string chosen =
      "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
      "i.FbillId=c.FId   Where i.FBillType=" +
      t + " And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1 and FPreparerId=" + u;
  const std::string settings = "Select FData from T_PrintExport where fbilltype=" + t +
                               " and fbillid=0  and FPreparerId=" + u;
  for (auto _ : state) {
    auto body = store.Connection().Execute(chosen);
    auto option = store.Connection().Execute(settings);
    orvo::Variant bytes = body->Fields("fblob").Value();
    orvo::Variant text = option->Fields(0).Value();
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_RawPrintDataSelect)->Unit(benchmark::kMicrosecond);

void BM_GetNoteInfo(benchmark::State& state) {
  BenchStore& store = PrintStore();
  auto query = std::make_shared<orvo::clsPrintSetupQuery>();
  for (auto _ : state) {
    auto catalogue = query->GetNoteInfo(store.Dsn(), kClerkBillType);
    benchmark::DoNotOptimize(catalogue);
    ClearJournal();
  }
}
BENCHMARK(BM_GetNoteInfo)->Unit(benchmark::kMicrosecond);

}  // namespace
