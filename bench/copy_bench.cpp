// A user's first look at a bill type of which only the manager has
// templates: GetNoteInfo copies the manager's 50 templates of 100 KB (and
// settings row) to the user, then lists the copies. Every call is a new
// user's first, so no call finds copies made before. Beside it, the same
// statements by hand with the database's own API (SQLite's, and libpq on the
// server), prepared once and bound.
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "bench/server.hpp"
#include "bench/site.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::Variant;
using orvo::bench::Backend;
using orvo::bench::CopiedValue;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::RowOf;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::SiteOf;
using orvo::bench::SiteSize;
using orvo::bench::Sized;

// The next user of the site who has never called, or 0 when user ids run out.
std::int16_t NewUser(SiteSize size, Backend backend) {
  static std::int32_t last[2][3] = {};
  std::int32_t& user = last[static_cast<int>(backend)][static_cast<int>(size)];
  if (user == 0) user = SiteOf(size, backend).Shape().users;
  ++user;
  return user < orvo::kManagerUser ? static_cast<std::int16_t>(user) : 0;
}

void FirstUseCopy(benchmark::State& state, Backend backend) {
  LateBound object("OrvoMPrintExport.clsPrintSetupQuery");
  Site& site = SiteFor(state, backend);
  const auto size = static_cast<SiteSize>(state.range(0));
  for (auto _ : state) {
    const std::int16_t user = NewUser(size, backend);
    if (user == 0) {
      state.SkipWithError("no user ids left");
      break;
    }
    orvo::host::ServiceHub::Current()->SignIn(user, orvo::bench::UserName(user));
    Variant catalogue = object.Call("GetNoteInfo", {site.Dsn(), site.CopyBillType()});
    benchmark::DoNotOptimize(catalogue);
  }
}
[[maybe_unused]] const bool kFirstUseCopy =
    (orvo::bench::RegisterOnEach("FirstUseCopy", FirstUseCopy, false,
                                 orvo::bench::SizedAndRepeatedMore),
     true);

// Now as the classes write it into a date column, and the day alone.
std::string Now(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

void Bind(sqlite3_stmt* statement, int index, const CopiedValue& value) {
  switch (value.kind) {
    case CopiedValue::Kind::Integer:
      sqlite3_bind_int64(statement, index, value.integer);
      break;
    case CopiedValue::Kind::Text:
      sqlite3_bind_text(statement, index, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_STATIC);
      break;
    case CopiedValue::Kind::Blob:
      sqlite3_bind_blob(statement, index, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_STATIC);
      break;
    default:
      sqlite3_bind_null(statement, index);
  }
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

std::vector<std::vector<CopiedValue>> Rows(sqlite3_stmt* statement) {
  std::vector<std::vector<CopiedValue>> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) rows.push_back(RowOf(statement));
  sqlite3_reset(statement);
  return rows;
}

void BM_FirstUseCopy_Baseline(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::SQLite);
  const auto size = static_cast<SiteSize>(state.range(0));
  Raw raw(site.File());
  sqlite3_stmt* begin = raw.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit = raw.Prepare("COMMIT");
  sqlite3_stmt* list = raw.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= ? and "
      "fbillid>0 and FPreparerId=?");
  sqlite3_stmt* managers = raw.Prepare(
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
      "T_PrintExport where fbilltype=? and FPreparerId=?");
  sqlite3_stmt* assigned =
      raw.Prepare("select * from T_PrintExport where fbilltype=? and FBillID=? and FPreParerID=?");
  sqlite3_stmt* assign = raw.Prepare(
      "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,"
      "FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?,?)");
  sqlite3_stmt* body = raw.Prepare(
      "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
      "FNewBillType from T_PrintExportNote where fid=?");
  sqlite3_stmt* copy = raw.Prepare(
      "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
      "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)");
  sqlite3_stmt* identity = raw.Prepare("select nullif(last_insert_rowid(),0)");
  sqlite3_stmt* option = raw.Prepare(
      "select fdata from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?");
  const std::int32_t type = site.CopyBillType();
  for (auto _ : state) {
    const std::int16_t user = NewUser(size, Backend::SQLite);
    if (user == 0) {
      state.SkipWithError("no user ids left");
      break;
    }
    const std::string name = orvo::bench::UserName(user);
    const std::string now = Now("%Y-%m-%d %H:%M:%S");
    raw.Run(begin);
    sqlite3_bind_int(list, 1, type);
    sqlite3_bind_int(list, 2, user);
    benchmark::DoNotOptimize(Rows(list));
    sqlite3_bind_int(managers, 1, type);
    sqlite3_bind_int(managers, 2, orvo::kManagerUser);
    for (const std::vector<CopiedValue>& row : Rows(managers)) {
      std::int64_t id = 0;
      if (row[2].integer != 0) {
        sqlite3_bind_int64(body, 1, row[2].integer);
        const auto note = Rows(body);
        BindText(copy, 1, note.at(0)[1].bytes);
        BindText(copy, 2, note[0][2].bytes);
        BindText(copy, 3, name);
        BindText(copy, 4, name);
        BindText(copy, 5, std::to_string(note[0][8].integer));
        BindText(copy, 6, now);
        BindText(copy, 7, now);
        Bind(copy, 8, note[0][7]);
        raw.Run(copy);
        id = Rows(identity).at(0)[0].integer;
      }
      sqlite3_bind_int(assigned, 1, type);
      sqlite3_bind_int64(assigned, 2, id);
      sqlite3_bind_int(assigned, 3, user);
      benchmark::DoNotOptimize(Rows(assigned));
      sqlite3_bind_int64(assign, 1, id);
      sqlite3_bind_int(assign, 2, type);
      sqlite3_bind_int(assign, 3, user);
      BindText(assign, 4, now);
      for (int column = 5; column <= 9; ++column) {
        // FName, FData, FBillTypeSub, FSel, FPrintSet of the manager's row.
        static constexpr int kFrom[] = {5, 6, 8, 9, 7};
        Bind(assign, column, row[kFrom[column - 5]]);
      }
      raw.Run(assign);
    }
    sqlite3_bind_int(list, 1, type);
    sqlite3_bind_int(list, 2, user);
    const auto catalogue = Rows(list);
    sqlite3_bind_int(option, 1, type);
    sqlite3_bind_int(option, 2, user);
    const auto optionText = Rows(option);
    raw.Run(commit);
    benchmark::DoNotOptimize(catalogue);
    benchmark::DoNotOptimize(optionText);
  }
}
BENCHMARK(BM_FirstUseCopy_Baseline)->Apply(orvo::bench::SizedAndRepeatedMore);

