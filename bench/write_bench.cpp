// The writes a site makes all day: a designer saving a template over one of
// the same name, a user choosing templates, and a printing client counting
// the bills it printed. Each is called late-bound beside its baseline: the
// same statements written by hand with the database's own API (SQLite's,
// and libpq on the server), prepared once and bound, in one writing
// transaction per call. The templates written are of the site's writing bill
// types, so the reading benchmarks see the same store whichever runs first.
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/in_turn.hpp"
#include "bench/server.hpp"
#include "bench/site.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/service_hub.hpp"
#include "store/tables.hpp"

namespace {

using orvo::Variant;
using orvo::bench::Backend;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::RegisterOnEach;
using orvo::bench::RowOf;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::Sized;

void SignIn(std::int32_t user) {
  orvo::host::ServiceHub::Current()->SignIn(static_cast<std::int16_t>(user),
                                            orvo::bench::UserName(user));
}

// Today as the classes write it into FDate.
std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

// Sets how many versions of each row's history a site's store keeps, as an
// operator's SQL sets it: on SQLite through a connection of its own, the
// statement for each number prepared once.
class HistoryKeep {
 public:
  HistoryKeep(const Site& site, Backend backend) : site_(site), backend_(backend) {}

  void Set(int versions) {
    const std::string keep = std::string("update ") + orvo::store::kHistorySettings +
                             " set FKeep = " + std::to_string(versions);
    if (backend_ != Backend::SQLite) {
      Server::Kept(site_.Dsn()).Exec(keep);
      return;
    }
    if (!raw_) raw_ = std::make_unique<Raw>(site_.File());
    sqlite3_stmt*& statement = prepared_[versions];
    if (statement == nullptr) statement = raw_->Prepare(keep.c_str());
    raw_->Run(statement);
  }

 private:
  const Site& site_;
  Backend backend_;
  std::unique_ptr<Raw> raw_;
  std::map<int, sqlite3_stmt*> prepared_;
};

// The site for a writing benchmark, its store keeping the default number of
// versions of each row's history. Every writing benchmark sets it: the
// repetitions of all benchmarks interleave on the sites they share, and the
// history's benchmark below sets another number between its calls.
Site& WritingSite(benchmark::State& state, Backend backend) {
  Site& site = SiteFor(state, backend);
  HistoryKeep(site, backend).Set(orvo::store::kDefaultHistoryKeep);
  return site;
}

// The designer saves "Invoice A4" again: the template of that name is found
// and its body replaced, and an assignment row is added for the user. Each
// save is the next user's.
class SaveAgain {
 public:
  explicit SaveAgain(const Site& site)
      : site_(site), body_(orvo::bench::Picture(site.Shape().bodySize)) {}

  void operator()() {
    SignIn(site_.UserOf(n_));
    Variant saved =
        object_.Call("InsertNoteRow", {site_.Dsn(), site_.SaveBillType(), "Invoice A4", body_});
    benchmark::DoNotOptimize(saved);
    ++n_;
  }

