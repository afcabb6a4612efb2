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
using orvo::bench::Baseline;
using orvo::bench::LateBound;
using orvo::bench::Raw;
using orvo::bench::RegisterOnEach;
using orvo::bench::RowOf;
using orvo::bench::Server;
using orvo::bench::ServerResult;
using orvo::bench::ServerValues;
using orvo::bench::Site;
using orvo::bench::SiteFor;

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
// and its body replaced, and an assignment row is added for the user: the
// site's n-th call's user.
class SaveAgain {
 public:
  explicit SaveAgain(const Site& site)
      : site_(site), body_(orvo::bench::Picture(site.Shape().bodySize)) {}

  void operator()(std::int64_t n) {
    SignIn(site_.UserOf(n));
    Variant saved =
        object_.Call("InsertNoteRow", {site_.Dsn(), site_.SaveBillType(), "Invoice A4", body_});
    benchmark::DoNotOptimize(saved);
  }

 private:
  LateBound object_{"OrvoMPrintExport.clsPrintSetupUpdate"};
  const Site& site_;
  const Variant body_;
};

// What the history costs a write: the same save with the store keeping the
// default number of versions of each template, and keeping none as its
// baseline, a save of each timed in turn, the store told before each,
// untimed, how many versions to keep.
void InsertNoteRowHistory(benchmark::State& state, Backend backend) {
  Site& site = WritingSite(state, backend);
  HistoryKeep keep(site, backend);
  SaveAgain save(site);
  orvo::bench::InTurn inTurn(state);
  std::int64_t n = 0;
  for (auto _ : state) {
    inTurn.Time([&] { save(n++); }, [&] { save(n++); },
                [&] { keep.Set(orvo::store::kDefaultHistoryKeep); }, [&] { keep.Set(0); });
  }
  keep.Set(orvo::store::kDefaultHistoryKeep);
}
[[maybe_unused]] const bool kInsertNoteRowHistory =
    (RegisterOnEach("InsertNoteRowHistory", InsertNoteRowHistory,
                    orvo::bench::SizedTimedByHandRepeatedMore),
     true);

// On SQLite, with its own API on the site's file, each unit of work begun
// as a writing one, as the member's is.
class SqliteBaseline : public Baseline {
 protected:
  explicit SqliteBaseline(const Site& site) : site_(site), raw_(site.File()) {}

  const Site& site_;
  Raw raw_;
  sqlite3_stmt* begin_ = raw_.Prepare("BEGIN IMMEDIATE");
  sqlite3_stmt* commit_ = raw_.Prepare("COMMIT");
};

// The save of "Invoice A4" again, by its designer.
class SaveBySqlite final : public SqliteBaseline {
 public:
  explicit SaveBySqlite(const Site& site) : SqliteBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::string creator = orvo::bench::UserName(user);
    const std::string today = Today();
    raw_.Run(begin_);
    BindText(find_, 1, creator);
    BindText(find_, 2, screenId_);
    BindText(find_, 3, name_);
    std::vector<orvo::bench::CopiedValue> found;
    if (sqlite3_step(find_) == SQLITE_ROW) found = RowOf(find_);
    sqlite3_reset(find_);
    const std::int64_t id = found.at(0).integer;
    sqlite3_bind_blob(replace_, 1, body_.data(), static_cast<int>(body_.size()), SQLITE_STATIC);
    sqlite3_bind_int64(replace_, 2, id);
    raw_.Run(replace_);
    sqlite3_bind_int(assign_, 1, site_.SaveBillType());
    sqlite3_bind_int64(assign_, 2, id);
    BindText(assign_, 3, today);
    BindText(assign_, 4, name_);
    sqlite3_bind_int(assign_, 5, user);
    raw_.Run(assign_);
    raw_.Run(commit_);
    benchmark::DoNotOptimize(found);
  }

 private:
  const orvo::Bytes body_ = orvo::bench::Picture(site_.Shape().bodySize);
  const std::string name_ = "Invoice A4";
  const std::string screenId_ = std::to_string(site_.SaveBillType());
  sqlite3_stmt* find_ = raw_.Prepare(
      "select *  from T_PrintExportNote where FCreatorName=? and FScreenId=? and FName=?");
  sqlite3_stmt* replace_ = raw_.Prepare("Update T_PrintExportNote set FData = ?  Where FID=?");
  sqlite3_stmt* assign_ = raw_.Prepare(
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "(?,?,?,?,0,?,'')");
};

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
class ChooseTemplates {
 public:
  explicit ChooseTemplates(const Site& site) : site_(site) {
    for (std::int32_t user = 1; user <= site.Callers(); ++user) {
      for (int turn = 0; turn < 2; ++turn) choices_.push_back(Choices(site, user, turn));
    }
  }