// The same on the server, with libpq: the statements as the classes run them
// there, each prepared once. The unit of work begins as a reading one, finds
// no templates of the user, takes the lock of its store and asks again (as
// the member does, so that concurrent first calls make one copy set); the
// id of each template copied is read back on the same connection.
std::vector<std::vector<CopiedValue>> Rows(const ServerResult& result) {
  std::vector<std::vector<CopiedValue>> rows;
  for (int row = 0; row < result.Rows(); ++row) rows.push_back(RowOf(result, row));
  return rows;
}

void FirstUseCopyOnServer(benchmark::State& state) {
  Site& site = SiteFor(state, Backend::PostgreSQL);
  const auto size = static_cast<SiteSize>(state.range(0));
  Server& raw = Server::Kept(site.Dsn());
  const auto begin = raw.Prepare("BEGIN");
  const auto lock = raw.Prepare(
      "SELECT pg_advisory_xact_lock(hashtext(current_database() || '.' || current_schema()))");
  const auto commit = raw.Prepare("COMMIT");
  const auto list = raw.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= $1 "
      "and fbillid>0 and FPreparerId=$2");
  const auto managers = raw.Prepare(
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
      "T_PrintExport where fbilltype=$1 and FPreparerId=$2");
  const auto assigned = raw.Prepare(
      "select * from T_PrintExport where fbilltype=$1 and FBillID=$2 and FPreParerID=$3");
  const auto assign = raw.Prepare(
      "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,"
      "FSel,FPrintSet)  Values($1,$2,$3,$4,$5,$6,$7,$8,$9)");
  const auto body = raw.Prepare(
      "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
      "FNewBillType from T_PrintExportNote where fid=$1");
  const auto copy = raw.Prepare(
      "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
      "FCreateDate,FModifyDate,FData) Values($1,$2,$3,$4,$5,$6,$7,$8)");
  const auto identity = raw.Prepare("select lastval()");
  const auto option = raw.Prepare(
      "select fdata from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2");
  const std::int32_t type = site.CopyBillType();
  for (auto _ : state) {
    const std::int16_t user = NewUser(size, Backend::PostgreSQL);
    if (user == 0) {
      state.SkipWithError("no user ids left");
      break;
    }
    const std::string name = orvo::bench::UserName(user);
    const std::string now = Now("%Y-%m-%d %H:%M:%S");
    raw.Run(begin);
    benchmark::DoNotOptimize(Rows(raw.Run(list, ServerValues().Int(type).Int(user))));
    raw.Run(lock);
    benchmark::DoNotOptimize(Rows(raw.Run(list, ServerValues().Int(type).Int(user))));
    for (const std::vector<CopiedValue>& row :
         Rows(raw.Run(managers, ServerValues().Int(type).Int(orvo::kManagerUser)))) {
      std::int64_t id = 0;
      if (row[2].integer != 0) {
        const auto note =
            Rows(raw.Run(body, ServerValues().Int(static_cast<std::int32_t>(row[2].integer))));
        const std::string newType = std::to_string(note.at(0)[8].integer);
        raw.Run(copy, ServerValues()
                          .Text(note[0][1].bytes)
                          .Text(note[0][2].bytes)
                          .Text(name)
                          .Text(name)
                          .Text(newType)
                          .Text(now)
                          .Text(now)
                          .Copied(note[0][7]));
        id = Rows(raw.Run(identity)).at(0)[0].integer;
      }
      const auto newId = static_cast<std::int32_t>(id);
      benchmark::DoNotOptimize(
          Rows(raw.Run(assigned, ServerValues().Int(type).Int(newId).Int(user))));
      // FName, FData, FBillTypeSub, FSel, FPrintSet of the manager's row.
      raw.Run(assign, ServerValues()
                          .Int(newId)
                          .Int(type)
                          .Int(user)
                          .Text(now)
                          .Copied(row[5])
                          .Copied(row[6])
                          .Copied(row[8])
                          .Copied(row[9])
                          .Copied(row[7]));
    }
    const auto catalogue = Rows(raw.Run(list, ServerValues().Int(type).Int(user)));
    const auto optionText = Rows(raw.Run(option, ServerValues().Int(type).Int(user)));
    raw.Run(commit);
    benchmark::DoNotOptimize(catalogue);
    benchmark::DoNotOptimize(optionText);
  }
}

[[maybe_unused]] const bool kServerBaselineRegistered =
    (orvo::bench::RegisterServerBaseline("FirstUseCopy", FirstUseCopyOnServer,
                                         orvo::bench::SizedAndRepeatedMore),
     true);

}  // namespace
