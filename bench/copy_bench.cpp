// A user's first look at a bill type of which only the manager has
// templates: GetNoteInfo copies the manager's 50 templates of 100 KB (and
// settings row) to the user, then lists the copies. Every call is a new
// user's first, so no call finds copies made before. Beside it, the same
// statements by hand with SQLite's own API, prepared once and bound.
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "bench/site.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/service_hub.hpp"

namespace {

using orvo::Variant;
using orvo::bench::CopiedValue;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::RowOf;
using orvo::bench::Site;
using orvo::bench::SiteFor;
using orvo::bench::SiteOf;
using orvo::bench::SiteSize;
using orvo::bench::Sized;

// The next user of the site who has never called, or 0 when user ids run out.
std::int16_t NewUser(SiteSize size) {
  static std::int32_t last[3] = {0, 0, 0};
  std::int32_t& user = last[static_cast<int>(size)];
  if (user == 0) user = SiteOf(size).Shape().users;
  ++user;
  return user < orvo::kManagerUser ? static_cast<std::int16_t>(user) : 0;
}

void BM_FirstUseCopy(benchmark::State& state) {
  LateBound object("OrvoMPrintExport.clsPrintSetupQuery");
  Site& site = SiteFor(state);
  const auto size = static_cast<SiteSize>(state.range(0));
  for (auto _ : state) {
    const std::int16_t user = NewUser(size);
    if (user == 0) {
      state.SkipWithError("no user ids left");
      break;
    }
    orvo::host::ServiceHub::Current()->SignIn(user, orvo::bench::UserName(user));
    Variant catalogue = object.Call("GetNoteInfo", {site.Dsn(), site.CopyBillType()});
    benchmark::DoNotOptimize(catalogue);
  }
}
BENCHMARK(BM_FirstUseCopy)->Apply(Sized);

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
  switch (value.type) {
    case SQLITE_INTEGER:
      sqlite3_bind_int64(statement, index, value.integer);
      break;
    case SQLITE_TEXT:
      sqlite3_bind_text(statement, index, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_STATIC);
      break;
    case SQLITE_BLOB:
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
  Site& site = SiteFor(state);
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
    const std::int16_t user = NewUser(size);
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
BENCHMARK(BM_FirstUseCopy_Baseline)->Apply(Sized);

}  // namespace