 private:
  LateBound object_{"OrvoMPrintExport.clsPrintSetupUpdate"};
  const Site& site_;
  const Variant body_;
  std::int64_t n_ = 0;
};

void InsertNoteRow(benchmark::State& state, Backend backend) {
  SaveAgain save(WritingSite(state, backend));
  for (auto _ : state) save();
}
[[maybe_unused]] const bool kInsertNoteRow = (RegisterOnEach("InsertNoteRow", InsertNoteRow), true);

// What the history costs a write: the same save with the store keeping the
// default number of versions of each template, and keeping none as its
// baseline. The disk paces a write, and changes its pace for minutes at a
// time, so that two benchmarks timed apart compare a slow period with a fast
// one: a save of each kind is timed in turn in every iteration, the store
// told before each, untimed, how many versions to keep.
void InsertNoteRowHistory(benchmark::State& state, Backend backend) {
  Site& site = WritingSite(state, backend);
  HistoryKeep keep(site, backend);
  SaveAgain save(site);
  orvo::bench::InTurn inTurn(state);
  for (auto _ : state) {
    inTurn.Time(
        save, save, [&] { keep.Set(orvo::store::kDefaultHistoryKeep); }, [&] { keep.Set(0); });
  }
  keep.Set(orvo::store::kDefaultHistoryKeep);
}
[[maybe_unused]] const bool kInsertNoteRowHistory =
    (RegisterOnEach("InsertNoteRowHistory", InsertNoteRowHistory, false,
                    orvo::bench::SizedTimedByHand),
     true);

void BM_InsertNoteRow_Baseline(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::SQLite);
  const orvo::Bytes body = orvo::bench::Picture(site.Shape().bodySize);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* find = raw.Prepare(
      "select *  from T_PrintExportNote where FCreatorName=? and FScreenId=? and FName=?");
  sqlite3_stmt* replace = raw.Prepare("Update T_PrintExportNote set FData = ?  Where FID=?");
  sqlite3_stmt* assign = raw.Prepare(
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "(?,?,?,?,0,?,'')");
  const std::string name = "Invoice A4";
  const std::string screenId = std::to_string(site.SaveBillType());
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::string creator = orvo::bench::UserName(user);
    const std::string today = Today();
    raw.Run(begin);
    BindText(find, 1, creator);
    BindText(find, 2, screenId);
    BindText(find, 3, name);
    std::vector<orvo::bench::CopiedValue> found;
    if (sqlite3_step(find) == SQLITE_ROW) found = RowOf(find);
    sqlite3_reset(find);
    const std::int64_t id = found.at(0).integer;
    sqlite3_bind_blob(replace, 1, body.data(), static_cast<int>(body.size()), SQLITE_STATIC);
    sqlite3_bind_int64(replace, 2, id);
    raw.Run(replace);
    sqlite3_bind_int(assign, 1, site.SaveBillType());
    sqlite3_bind_int64(assign, 2, id);
    BindText(assign, 3, today);
    BindText(assign, 4, name);
    sqlite3_bind_int(assign, 5, user);
    raw.Run(assign);
    raw.Run(commit);
    benchmark::DoNotOptimize(found);
    ++n;
  }
}
BENCHMARK(BM_InsertNoteRow_Baseline)->Apply(Sized);

// A user chooses between their two templates of the bill type, the first
// or the second by turns (`n` even or odd), and keeps the option text.
std::shared_ptr<orvo::Dictionary> Choices(const Site& site, std::int32_t user, std::int64_t n) {
  const std::int32_t type = site.WriteBillType();
  const std::int32_t first = site.TemplateOf(user, type);
  auto data = std::make_shared<orvo::Vector>();
  for (int k = 0; k < 2; ++k) {
    auto choice = std::make_shared<orvo::Dictionary>();
    choice->SetValue("FKey", std::to_string(type) + "|" + std::to_string(first + k));
    choice->SetValue("FName", k == 0 ? "Invoice A4" : "Invoice A5");
    choice->SetValue("FSel", static_cast<std::int32_t>((n + k) % 2));
    choice->SetValue("FType", "");
    data->Add(choice);
  }
  auto modi = std::make_shared<orvo::Dictionary>();
  modi->SetValue("Option", "copies=2");
  modi->SetObject("Data", data);
  return modi;
}

// The caller builds its arguments before it calls; so that the benchmark
// times the call alone, they are built before it starts.
void UpdateUserNoteData(benchmark::State& state, Backend backend) {
  LateBound object("OrvoMPrintExport.clsPrintSetupUpdate");
  Site& site = WritingSite(state, backend);
  std::vector<std::shared_ptr<orvo::Dictionary>> choices;
  for (std::int32_t user = 1; user <= site.Callers(); ++user) {
    for (int turn = 0; turn < 2; ++turn) choices.push_back(Choices(site, user, turn));
  }
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    SignIn(user);
    Variant done = object.Call("UpdateUserNoteData",
                               {site.Dsn(), site.WriteBillType(), choices[(user - 1) * 2 + n % 2]});
    benchmark::DoNotOptimize(done);
    ++n;
  }
}
[[maybe_unused]] const bool kUpdateUserNoteData =
    (RegisterOnEach("UpdateUserNoteData", UpdateUserNoteData), true);

