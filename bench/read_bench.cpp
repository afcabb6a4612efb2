// The reads a printing client makes for every bill it prints and every list
// it shows, each called late-bound beside its baseline: the same statements
// written by hand with the database's own API (SQLite's, and libpq on the
// server), prepared once and bound, in one transaction per call as the
// member's unit of work, every value copied out as a caller gets it. Calls
// spread over the site's users and bill types.
//
// A member and its baseline are timed in turn, a call of each in every
// iteration (bench/in_turn.hpp): a read takes some twenty microseconds, and
// two benchmarks timed minutes apart meet what else the machine does then by
// chance, which moved the ratios of the larger stores by a third between
// runs.
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/in_turn.hpp"
#include "bench/server.hpp"
#include "bench/site.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::Variant;
using orvo::bench::Backend;
using orvo::bench::Baseline;
using orvo::bench::BytesOf;
using orvo::bench::CopiedValue;
using orvo::bench::IntOf;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::TextOf;

struct CatalogueRow {
  std::int32_t billType, billId, sel;
  std::string name, subType;
};

// The key a caller finds an entry under: bill type (or report) and
// template id.
std::string EntryKey(std::int64_t key, std::int64_t id) {
  return std::to_string(key) + "|" + std::to_string(id);
}

// The print data's entry: the row's third and fourth columns.
std::string EntryKey(const std::vector<CopiedValue>& row) {
  return row.empty() ? std::string() : EntryKey(row[2].integer, row[3].integer);
}

// A template of the current note, under its key.
struct CurrentRow {
  std::string key;
  std::int32_t billId, billType;
  std::string name, data;
};

CurrentRow CurrentRowOf(std::int32_t billId, std::int32_t billType, std::string name,
                        std::string data) {
  return {EntryKey(billType, billId), billId, billType, std::move(name), std::move(data)};
}

// On SQLite, with its own API on the site's file.

class SqliteBaseline : public Baseline {
 protected:
  explicit SqliteBaseline(Site& site, const char* begin = "BEGIN")
      : site_(site), raw_(site.File()), begin_(raw_.Prepare(begin)) {}

  Site& site_;
  Raw raw_;
  sqlite3_stmt* begin_;
  sqlite3_stmt* commit_ = raw_.Prepare("COMMIT");
};

// The list begins a writing unit of work, as the member's does: a user
// without templates gets copies in it.
class NoteInfoBySqlite final : public SqliteBaseline {
 public:
  explicit NoteInfoBySqlite(Site& site) : SqliteBaseline(site, "BEGIN IMMEDIATE") {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::int32_t billType = site_.BillTypeOf(n);
    raw_.Run(begin_);
    std::vector<CatalogueRow> rows;
    sqlite3_bind_int(list_, 1, billType);
    sqlite3_bind_int(list_, 2, user);
    while (sqlite3_step(list_) == SQLITE_ROW) {
      rows.push_back({sqlite3_column_int(list_, 0), sqlite3_column_int(list_, 2),
                      sqlite3_column_int(list_, 4), TextOf(list_, 1), TextOf(list_, 3)});
    }
    sqlite3_reset(list_);
    std::string text;
    sqlite3_bind_int(option_, 1, billType);
    sqlite3_bind_int(option_, 2, user);
    if (sqlite3_step(option_) == SQLITE_ROW) text = TextOf(option_, 0);
    sqlite3_reset(option_);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(text);
  }

 private:
  sqlite3_stmt* list_ = raw_.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype=? "
      "and fbillid>0 and FPreparerId=?");
  sqlite3_stmt* option_ = raw_.Prepare(
      "select fdata from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?");
};