  void operator()(std::int64_t n) {
    const std::int32_t user = site_.UserOf(n);
    SignIn(user);
    Variant done = object_.Call("UpdateUserNoteData", {site_.Dsn(), site_.WriteBillType(),
                                                       choices_[(user - 1) * 2 + n % 2]});
    benchmark::DoNotOptimize(done);
  }

 private:
  LateBound object_{"OrvoMPrintExport.clsPrintSetupUpdate"};
  const Site& site_;
  std::vector<std::shared_ptr<orvo::Dictionary>> choices_;
};

class ChooseBySqlite final : public SqliteBaseline {
 public:
  explicit ChooseBySqlite(const Site& site) : SqliteBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    raw_.Run(begin_);
    sqlite3_bind_int(settings_, 1, type_);
    sqlite3_bind_int(settings_, 2, user);
    std::vector<orvo::bench::CopiedValue> row;
    if (sqlite3_step(settings_) == SQLITE_ROW) row = RowOf(settings_);
    sqlite3_reset(settings_);
    BindText(option_, 1, optionText_);
    sqlite3_bind_int(option_, 2, type_);
    sqlite3_bind_int(option_, 3, user);
    raw_.Run(option_);
    const std::int32_t first = site_.TemplateOf(user, type_);
    for (int k = 0; k < 2; ++k) {
      sqlite3_bind_int(chosen_, 1, type_);
      sqlite3_bind_int(chosen_, 2, first + k);
      sqlite3_bind_int(chosen_, 3, user);
      if (sqlite3_step(chosen_) == SQLITE_ROW) row = RowOf(chosen_);
      sqlite3_reset(chosen_);
      BindText(choose_, 1, "");
      sqlite3_bind_int(choose_, 2, static_cast<int>((n + k) % 2));
      sqlite3_bind_int(choose_, 3, type_);
      sqlite3_bind_int(choose_, 4, first + k);
      sqlite3_bind_int(choose_, 5, user);
      raw_.Run(choose_);
    }
    raw_.Run(commit_);
    benchmark::DoNotOptimize(row);
  }

 private:
  const std::int32_t type_ = site_.WriteBillType();
  const std::string optionText_ = "copies=2";
  sqlite3_stmt* settings_ =
      raw_.Prepare("select * from T_PrintExport where fbilltype=? and FBillID=0 and FPreParerID=?");
  sqlite3_stmt* option_ = raw_.Prepare(
      "Update T_PrintExport set Fdata=? where fbilltype=? and FBillID=0 and FPreParerID=?");
  sqlite3_stmt* chosen_ = raw_.Prepare(
      "select * from T_PrintExport  where fbilltype=? and FBillID=? and FPreParerID=?");
  sqlite3_stmt* choose_ = raw_.Prepare(
      "Update T_PrintExport set Fbilltypesub=?,FSel=? where fbilltype=? and FBillID=? and "
      "FPreParerID=?");
};

// A printing client counts the five bills it printed.
constexpr int kPrinted = 5;

// The business table's rows of the n-th count.
std::int32_t PrintedId(const Site& site, std::int64_t n, int k) {
  return static_cast<std::int32_t>(1 + (n * kPrinted + k) % site.Shape().bills);
}

