// A user's first look at a bill type of which only the manager has
// templates: GetNoteInfo copies the manager's 50 templates of 100 KB (and
// settings row) to the user, then lists the copies. Every call is a new
// user's first, so no call finds copies made before. Beside it, the same
// statements by hand with the database's own API (SQLite's, and libpq on the
// server), prepared once and bound.
//
// Each call writes 5 MB, and over a run the disk's pace changes: for minutes
// at a time every call is two to four times slower than before or after.
// Member and baseline are therefore timed in turn (bench/in_turn.hpp).
// Argument: the site (0 busy, 1 ten thousand rows, 2 a million rows).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "bench/in_turn.hpp"
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

// The next user of the site who has never called, or 0 when user ids run out.
std::int16_t NewUser(SiteSize size, Backend backend) {
  static std::int32_t last[2][3] = {};
  std::int32_t& user = last[static_cast<int>(backend)][static_cast<int>(size)];
  if (user == 0) user = SiteOf(size, backend).Shape().users;
  ++user;
  return user < orvo::kManagerUser ? static_cast<std::int16_t>(user) : 0;
}

// The member, called late-bound as the user's first call.
class CopyByMember {
 public:
  explicit CopyByMember(const Site& site)
      : site_(site), object_("OrvoMPrintExport.clsPrintSetupQuery") {}

  void Call(std::int16_t user) {
    orvo::host::ServiceHub::Current()->SignIn(user, orvo::bench::UserName(user));
    Variant catalogue = object_.Call("GetNoteInfo", {site_.Dsn(), site_.CopyBillType()});
    benchmark::DoNotOptimize(catalogue);
  }

 private:
  const Site& site_;
  LateBound object_;
};

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

// The baseline on SQLite, on a connection of its own to the site's file.
class CopyBySqlite {
 public:
  explicit CopyBySqlite(const Site& site) : raw_(site.File()), type_(site.CopyBillType()) {}

  void Call(std::int16_t user) {
    const std::string name = orvo::bench::UserName(user);
    const std::string now = Now("%Y-%m-%d %H:%M:%S");
    raw_.Run(begin_);
    sqlite3_bind_int(list_, 1, type_);
    sqlite3_bind_int(list_, 2, user);
    benchmark::DoNotOptimize(Rows(list_));
    sqlite3_bind_int(managers_, 1, type_);
    sqlite3_bind_int(managers_, 2, orvo::kManagerUser);
    for (const std::vector<CopiedValue>& row : Rows(managers_)) {
      std::int64_t id = 0;
      if (row[2].integer != 0) {
        sqlite3_bind_int64(body_, 1, row[2].integer);
        const auto note = Rows(body_);
        BindText(copy_, 1, note.at(0)[1].bytes);
        BindText(copy_, 2, note[0][2].bytes);
        BindText(copy_, 3, name);
        BindText(copy_, 4, name);
        BindText(copy_, 5, std::to_string(note[0][8].integer));
        BindText(copy_, 6, now);
        BindText(copy_, 7, now);
        Bind(copy_, 8, note[0][7]);
        raw_.Run(copy_);
        id = Rows(identity_).at(0)[0].integer;
      }
      sqlite3_bind_int(assigned_, 1, type_);
      sqlite3_bind_int64(assigned_, 2, id);
      sqlite3_bind_int(assigned_, 3, user);
      benchmark::DoNotOptimize(Rows(assigned_));
      sqlite3_bind_int64(assign_, 1, id);
      sqlite3_bind_int(assign_, 2, type_);
      sqlite3_bind_int(assign_, 3, user);
      BindText(assign_, 4, now);
      for (int column = 5; column <= 9; ++column) {
        // FName, FData, FBillTypeSub, FSel, FPrintSet of the manager's row.
        static constexpr int kFrom[] = {5, 6, 8, 9, 7};
        Bind(assign_, column, row[kFrom[column - 5]]);
      }
      raw_.Run(assign_);
    }
    sqlite3_bind_int(list_, 1, type_);
    sqlite3_bind_int(list_, 2, user);
    const auto catalogue = Rows(list_);
    sqlite3_bind_int(option_, 1, type_);
    sqlite3_bind_int(option_, 2, user);
    const auto optionText = Rows(option_);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(catalogue);
    benchmark::DoNotOptimize(optionText);
  }

 private:
  Raw raw_;
  std::int32_t type_;
  sqlite3_stmt* begin_ = raw_.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit_ = raw_.Prepare("COMMIT");
  sqlite3_stmt* list_ = raw_.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= ? and "
      "fbillid>0 and FPreparerId=?");
  sqlite3_stmt* managers_ = raw_.Prepare(
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
      "T_PrintExport where fbilltype=? and FPreparerId=?");
  sqlite3_stmt* assigned_ =
      raw_.Prepare("select * from T_PrintExport where fbilltype=? and FBillID=? and FPreParerID=?");
  sqlite3_stmt* assign_ = raw_.Prepare(
      "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,"
      "FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?,?)");
  sqlite3_stmt* body_ = raw_.Prepare(
      "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
      "FNewBillType from T_PrintExportNote where fid=?");
  sqlite3_stmt* copy_ = raw_.Prepare(
      "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
      "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)");
  sqlite3_stmt* identity_ = raw_.Prepare("select nullif(last_insert_rowid(),0)");
  sqlite3_stmt* option_ = raw_.Prepare(
      "select fdata from T_PrintExport where fbilltype=? and fbillid=0 and FPreparerId=?");
};

std::vector<std::vector<CopiedValue>> Rows(const ServerResult& result) {
  std::vector<std::vector<CopiedValue>> rows;
  for (int row = 0; row < result.Rows(); ++row) rows.push_back(RowOf(result, row));
  return rows;
}

