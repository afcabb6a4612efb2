// What only the SQLite backend has: its messages, its data source keys, the
// store file, its locks and journal modes.

#include "ado/sqlite/sqlite_backend.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

using SqliteBackendTest = testing::StoreTest;

TEST_F(SqliteBackendTest, FailuresCarrySQLitesMessageAndItsKeysAreChecked) {
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select * from T_Missing"); }).description(),
            "no such table: T_Missing");
  EXPECT_EQ(
      ErrorOf([&] { cn_->Execute("select \"nosuchcolumn\" from T_PrintExport"); }).description(),
      "no such column: nosuchcolumn");
  cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'a')");
  const AutomationError duplicate =
      ErrorOf([&] { cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'b')"); });
  EXPECT_EQ(duplicate.description(), "UNIQUE constraint failed: T_PrintExport.FId");
  // SQLite's own extended code travels beside the number: a host tells a
  // busy store from a broken one by it.
  EXPECT_EQ(duplicate.nativeCode(), std::to_string(SQLITE_CONSTRAINT_PRIMARYKEY));
  EXPECT_EQ(ErrorOf([&] { Connection::Open("Data Source=/nonexistent/dir/x.db"); }).nativeCode(),
            std::to_string(SQLITE_CANTOPEN));
  // Only ASCII letters fold; other characters compare as they are.
  cn_->Execute("insert into T_PrintExport (FName) values ('É')");
  EXPECT_TRUE(cn_->Execute("select FId from T_PrintExport where FName='é'")->Eof());

  for (const char* option : {";Busy Timeout=soon", ";Mode=Write", ";Mode=Share Deny None"}) {
    EXPECT_EQ(ErrorOf([&] { Connection::Open(DataSource() + option); }).number(), kErrFailure)
        << option;
  }
  EXPECT_EQ(ErrorOf([&] { Connection::Open(DataSource() + ";Mode=Write"); }).description(),
            "Mode must be Read or ReadWrite, not \"Write\"");
}

// What the catalogue says of a business table is kept between calls and
// follows every change of the schema: another connection's, a temporary
// table that hides the table, a database attached, detached or swapped.
TEST_F(SqliteBackendTest, TheColumnsOfATableFollowEveryChangeOfTheSchema) {
  const auto columns = [&](std::vector<NamePart> name) {
    const std::optional<std::vector<std::string>> found = cn_->TableColumns(name);
    if (!found) return std::string("missing");
    std::string joined;
    for (const std::string& column : *found) joined += (joined.empty() ? "" : ",") + column;
    return joined;
  };
  const std::vector<NamePart> bill{{"t_Bill", true}};
  cn_->Execute("create table t_Bill (FInterID integer, FPrintCount integer)");
  EXPECT_EQ(columns(bill), "FInterID,FPrintCount");
  EXPECT_EQ(columns(bill), "FInterID,FPrintCount");

  const auto other = Connection::Open(DataSource());
  other->Execute("alter table t_Bill add column FNote text");
  EXPECT_EQ(columns(bill), "FInterID,FPrintCount,FNote");
  // Seen inside a transaction too, as of the transaction's snapshot.
  cn_->BeginTrans();
  EXPECT_EQ(columns(bill), "FInterID,FPrintCount,FNote");
  cn_->CommitTrans();

  cn_->Execute("create temp table t_Bill (FOnly integer)");
  EXPECT_EQ(columns(bill), "FOnly");
  EXPECT_EQ(columns({{"main", true}, {"t_Bill", true}}), "FInterID,FPrintCount,FNote");
  cn_->Execute("drop table temp.t_Bill");
  EXPECT_EQ(columns(bill), "FInterID,FPrintCount,FNote");
  other->Execute("drop table t_Bill");
  EXPECT_EQ(columns(bill), "missing");
  other->Execute("create view t_Bill as select 1 as FOne");
  EXPECT_EQ(columns(bill), "FOne");

  const std::vector<NamePart> stock{{"t_Stock", true}};
  const auto attach = [&](const char* file) {
    cn_->Execute("attach database '" + (dir_.Path() / file).string() + "' as more");
  };
  attach("more.db");
  cn_->Execute("create table more.t_Stock (FQty integer)");
  EXPECT_EQ(columns(stock), "FQty");
  cn_->Execute("detach database more");
  EXPECT_EQ(columns(stock), "missing");
  attach("more.db");
  EXPECT_EQ(columns(stock), "FQty");
  cn_->Execute("detach database more");
  attach("empty.db");
  EXPECT_EQ(columns(stock), "missing");
  // A database attached under a name that needs quoting is watched as well.
  cn_->Execute("attach database '" + (dir_.Path() / "odd.db").string() + "' as \"odd\"\"name\"");
  cn_->Execute("create table \"odd\"\"name\".t_Stock (FOdd integer)");
  EXPECT_EQ(columns(stock), "FOdd");
  cn_->Execute("alter table \"odd\"\"name\".t_Stock add column FEven integer");
  EXPECT_EQ(columns(stock), "FOdd,FEven");
}