// The selected template and the settings text: the first statement of each
// chain finds its row, as for every user with templates of their own.
class PrintDataBySqlite final : public SqliteBaseline {
 public:
  PrintDataBySqlite(Site& site, const char* chosenSql, const char* settingsSql, bool reports)
      : SqliteBaseline(site),
        chosen_(raw_.Prepare(chosenSql)),
        settings_(raw_.Prepare(settingsSql)),
        reports_(reports) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::int32_t key = reports_ ? site_.ReportOf(n) : site_.BillTypeOf(n);
    raw_.Run(begin_);
    sqlite3_bind_int(chosen_, 1, key);
    sqlite3_bind_int(chosen_, 2, user);
    std::vector<CopiedValue> row;
    if (sqlite3_step(chosen_) == SQLITE_ROW) row = orvo::bench::RowOf(chosen_);
    sqlite3_reset(chosen_);
    std::string text;
    sqlite3_bind_int(settings_, 1, key);
    sqlite3_bind_int(settings_, 2, user);
    if (sqlite3_step(settings_) == SQLITE_ROW) text = TextOf(settings_, 0);
    sqlite3_reset(settings_);
    raw_.Run(commit_);
    const std::string entryKey = EntryKey(row);
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(entryKey);
  }

 private:
  sqlite3_stmt* chosen_;
  sqlite3_stmt* settings_;
  bool reports_;
};

class PageAndPrintSetBySqlite final : public SqliteBaseline {
 public:
  explicit PageAndPrintSetBySqlite(Site& site) : SqliteBaseline(site) {}

  void Call(std::int64_t n) override {
    raw_.Run(begin_);
    sqlite3_bind_int(settings_, 1, site_.BillTypeOf(n));
    sqlite3_bind_int(settings_, 2, site_.UserOf(n));
    orvo::Bytes set;
    if (sqlite3_step(settings_) == SQLITE_ROW) set = BytesOf(settings_, 0);
    sqlite3_reset(settings_);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(set);
  }

 private:
  sqlite3_stmt* settings_ = raw_.Prepare(
      "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=? And FPreparerId=?");
};

class CurrNoteBySqlite final : public SqliteBaseline {
 public:
  explicit CurrNoteBySqlite(Site& site) : SqliteBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t billType = site_.BillTypeOf(n);
    raw_.Run(begin_);
    std::vector<CurrentRow> rows;
    sqlite3_bind_int(assignments_, 1, billType);
    sqlite3_bind_int(assignments_, 2, site_.UserOf(n));
    while (sqlite3_step(assignments_) == SQLITE_ROW) {
      rows.push_back(CurrentRowOf(sqlite3_column_int(assignments_, 2),
                                  sqlite3_column_int(assignments_, 1), TextOf(assignments_, 5),
                                  TextOf(assignments_, 6)));
    }
    sqlite3_reset(assignments_);
    std::int32_t save = 1;
    if (sqlite3_step(saveByUser_) == SQLITE_ROW) save = sqlite3_column_int(saveByUser_, 0);
    sqlite3_reset(saveByUser_);
    std::string set;
    sqlite3_bind_int(billTypeSet_, 1, billType);
    if (sqlite3_step(billTypeSet_) == SQLITE_ROW) set = TextOf(billTypeSet_, 0);
    sqlite3_reset(billTypeSet_);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(save);
    benchmark::DoNotOptimize(set);
  }

 private:
  sqlite3_stmt* assignments_ =
      raw_.Prepare("Select * From T_PrintExport Where FBillId>0 And FBillType=? And FPreparerId=?");
  sqlite3_stmt* saveByUser_ = raw_.Prepare(
      "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and FName='SaveByUser'");
  sqlite3_stmt* billTypeSet_ =
      raw_.Prepare("SELECT FData From T_PrintExport Where FBillType=? and FBillId =-1");
};

// On the server, with libpq: the statements as the classes run them there
// (markers where the classes wrote values, isnull as coalesce), each
// prepared once, on the connection kept for the data source.

class ServerBaseline : public Baseline {
 protected:
  explicit ServerBaseline(Site& site) : site_(site), raw_(Server::Kept(site.Dsn())) {}

  Site& site_;
  Server& raw_;
  Server::Statement begin_ = raw_.Prepare("BEGIN");
  Server::Statement commit_ = raw_.Prepare("COMMIT");
};

class NoteInfoOnServer final : public ServerBaseline {
 public:
  explicit NoteInfoOnServer(Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::int32_t billType = site_.BillTypeOf(n);
    raw_.Run(begin_);
    std::vector<CatalogueRow> rows;
    const ServerResult listed = raw_.Run(list_, ServerValues().Int(billType).Int(user));
    for (int row = 0; row < listed.Rows(); ++row) {
      rows.push_back({IntOf(listed, row, 0), IntOf(listed, row, 2), IntOf(listed, row, 4),
                      TextOf(listed, row, 1), TextOf(listed, row, 3)});
    }
    std::string text;
    const ServerResult options = raw_.Run(option_, ServerValues().Int(billType).Int(user));
    if (options.Rows() > 0) text = TextOf(options, 0, 0);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(text);
  }