void BM_UpdateUserNoteData_Baseline(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* settings =
      raw.Prepare("select * from T_PrintExport where fbilltype=? and FBillID=0 and FPreParerID=?");
  sqlite3_stmt* option = raw.Prepare(
      "Update T_PrintExport set Fdata=? where fbilltype=? and FBillID=0 and FPreParerID=?");
  sqlite3_stmt* chosen =
      raw.Prepare("select * from T_PrintExport  where fbilltype=? and FBillID=? and FPreParerID=?");
  sqlite3_stmt* choose = raw.Prepare(
      "Update T_PrintExport set Fbilltypesub=?,FSel=? where fbilltype=? and FBillID=? and "
      "FPreParerID=?");
  const std::int32_t type = site.WriteBillType();
  const std::string optionText = "copies=2";
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    raw.Run(begin);
    sqlite3_bind_int(settings, 1, type);
    sqlite3_bind_int(settings, 2, user);
    std::vector<orvo::bench::CopiedValue> row;
    if (sqlite3_step(settings) == SQLITE_ROW) row = RowOf(settings);
    sqlite3_reset(settings);
    BindText(option, 1, optionText);
    sqlite3_bind_int(option, 2, type);
    sqlite3_bind_int(option, 3, user);
    raw.Run(option);
    const std::int32_t first = site.TemplateOf(user, type);
    for (int k = 0; k < 2; ++k) {
      sqlite3_bind_int(chosen, 1, type);
      sqlite3_bind_int(chosen, 2, first + k);
      sqlite3_bind_int(chosen, 3, user);
      if (sqlite3_step(chosen) == SQLITE_ROW) row = RowOf(chosen);
      sqlite3_reset(chosen);
      BindText(choose, 1, "");
      sqlite3_bind_int(choose, 2, static_cast<int>((n + k) % 2));
      sqlite3_bind_int(choose, 3, type);
      sqlite3_bind_int(choose, 4, first + k);
      sqlite3_bind_int(choose, 5, user);
      raw.Run(choose);
    }
    raw.Run(commit);
    benchmark::DoNotOptimize(row);
    ++n;
  }
}
BENCHMARK(BM_UpdateUserNoteData_Baseline)->Apply(Sized);

// A printing client counts the five bills it printed.
constexpr int kPrinted = 5;

std::string PrintedIds(const Site& site, std::int64_t n) {
  std::string ids;
  for (int k = 0; k < kPrinted; ++k) {
    if (k > 0) ids += ",";
    ids += std::to_string(1 + (n * kPrinted + k) % site.Shape().bills);
  }
  return ids;
}

void UpdatePrintCount(benchmark::State& state, Backend backend) {
  LateBound object("OrvoMPrintExport.clsPrintSetupUpdate");
  Site& site = WritingSite(state, backend);
  // Built before the benchmark starts, as for the choices above.
  std::vector<std::shared_ptr<orvo::Dictionary>> printed;
  for (std::int64_t n = 0; n < site.Shape().bills / kPrinted; ++n) {
    auto counted = std::make_shared<orvo::Dictionary>();
    counted->SetValue("TableName", "t_Bill");
    counted->SetValue("FieldName", "FPrintCount");
    counted->SetValue("PriKey", "FInterID");
    counted->SetValue("InterIDs", PrintedIds(site, n));
    printed.push_back(counted);
  }
  std::int64_t n = 0;
  for (auto _ : state) {
    SignIn(site.UserOf(n));
    Variant done = object.Call("UpdatePrintCount", {site.Dsn(), printed[n % printed.size()]});
    benchmark::DoNotOptimize(done);
    ++n;
  }
}
[[maybe_unused]] const bool kUpdatePrintCount =
    (RegisterOnEach("UpdatePrintCount", UpdatePrintCount), true);

void BM_UpdatePrintCount_Baseline(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::SQLite);
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* count = raw.Prepare(
      "UPDATE t_Bill SET FPrintCount = FPrintCount + 1 WHERE FInterID IN(  ?,?,?,?,?)\r\n");
  std::int64_t n = 0;
  for (auto _ : state) {
    raw.Run(begin);
    for (int k = 0; k < kPrinted; ++k) {
      sqlite3_bind_int64(count, k + 1, 1 + (n * kPrinted + k) % site.Shape().bills);
    }
    raw.Run(count);
    raw.Run(commit);
    ++n;
  }
}
BENCHMARK(BM_UpdatePrintCount_Baseline)->Apply(Sized);

// The same baselines on the server, with libpq: the statements as the
// classes run them there, each prepared once, and the lock that a writing
// unit of work takes of its store as it begins.
struct WritingUnit {
  explicit WritingUnit(Server& raw)
      : begin(raw.Prepare("BEGIN")),
        lock(raw.Prepare("SELECT pg_advisory_xact_lock(hashtext(current_database() || '.' || "
                         "current_schema()))")),
        commit(raw.Prepare("COMMIT")) {}
  void Begin(Server& raw) const {
    raw.Run(begin);
    raw.Run(lock);
  }
  Server::Statement begin, lock, commit;
};