TEST_F(SqliteBackendTest, AMissingDatabaseIsAnErrorUnlessCreatingItIsAskedFor) {
  const std::filesystem::path file = dir_.Path() / "typo.db";
  const std::string dsn = "Provider=SQLite;Data Source=" + file.string();
  for (const std::string& text : {dsn, dsn + ";Mode=Read"}) {
    const AutomationError missing = ErrorOf([&] { Connection::Open(text); });
    EXPECT_EQ(missing.number(), kErrFailure);
    EXPECT_EQ(missing.source(), "SQLite");
    EXPECT_EQ(missing.description(), "The database file \"" + file.string() + "\" does not exist");
  }
  EXPECT_FALSE(std::filesystem::exists(file));

  Connection::Open(dsn, IfMissing::Create)->Execute("create table t (a integer)");
  EXPECT_EQ(Connection::Open(dsn)->Execute("select count(1) from t")->Fields(0).Value(),
            Variant(0));
  // Creating still needs the folder.
  const AutomationError unopenable = ErrorOf([&] {
    Connection::Open("Data Source=" + (dir_.Path() / "missing" / "x.db").string(),
                     IfMissing::Create);
  });
  EXPECT_EQ(unopenable.number(), kErrFailure);
  EXPECT_EQ(unopenable.description(), "unable to open database file");
}

TEST_F(SqliteBackendTest, AFolderAPipeOrADeviceWhereTheFileShouldBeIsRefusedAtOnce) {
  const std::filesystem::path pipe = dir_.Path() / "pipe.db";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::filesystem::path link = dir_.Path() / "link.db";
  std::filesystem::create_symlink(pipe, link);
  const std::pair<std::filesystem::path, std::string> refused[] = {
      {dir_.Path(), "a folder"}, {pipe, "a pipe"}, {link, "a pipe"}, {"/dev/zero", "a device"}};
  for (const auto& [path, what] : refused) {
    for (const IfMissing ifMissing : {IfMissing::Fail, IfMissing::Create}) {
      const AutomationError error =
          ErrorOf([&] { Connection::Open("Data Source=" + path.string(), ifMissing); });
      EXPECT_EQ(error.number(), kErrFailure) << path;
      EXPECT_EQ(error.description(),
                "The database file \"" + path.string() + "\" is " + what + ", not a file");
      EXPECT_EQ(error.nativeCode(), std::to_string(SQLITE_CANTOPEN));
    }
  }
  // Opened for reading only, a pipe would keep the open waiting for a writer.
  const AutomationError reading =
      ErrorOf([&] { Connection::Open("Data Source=" + link.string() + ";Mode=Read"); });
  EXPECT_EQ(reading.description(),
            "The database file \"" + link.string() + "\" is a pipe, not a file");
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(SqliteBackendTest, ALockedDatabaseIsAFailureAfterTheBusyTimeout) {
  cn_->BeginTrans();
  cn_->Execute("insert into T_PrintExport (FName) values ('held')");
  auto other = Connection::Open(DataSource() + ";Busy Timeout=0");
  const AutomationError locked =
      ErrorOf([&] { other->Execute("insert into T_PrintExport (FName) values ('blocked')"); });
  EXPECT_EQ(locked.number(), kErrFailure);
  EXPECT_EQ(locked.description(), "database is locked");
  // WAL lets the other connection read what was committed meanwhile.
  EXPECT_EQ(other->Execute("select count(1) from T_PrintExport")->Fields(0).Value(), Variant(0));
  cn_->CommitTrans();
  other->Execute("insert into T_PrintExport (FName) values ('after')");
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(2));
}

TEST_F(SqliteBackendTest, OpeningAndReadingChangeNothingAndWorkWhereWritingIsNotAllowed) {
  cn_->Execute("insert into T_PrintExport (FName) values ('kept')");
  // A store in the rollback journal mode, which another program may have
  // chosen, while a reader holds its lock: opening neither waits nor fails.
  cn_->Execute("PRAGMA journal_mode=DELETE");
  cn_->BeginTrans(TransactionKind::Reading);
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
  for (const char* mode : {"", ";Mode=ReadWrite", ";Mode=Read"}) {
    auto reader = Connection::Open(DataSource() + mode + ";Busy Timeout=0");
    reader->BeginTrans(TransactionKind::Reading);
    EXPECT_EQ(reader->Execute("select FName from T_PrintExport")->Fields(0).Value(),
              Variant("kept"))
        << mode;
    reader->CommitTrans();
  }
  cn_->CommitTrans();
  // The journal mode belongs to the store; no connection changes it.
  EXPECT_EQ(Scalar("PRAGMA journal_mode"), Variant("delete"));

  auto reader = Connection::Open(DataSource() + ";mode=read");
  const AutomationError refused =
      ErrorOf([&] { reader->Execute("insert into T_PrintExport (FName) values ('lost')"); });
  EXPECT_EQ(refused.number(), kErrFailure);
  EXPECT_EQ(refused.description(), "attempt to write a readonly database");
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
}

}  // namespace
}  // namespace orvo::ado