class CountPrints {
 public:
  // Built before the benchmark starts, as the choices above.
  explicit CountPrints(const Site& site) : site_(site) {
    for (std::int64_t n = 0; n < site.Shape().bills / kPrinted; ++n) {
      std::string ids;
      for (int k = 0; k < kPrinted; ++k)
        ids += (k > 0 ? "," : "") + std::to_string(PrintedId(site, n, k));
      auto counted = std::make_shared<orvo::Dictionary>();
      counted->SetValue("TableName", "t_Bill");
      counted->SetValue("FieldName", "FPrintCount");
      counted->SetValue("PriKey", "FInterID");
      counted->SetValue("InterIDs", ids);
      printed_.push_back(counted);
    }
  }

  void operator()(std::int64_t n) {
    SignIn(site_.UserOf(n));
    Variant done = object_.Call(
        "UpdatePrintCount", {site_.Dsn(), printed_[static_cast<std::size_t>(n) % printed_.size()]});
    benchmark::DoNotOptimize(done);
  }

 private:
  LateBound object_{"OrvoMPrintExport.clsPrintSetupUpdate"};
  const Site& site_;
  std::vector<std::shared_ptr<orvo::Dictionary>> printed_;
};

class CountBySqlite final : public SqliteBaseline {
 public:
  explicit CountBySqlite(const Site& site) : SqliteBaseline(site) {}

  // The member's n-th count, whatever the site's number of bills.
  void Call(std::int64_t n) override {
    const std::int64_t counts = site_.Shape().bills / kPrinted;
    raw_.Run(begin_);
    for (int k = 0; k < kPrinted; ++k)
      sqlite3_bind_int(count_, k + 1, PrintedId(site_, n % counts, k));
    raw_.Run(count_);
    raw_.Run(commit_);
  }

 private:
  sqlite3_stmt* count_ = raw_.Prepare(
      "UPDATE t_Bill SET FPrintCount = FPrintCount + 1 WHERE FInterID IN(  ?,?,?,?,?)\r\n");
};

// The same baselines on the server, with libpq: the statements as the
// classes run them there, each prepared once, and the lock that a writing
// unit of work takes of its store as it begins.
class ServerBaseline : public Baseline {
 protected:
  explicit ServerBaseline(const Site& site) : site_(site), raw_(Server::Kept(site.Dsn())) {}

  void Begin() {
    raw_.Run(begin_);
    raw_.Run(lock_);
  }

  const Site& site_;
  Server& raw_;
  Server::Statement begin_ = raw_.Prepare("BEGIN");
  Server::Statement lock_ = raw_.Prepare(
      "SELECT pg_advisory_xact_lock(hashtext(current_database() || '.' || current_schema()))");
  Server::Statement commit_ = raw_.Prepare("COMMIT");
};

class SaveOnServer final : public ServerBaseline {
 public:
  explicit SaveOnServer(const Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    const std::string creator = orvo::bench::UserName(user);
    const std::string today = Today();
    Begin();
    std::vector<orvo::bench::CopiedValue> found;
    const ServerResult rows =
        raw_.Run(find_, ServerValues().Text(creator).Text(screenId_).Text(name_));
    if (rows.Rows() > 0) found = RowOf(rows, 0);
    const auto id = static_cast<std::int32_t>(found.at(0).integer);
    raw_.Run(replace_, ServerValues().Binary(body_.data(), body_.size()).Int(id));
    raw_.Run(assign_,
             ServerValues().Int(site_.SaveBillType()).Int(id).Text(today).Text(name_).Int(user));
    raw_.Run(commit_);
    benchmark::DoNotOptimize(found);
  }

 private:
  const orvo::Bytes body_ = orvo::bench::Picture(site_.Shape().bodySize);
  const std::string name_ = "Invoice A4";
  const std::string screenId_ = std::to_string(site_.SaveBillType());
  Server::Statement find_ = raw_.Prepare(
      "select *  from T_PrintExportNote where FCreatorName=$1 and FScreenId=$2 and FName=$3");
  Server::Statement replace_ =
      raw_.Prepare("Update T_PrintExportNote set FData = $1  Where FID=$2");
  Server::Statement assign_ = raw_.Prepare(
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "($1,$2,$3,$4,0,$5,'')");
};