void InsertNoteRowOnServer(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::PostgreSQL);
  const orvo::Bytes body = orvo::bench::Picture(site.Shape().bodySize);
  Server& raw = Server::Kept(site.Dsn());
  const WritingUnit unit(raw);
  const auto find = raw.Prepare(
      "select *  from T_PrintExportNote where FCreatorName=$1 and FScreenId=$2 and FName=$3");
  const auto replace = raw.Prepare("Update T_PrintExportNote set FData = $1  Where FID=$2");
  const auto assign = raw.Prepare(
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "($1,$2,$3,$4,0,$5,'')");
  const std::string name = "Invoice A4";
  const std::string screenId = std::to_string(site.SaveBillType());
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    const std::string creator = orvo::bench::UserName(user);
    const std::string today = Today();
    unit.Begin(raw);
    std::vector<orvo::bench::CopiedValue> found;
    const ServerResult rows = raw.Run(find, ServerValues().Text(creator).Text(screenId).Text(name));
    if (rows.Rows() > 0) found = RowOf(rows, 0);
    const auto id = static_cast<std::int32_t>(found.at(0).integer);
    raw.Run(replace, ServerValues().Binary(body.data(), body.size()).Int(id));
    raw.Run(assign,
            ServerValues().Int(site.SaveBillType()).Int(id).Text(today).Text(name).Int(user));
    raw.Run(unit.commit);
    benchmark::DoNotOptimize(found);
    ++n;
  }
}

void UpdateUserNoteDataOnServer(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const WritingUnit unit(raw);
  const auto settings = raw.Prepare(
      "select * from T_PrintExport where fbilltype=$1 and FBillID=0 and FPreParerID=$2");
  const auto option = raw.Prepare(
      "Update T_PrintExport set Fdata=$1 where fbilltype=$2 and FBillID=0 and FPreParerID=$3");
  const auto chosen = raw.Prepare(
      "select * from T_PrintExport  where fbilltype=$1 and FBillID=$2 and FPreParerID=$3");
  const auto choose = raw.Prepare(
      "Update T_PrintExport set Fbilltypesub=$1,FSel=$2 where fbilltype=$3 and FBillID=$4 and "
      "FPreParerID=$5");
  const std::int32_t type = site.WriteBillType();
  const std::string optionText = "copies=2";
  const std::string noSubType;
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::int32_t user = site.UserOf(n);
    unit.Begin(raw);
    std::vector<orvo::bench::CopiedValue> row;
    const ServerResult found = raw.Run(settings, ServerValues().Int(type).Int(user));
    if (found.Rows() > 0) row = RowOf(found, 0);
    raw.Run(option, ServerValues().Text(optionText).Int(type).Int(user));
    const std::int32_t first = site.TemplateOf(user, type);
    for (int k = 0; k < 2; ++k) {
      const ServerResult assigned =
          raw.Run(chosen, ServerValues().Int(type).Int(first + k).Int(user));
      if (assigned.Rows() > 0) row = RowOf(assigned, 0);
      raw.Run(choose, ServerValues()
                          .Text(noSubType)
                          .Int(static_cast<std::int32_t>((n + k) % 2))
                          .Int(type)
                          .Int(first + k)
                          .Int(user));
    }
    raw.Run(unit.commit);
    benchmark::DoNotOptimize(row);
    ++n;
  }
}

void UpdatePrintCountOnServer(benchmark::State& state) {
  Site& site = WritingSite(state, Backend::PostgreSQL);
  Server& raw = Server::Kept(site.Dsn());
  const WritingUnit unit(raw);
  const auto count = raw.Prepare(
      "UPDATE t_Bill SET FPrintCount = FPrintCount + $1 WHERE FInterID IN(  $2,$3,$4,$5,$6)\r\n");
  std::int64_t n = 0;
  for (auto _ : state) {
    unit.Begin(raw);
    ServerValues values;
    values.Int(1);
    for (int k = 0; k < kPrinted; ++k) {
      values.Int(static_cast<std::int32_t>(1 + (n * kPrinted + k) % site.Shape().bills));
    }
    raw.Run(count, values);
    raw.Run(unit.commit);
    ++n;
  }
}

[[maybe_unused]] const bool kServerBaselinesRegistered = [] {
  using orvo::bench::RegisterServerBaseline;
  RegisterServerBaseline("InsertNoteRow", InsertNoteRowOnServer);
  RegisterServerBaseline("UpdateUserNoteData", UpdateUserNoteDataOnServer);
  RegisterServerBaseline("UpdatePrintCount", UpdatePrintCountOnServer);
  return true;
}();

}  // namespace