 private:
  Server::Statement list_ = raw_.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= $1 "
      "and fbillid>0 and FPreparerId=$2");
  Server::Statement option_ = raw_.Prepare(
      "select fdata from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2");
};

class PrintDataOnServer final : public ServerBaseline {
 public:
  PrintDataOnServer(Site& site, const char* chosenSql, const char* settingsSql, bool reports)
      : ServerBaseline(site),
        chosen_(raw_.Prepare(chosenSql)),
        settings_(raw_.Prepare(settingsSql)),
        reports_(reports) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::int32_t key = reports_ ? site_.ReportOf(n) : site_.BillTypeOf(n);
    raw_.Run(begin_);
    std::vector<CopiedValue> row;
    const ServerResult found = raw_.Run(chosen_, ServerValues().Int(key).Int(user));
    if (found.Rows() > 0) row = orvo::bench::RowOf(found, 0);
    std::string text;
    const ServerResult option = raw_.Run(settings_, ServerValues().Int(key).Int(user));
    if (option.Rows() > 0) text = TextOf(option, 0, 0);
    raw_.Run(commit_);
    const std::string entryKey = EntryKey(row);
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(entryKey);
  }

 private:
  Server::Statement chosen_;
  Server::Statement settings_;
  bool reports_;
};

class PageAndPrintSetOnServer final : public ServerBaseline {
 public:
  explicit PageAndPrintSetOnServer(Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    raw_.Run(begin_);
    orvo::Bytes set;
    const ServerResult found =
        raw_.Run(settings_, ServerValues().Int(site_.BillTypeOf(n)).Int(site_.UserOf(n)));
    if (found.Rows() > 0) set = BytesOf(found, 0, 0);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(set);
  }

 private:
  Server::Statement settings_ = raw_.Prepare(
      "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=$1 And FPreparerId=$2");
};

class CurrNoteOnServer final : public ServerBaseline {
 public:
  explicit CurrNoteOnServer(Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t billType = site_.BillTypeOf(n);
    raw_.Run(begin_);
    std::vector<CurrentRow> rows;
    const ServerResult found =
        raw_.Run(assignments_, ServerValues().Int(billType).Int(site_.UserOf(n)));
    for (int row = 0; row < found.Rows(); ++row) {
      rows.push_back(CurrentRowOf(IntOf(found, row, 2), IntOf(found, row, 1), TextOf(found, row, 5),
                                  TextOf(found, row, 6)));
    }
    std::int32_t save = 1;
    const ServerResult saved = raw_.Run(saveByUser_);
    if (saved.Rows() > 0) save = std::atoi(TextOf(saved, 0, 0).c_str());
    std::string set;
    const ServerResult typeSet = raw_.Run(billTypeSet_, ServerValues().Int(billType));
    if (typeSet.Rows() > 0) set = TextOf(typeSet, 0, 0);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(rows);
    benchmark::DoNotOptimize(save);
    benchmark::DoNotOptimize(set);
  }

 private:
  Server::Statement assignments_ = raw_.Prepare(
      "Select * From T_PrintExport Where FBillId>0 And FBillType=$1 And FPreparerId=$2");
  Server::Statement saveByUser_ = raw_.Prepare(
      "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and FName='SaveByUser'");
  Server::Statement billTypeSet_ =
      raw_.Prepare("SELECT FData From T_PrintExport Where FBillType=$1 and FBillId =-1");
};

// The statements of the print data, on SQLite and as they run on the server.
struct PrintDataStatements {
  const char* chosen;
  const char* settings;
  const char* chosenOnServer;
  const char* settingsOnServer;
};