// The baseline on the server, with libpq: the statements as the classes run
// them there, each prepared once. The unit of work begins as a reading one,
// finds no templates of the user, takes the lock of its store and asks again
// (as the member does, so that concurrent first calls make one copy set);
// the id of each template copied is read back on the same connection.
class CopyOnServer {
 public:
  explicit CopyOnServer(const Site& site)
      : raw_(Server::Kept(site.Dsn())), type_(site.CopyBillType()) {}

  void Call(std::int16_t user) {
    const std::string name = orvo::bench::UserName(user);
    const std::string now = Now("%Y-%m-%d %H:%M:%S");
    raw_.Run(begin_);
    benchmark::DoNotOptimize(Rows(raw_.Run(list_, ServerValues().Int(type_).Int(user))));
    raw_.Run(lock_);
    benchmark::DoNotOptimize(Rows(raw_.Run(list_, ServerValues().Int(type_).Int(user))));
    for (const std::vector<CopiedValue>& row :
         Rows(raw_.Run(managers_, ServerValues().Int(type_).Int(orvo::kManagerUser)))) {
      std::int64_t id = 0;
      if (row[2].integer != 0) {
        const auto note =
            Rows(raw_.Run(body_, ServerValues().Int(static_cast<std::int32_t>(row[2].integer))));
        const std::string newType = std::to_string(note.at(0)[8].integer);
        raw_.Run(copy_, ServerValues()
                            .Text(note[0][1].bytes)
                            .Text(note[0][2].bytes)
                            .Text(name)
                            .Text(name)
                            .Text(newType)
                            .Text(now)
                            .Text(now)
                            .Copied(note[0][7]));
        id = Rows(raw_.Run(identity_)).at(0)[0].integer;
      }
      const auto newId = static_cast<std::int32_t>(id);
      benchmark::DoNotOptimize(
          Rows(raw_.Run(assigned_, ServerValues().Int(type_).Int(newId).Int(user))));
      // FName, FData, FBillTypeSub, FSel, FPrintSet of the manager's row.
      raw_.Run(assign_, ServerValues()
                            .Int(newId)
                            .Int(type_)
                            .Int(user)
                            .Text(now)
                            .Copied(row[5])
                            .Copied(row[6])
                            .Copied(row[8])
                            .Copied(row[9])
                            .Copied(row[7]));
    }
    const auto catalogue = Rows(raw_.Run(list_, ServerValues().Int(type_).Int(user)));
    const auto optionText = Rows(raw_.Run(option_, ServerValues().Int(type_).Int(user)));
    raw_.Run(commit_);
    benchmark::DoNotOptimize(catalogue);
    benchmark::DoNotOptimize(optionText);
  }

 private:
  Server& raw_;
  std::int32_t type_;
  Server::Statement begin_ = raw_.Prepare("BEGIN");
  Server::Statement lock_ = raw_.Prepare(
      "SELECT pg_advisory_xact_lock(hashtext(current_database() || '.' || current_schema()))");
  Server::Statement commit_ = raw_.Prepare("COMMIT");
  Server::Statement list_ = raw_.Prepare(
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= $1 "
      "and fbillid>0 and FPreparerId=$2");
  Server::Statement managers_ = raw_.Prepare(
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
      "T_PrintExport where fbilltype=$1 and FPreparerId=$2");
  Server::Statement assigned_ = raw_.Prepare(
      "select * from T_PrintExport where fbilltype=$1 and FBillID=$2 and FPreParerID=$3");
  Server::Statement assign_ = raw_.Prepare(
      "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,"
      "FSel,FPrintSet)  Values($1,$2,$3,$4,$5,$6,$7,$8,$9)");
  Server::Statement body_ = raw_.Prepare(
      "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
      "FNewBillType from T_PrintExportNote where fid=$1");
  Server::Statement copy_ = raw_.Prepare(
      "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
      "FCreateDate,FModifyDate,FData) Values($1,$2,$3,$4,$5,$6,$7,$8)");
  Server::Statement identity_ = raw_.Prepare("select lastval()");
  Server::Statement option_ = raw_.Prepare(
      "select fdata from T_PrintExport where fbilltype=$1 and fbillid=0 and FPreparerId=$2");
};

// A call of the member and one of `Baseline`, each for a new user, in every
// iteration, timed in turn.
template <class Baseline>
void FirstUseCopy(benchmark::State& state, Backend backend) {
  Site& site = SiteFor(state, backend);
  const auto size = static_cast<SiteSize>(state.range(0));
  CopyByMember member(site);
  Baseline baseline(site);
  orvo::bench::InTurn inTurn(state);
  for (auto _ : state) {
    const std::int16_t memberUser = NewUser(size, backend);
    const std::int16_t baselineUser = NewUser(size, backend);
    if (memberUser == 0 || baselineUser == 0) {
      state.SkipWithError("no user ids left");
      break;
    }
    inTurn.Time([&] { member.Call(memberUser); }, [&] { baseline.Call(baselineUser); });
  }
}

void TimedByHand(benchmark::internal::Benchmark* benchmark) {
  orvo::bench::SizedAndRepeatedMore(benchmark);
  benchmark->UseManualTime();
}

[[maybe_unused]] const bool kFirstUseCopy = (orvo::bench::RegisterOnEach(
                                                 "FirstUseCopy",
                                                 [](benchmark::State& state, Backend backend) {
                                                   if (backend == Backend::SQLite) {
                                                     FirstUseCopy<CopyBySqlite>(state, backend);
                                                   } else {
                                                     FirstUseCopy<CopyOnServer>(state, backend);
                                                   }
                                                 },
                                                 TimedByHand),
                                             true);

}  // namespace
