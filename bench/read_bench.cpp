// The reads a printing client makes for every bill it prints and every list
// it shows, each called late-bound beside its baseline: the same statements
// written by hand with the database's own API (SQLite's, and libpq on the
// server), prepared once and bound, in one transaction per call as the
// member's unit of work, every value copied out as a caller gets it. Calls
// spread over the site's users and bill types.
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/server.hpp"
#include "bench/site.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::Variant;
using orvo::bench::Backend;
using orvo::bench::BytesOf;
using orvo::bench::IntOf;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::Sized;
using orvo::bench::TextOf;

// Calls a reading member late-bound as the n-th call's user, for the n-th
// call's bill type (or report).
void Read(benchmark::State& state, Backend backend, const char* progId, const char* member,
          bool reports) {
  LateBound object(progId);
  Site& site = SiteFor(state, backend);
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    orvo::host::ServiceHub::Current()->SignIn(static_cast<std::int16_t>(user),
                                              orvo::bench::UserName(user));
    Variant result =
        object.Call(member, {site.Dsn(), reports ? site.ReportOf(n) : site.BillTypeOf(n)});
    benchmark::DoNotOptimize(result);
    ++n;
  }
}

// Each reading member as "BM_<member>" on every backend, beside its
// baselines below.
[[maybe_unused]] const bool kReadsRegistered = [] {
  struct Member {
    const char* progId;
    const char* member;
    bool reports;
  };
  constexpr const char* kQuery = "OrvoMPrintExport.clsPrintSetupQuery";
  for (const Member& read : {
           Member{kQuery, "GetNoteInfo", false},
           Member{kQuery, "GetNotePrintData", false},
           Member{"OrvoMPrintExport.clsPrintSetupQueryRpt", "GetRptNotePrintData", true},
           Member{kQuery, "GetPageAndPrintSet", false},
           Member{kQuery, "GetCurrNote", false},
       }) {
    orvo::bench::RegisterOnEach(read.member, [read](benchmark::State& state, Backend backend) {
      Read(state, backend, read.progId, read.member, read.reports);
    });
  }
  return true;
}();

struct CatalogueRow {
  std::int32_t billType, billId, sel;
  std::string name, subType;
};

void BM_GetNoteInfo_Baseline(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* list = raw.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype=? "
      "and fbillid>0 and FPreparerId=?");
  sqlite3_stmt* option = raw.Prepare(
      "select fdata from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?");
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::int32_t billType = site.BillTypeOf(n);
    raw.Run(begin);
    std::vector<CatalogueRow> rows;
    sqlite3_bind_int(list, 1, billType);
    sqlite3_bind_int(list, 2, user);
    while (sqlite3_step(list) == SQLITE_ROW) {
      rows.push_back({sqlite3_column_int(list, 0), sqlite3_column_int(list, 2),
                      sqlite3_column_int(list, 4), TextOf(list, 1), TextOf(list, 3)});
    }
    sqlite3_reset(list);
    std::string text;
    sqlite3_bind_int(option, 1, billType);
    sqlite3_bind_int(option, 2, user);
    if (sqlite3_step(option) == SQLITE_ROW) text = TextOf(option, 0);
    sqlite3_reset(option);
    raw.Run(commit);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(text);
    ++n;
  }
}
BENCHMARK(BM_GetNoteInfo_Baseline)->Apply(Sized);

// The selected template and the settings text: the first statement of each
// chain finds its row, as for every user with templates of their own.
void PrintDataBaseline(benchmark::State& state, const char* chosenSql, const char* settingsSql,
                       bool reports) {
  Site& site = SiteFor(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* chosen = raw.Prepare(chosenSql);
  sqlite3_stmt* settings = raw.Prepare(settingsSql);
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::int32_t key = reports ? site.ReportOf(n) : site.BillTypeOf(n);
    raw.Run(begin);
    sqlite3_bind_int(chosen, 1, key);
    sqlite3_bind_int(chosen, 2, user);
    std::vector<orvo::bench::CopiedValue> row;
    if (sqlite3_step(chosen) == SQLITE_ROW) row = orvo::bench::RowOf(chosen);
    sqlite3_reset(chosen);
    std::string text;
    sqlite3_bind_int(settings, 1, key);
    sqlite3_bind_int(settings, 2, user);
    if (sqlite3_step(settings) == SQLITE_ROW) text = TextOf(settings, 0);
    sqlite3_reset(settings);
    raw.Run(commit);
    // The entry's key: bill type (or report) and template id, the row's
    // third and fourth columns.
    const std::string entryKey =
        row.empty() ? std::string()
                    : std::to_string(row[2].integer) + "|" + std::to_string(row[3].integer);
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(entryKey);
    ++n;
  }
}