constexpr PrintDataStatements kNotePrintData{
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join "
    "T_PrintExportNote c On i.FbillId=c.FId Where i.FBillType=? And ifnull(i.FBillTypeSub, '') "
    "= '' And i.FSel=1 and FPreparerId=?",
    "Select FData from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c On "
    "i.FbillId=c.FId Where i.FBillType=$1 And coalesce(i.FBillTypeSub, '') = '' And i.FSel=1 "
    "and FPreparerId=$2",
    "Select FData from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2"};

constexpr PrintDataStatements kRptNotePrintData{
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c On i.FNoteId=c.FId Where i.FRptId=? And ifnull(i.FTypeSub, '') "
    "= '' And i.FSel=1 and FPreparerId=?",
    "Select FData from T_RptExcelPrintExport where FRptId=? and FNoteId=0 and FPreparerId=?",
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c On i.FNoteId=c.FId Where i.FRptId=$1 And "
    "coalesce(i.FTypeSub, '') = '' And i.FSel=1 and FPreparerId=$2",
    "Select FData from T_RptExcelPrintExport where FRptId=$1 and FNoteId=0 and FPreparerId=$2"};

template <class OnSqlite, class OnServer>
std::unique_ptr<Baseline> Make(Backend backend, Site& site) {
  if (backend == Backend::SQLite) return std::make_unique<OnSqlite>(site);
  return std::make_unique<OnServer>(site);
}

std::unique_ptr<Baseline> PrintData(Backend backend, Site& site, const PrintDataStatements& texts,
                                    bool reports) {
  if (backend == Backend::SQLite) {
    return std::make_unique<PrintDataBySqlite>(site, texts.chosen, texts.settings, reports);
  }
  return std::make_unique<PrintDataOnServer>(site, texts.chosenOnServer, texts.settingsOnServer,
                                             reports);
}

struct Read {
  const char* progId;
  const char* member;
  bool reports;
  std::unique_ptr<Baseline> (*baseline)(Backend, Site&);
};

// Calls a reading member late-bound as the n-th call's user, for its bill
// type (or report), in turn with its baseline's call half the site's callers
// later.
void TimeInTurn(benchmark::State& state, Backend backend, const Read& read) {
  LateBound object(read.progId);
  Site& site = SiteFor(state, backend);
  const std::unique_ptr<Baseline> baseline = read.baseline(backend, site);
  orvo::bench::TimeCallsInTurn(
      state,
      [&](std::int64_t n) {
        const std::int32_t user = site.UserOf(n);
        orvo::host::ServiceHub::Current()->SignIn(static_cast<std::int16_t>(user),
                                                  orvo::bench::UserName(user));
        Variant result = object.Call(
            read.member, {site.Dsn(), read.reports ? site.ReportOf(n) : site.BillTypeOf(n)});
        benchmark::DoNotOptimize(result);
      },
      *baseline, site.Callers() / 2);
}

// Each reading member as "BM_<member>" on every backend, its baseline timed
// in the same iterations.
[[maybe_unused]] const bool kReadsRegistered = [] {
  constexpr const char* kQuery = "OrvoMPrintExport.clsPrintSetupQuery";
  for (const Read& read : {
           Read{kQuery, "GetNoteInfo", false,
                [](Backend backend, Site&site) {
                  return Make<NoteInfoBySqlite, NoteInfoOnServer>(backend, site);
                }},
           Read{kQuery, "GetNotePrintData", false,
                [](Backend backend, Site&site) {
                  return PrintData(backend, site, kNotePrintData, false);
                }},
           Read{"OrvoMPrintExport.clsPrintSetupQueryRpt", "GetRptNotePrintData", true,
                [](Backend backend, Site&site) {
                  return PrintData(backend, site, kRptNotePrintData, true);
                }},
           Read{kQuery, "GetPageAndPrintSet", false,
                [](Backend backend, Site&site) {
                  return Make<PageAndPrintSetBySqlite, PageAndPrintSetOnServer>(backend, site);
                }},
           Read{kQuery, "GetCurrNote", false,
                [](Backend backend, Site&site) {
                  return Make<CurrNoteBySqlite, CurrNoteOnServer>(backend, site);
                }},
       }) {
    orvo::bench::RegisterOnEach(
        read.member,
        [read](benchmark::State& state, Backend backend) { TimeInTurn(state, backend, read); },
        orvo::bench::SizedTimedByHand);
  }
  return true;
}();

}  // namespace