class ChooseOnServer final : public ServerBaseline {
 public:
  explicit ChooseOnServer(const Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int32_t user = site_.UserOf(n);
    Begin();
    std::vector<orvo::bench::CopiedValue> row;
    const ServerResult found = raw_.Run(settings_, ServerValues().Int(type_).Int(user));
    if (found.Rows() > 0) row = RowOf(found, 0);
    raw_.Run(option_, ServerValues().Text(optionText_).Int(type_).Int(user));
    const std::int32_t first = site_.TemplateOf(user, type_);
    for (int k = 0; k < 2; ++k) {
      const ServerResult assigned =
          raw_.Run(chosen_, ServerValues().Int(type_).Int(first + k).Int(user));
      if (assigned.Rows() > 0) row = RowOf(assigned, 0);
      raw_.Run(choose_, ServerValues()
                            .Text(noSubType_)
                            .Int(static_cast<std::int32_t>((n + k) % 2))
                            .Int(type_)
                            .Int(first + k)
                            .Int(user));
    }
    raw_.Run(commit_);
    benchmark::DoNotOptimize(row);
  }

 private:
  const std::int32_t type_ = site_.WriteBillType();
  const std::string optionText_ = "copies=2";
  const std::string noSubType_;
  Server::Statement settings_ = raw_.Prepare(
      "select * from T_PrintExport where fbilltype=$1 and FBillID=0 and FPreParerID=$2");
  Server::Statement option_ = raw_.Prepare(
      "Update T_PrintExport set Fdata=$1 where fbilltype=$2 and FBillID=0 and FPreParerID=$3");
  Server::Statement chosen_ = raw_.Prepare(
      "select * from T_PrintExport  where fbilltype=$1 and FBillID=$2 and FPreParerID=$3");
  Server::Statement choose_ = raw_.Prepare(
      "Update T_PrintExport set Fbilltypesub=$1,FSel=$2 where fbilltype=$3 and FBillID=$4 and "
      "FPreParerID=$5");
};

class CountOnServer final : public ServerBaseline {
 public:
  explicit CountOnServer(const Site& site) : ServerBaseline(site) {}

  void Call(std::int64_t n) override {
    const std::int64_t counts = site_.Shape().bills / kPrinted;
    Begin();
    ServerValues values;
    values.Int(1);
    for (int k = 0; k < kPrinted; ++k) values.Int(PrintedId(site_, n % counts, k));
    raw_.Run(count_, values);
    raw_.Run(commit_);
  }

 private:
  Server::Statement count_ = raw_.Prepare(
      "UPDATE t_Bill SET FPrintCount = FPrintCount + $1 WHERE FInterID IN(  $2,$3,$4,$5,$6)\r\n");
};

// The member given by `Member` and its baseline on either backend, as
// "BM_<what>" on every backend: a call of each in every iteration, timed in
// turn, as the disk paces a write and changes its pace for minutes at a
// time, so that two benchmarks timed apart would compare a slow period with
// a fast one.
template <class Member, class OnSqlite, class OnServer>
void RegisterWrite(const char* what) {
  RegisterOnEach(
      what,
      [](benchmark::State& state, Backend backend) {
        const Site& site = WritingSite(state, backend);
        Member member(site);
        std::unique_ptr<Baseline> baseline;
        if (backend == Backend::SQLite) {
          baseline = std::make_unique<OnSqlite>(site);
        } else {
          baseline = std::make_unique<OnServer>(site);
        }
        orvo::bench::TimeCallsInTurn(state, member, *baseline, site.Callers() / 2);
      },
      orvo::bench::SizedTimedByHand);
}

[[maybe_unused]] const bool kWritesRegistered = [] {
  RegisterWrite<SaveAgain, SaveBySqlite, SaveOnServer>("InsertNoteRow");
  RegisterWrite<ChooseTemplates, ChooseBySqlite, ChooseOnServer>("UpdateUserNoteData");
  RegisterWrite<CountPrints, CountBySqlite, CountOnServer>("UpdatePrintCount");
  return true;
}();

}  // namespace