void BM_GetNotePrintData_Baseline(benchmark::State& state) {
  PrintDataBaseline(
      state,
      "Select c.FData as FBlob,i.* From T_PrintExport i inner Join "
      "T_PrintExportNote c On i.FbillId=c.FId Where i.FBillType=? And ifnull(i.FBillTypeSub, '') "
      "= '' And i.FSel=1 and FPreparerId=?",
      "Select FData from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?", false);
}
BENCHMARK(BM_GetNotePrintData_Baseline)->Apply(Sized);

void BM_GetRptNotePrintData_Baseline(benchmark::State& state) {
  PrintDataBaseline(
      state,
      "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
      "T_RptExcelPrintExportNote c On i.FNoteId=c.FId Where i.FRptId=? And ifnull(i.FTypeSub, '') "
      "= '' And i.FSel=1 and FPreparerId=?",
      "Select FData from T_RptExcelPrintExport where FRptId=? and FNoteId=0 and FPreparerId=?",
      true);
}
BENCHMARK(BM_GetRptNotePrintData_Baseline)->Apply(Sized);

void BM_GetPageAndPrintSet_Baseline(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* settings = raw.Prepare(
      "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=? And FPreparerId=?");
  std::int64_t n = 0;
  for (auto _ : state) {
    raw.Run(begin);
    sqlite3_bind_int(settings, 1, site.BillTypeOf(n));
    sqlite3_bind_int(settings, 2, site.UserOf(n));
    orvo::Bytes set;
    if (sqlite3_step(settings) == SQLITE_ROW) set = BytesOf(settings, 0);
    sqlite3_reset(settings);
    raw.Run(commit);
    benchmark::DoNotOptimize(set);
    ++n;
  }
}
BENCHMARK(BM_GetPageAndPrintSet_Baseline)->Apply(Sized);

struct CurrentRow {
  std::int32_t billId, billType;
  std::string name, data;
};

void BM_GetCurrNote_Baseline(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* assignments =
      raw.Prepare("Select * From T_PrintExport Where FBillId>0 And FBillType=? And FPreparerId=?");
  sqlite3_stmt* saveByUser = raw.Prepare(
      "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and FName='SaveByUser'");
  sqlite3_stmt* billTypeSet =
      raw.Prepare("SELECT FData From T_PrintExport Where FBillType=? and FBillId =-1");
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t billType = site.BillTypeOf(n);
    raw.Run(begin);
    std::vector<CurrentRow> rows;
    sqlite3_bind_int(assignments, 1, billType);
    sqlite3_bind_int(assignments, 2, site.UserOf(n));
    while (sqlite3_step(assignments) == SQLITE_ROW) {
      rows.push_back({sqlite3_column_int(assignments, 2), sqlite3_column_int(assignments, 1),
                      TextOf(assignments, 5), TextOf(assignments, 6)});
    }
    sqlite3_reset(assignments);
    std::int32_t save = 1;
    if (sqlite3_step(saveByUser) == SQLITE_ROW) save = sqlite3_column_int(saveByUser, 0);
    sqlite3_reset(saveByUser);
    std::string set;
    sqlite3_bind_int(billTypeSet, 1, billType);
    if (sqlite3_step(billTypeSet) == SQLITE_ROW) set = TextOf(billTypeSet, 0);
    sqlite3_reset(billTypeSet);
    raw.Run(commit);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(save);
    benchmark::DoNotOptimize(set);
    ++n;
  }
}
BENCHMARK(BM_GetCurrNote_Baseline)->Apply(Sized);

// The same baselines on the server, with libpq: the statements as the
// classes run them there (markers where the classes wrote values, isnull as
// coalesce), each prepared once.

// The server's statement that begins a unit of work and the one that ends it.
struct Unit {
  explicit Unit(Server& raw) : begin(raw.Prepare("BEGIN")), commit(raw.Prepare("COMMIT")) {}
  Server::Statement begin, commit;
};

void GetNoteInfoOnServer(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const Unit unit(raw);
  const auto list = raw.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= $1 "
      "and fbillid>0 and FPreparerId=$2");
  const auto option = raw.Prepare(
      "select fdata from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2");
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::int32_t billType = site.BillTypeOf(n);
    raw.Run(unit.begin);
    std::vector<CatalogueRow> rows;
    const ServerResult listed = raw.Run(list, ServerValues().Int(billType).Int(user));
    for (int row = 0; row < listed.Rows(); ++row) {
      rows.push_back({IntOf(listed, row, 0), IntOf(listed, row, 2), IntOf(listed, row, 4),
                      TextOf(listed, row, 1), TextOf(listed, row, 3)});
    }
    std::string text;
    const ServerResult options = raw.Run(option, ServerValues().Int(billType).Int(user));
    if (options.Rows() > 0) text = TextOf(options, 0, 0);
    raw.Run(unit.commit);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(text);
    ++n;
  }
}

void PrintDataOnServer(benchmark::State& state, const char* chosenSql, const char* settingsSql,
                       bool reports) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const Unit unit(raw);
  const auto chosen = raw.Prepare(chosenSql);
  const auto settings = raw.Prepare(settingsSql);
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::int32_t key = reports ? site.ReportOf(n) : site.BillTypeOf(n);
    raw.Run(unit.begin);
    std::vector<orvo::bench::CopiedValue> row;
    const ServerResult found = raw.Run(chosen, ServerValues().Int(key).Int(user));
    if (found.Rows() > 0) row = orvo::bench::RowOf(found, 0);
    std::string text;
    const ServerResult option = raw.Run(settings, ServerValues().Int(key).Int(user));
    if (option.Rows() > 0) text = TextOf(option, 0, 0);
    raw.Run(unit.commit);
    const std::string entryKey =
        row.empty() ? std::string()
                    : std::to_string(row[2].integer) + "|" + std::to_string(row[3].integer);
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(entryKey);
    ++n;
  }
}

void GetNotePrintDataOnServer(benchmark::State& state) {
  PrintDataOnServer(
      state,
      "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c On "
      "i.FbillId=c.FId Where i.FBillType=$1 And coalesce(i.FBillTypeSub, '') = '' And i.FSel=1 "
      "and FPreparerId=$2",
      "Select FData from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2", false);
}

void GetRptNotePrintDataOnServer(benchmark::State& state) {
  PrintDataOnServer(
      state,
      "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
      "T_RptExcelPrintExportNote c On i.FNoteId=c.FId Where i.FRptId=$1 And "
      "coalesce(i.FTypeSub, '') = '' And i.FSel=1 and FPreparerId=$2",
      "Select FData from T_RptExcelPrintExport where FRptId=$1 and FNoteId=0 and FPreparerId=$2",
      true);
}

void GetPageAndPrintSetOnServer(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const Unit unit(raw);
  const auto settings = raw.Prepare(
      "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=$1 And FPreparerId=$2");
  std::int64_t n = 0;
  for (auto _ : state) {
    raw.Run(unit.begin);
    orvo::Bytes set;
    const ServerResult found =
        raw.Run(settings, ServerValues().Int(site.BillTypeOf(n)).Int(site.UserOf(n)));
    if (found.Rows() > 0) set = BytesOf(found, 0, 0);
    raw.Run(unit.commit);
    benchmark::DoNotOptimize(set);
    ++n;
  }
}

void GetCurrNoteOnServer(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const Unit unit(raw);
  const auto assignments = raw.Prepare(
      "Select * From T_PrintExport Where FBillId>0 And FBillType=$1 And FPreparerId=$2");
  const auto saveByUser = raw.Prepare(
      "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and FName='SaveByUser'");
  const auto billTypeSet =
      raw.Prepare("SELECT FData From T_PrintExport Where FBillType=$1 and FBillId =-1");
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t billType = site.BillTypeOf(n);
    raw.Run(unit.begin);
    std::vector<CurrentRow> rows;
    const ServerResult found =
        raw.Run(assignments, ServerValues().Int(billType).Int(site.UserOf(n)));
    for (int row = 0; row < found.Rows(); ++row) {
      rows.push_back({IntOf(found, row, 2), IntOf(found, row, 1), TextOf(found, row, 5),
                      TextOf(found, row, 6)});
    }
    std::int32_t save = 1;
    const ServerResult saved = raw.Run(saveByUser);
    if (saved.Rows() > 0) save = std::atoi(TextOf(saved, 0, 0).c_str());
    std::string set;
    const ServerResult typeSet = raw.Run(billTypeSet, ServerValues().Int(billType));
    if (typeSet.Rows() > 0) set = TextOf(typeSet, 0, 0);
    raw.Run(unit.commit);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(save);
    benchmark::DoNotOptimize(set);
    ++n;
  }
}

[[maybe_unused]] const bool kServerBaselinesRegistered = [] {
  using orvo::bench::RegisterServerBaseline;
  RegisterServerBaseline("GetNoteInfo", GetNoteInfoOnServer);
  RegisterServerBaseline("GetNotePrintData", GetNotePrintDataOnServer);
  RegisterServerBaseline("GetRptNotePrintData", GetRptNotePrintDataOnServer);
  RegisterServerBaseline("GetPageAndPrintSet", GetPageAndPrintSetOnServer);
  RegisterServerBaseline("GetCurrNote", GetCurrNoteOnServer);
  return true;
}();

}  // namespace
