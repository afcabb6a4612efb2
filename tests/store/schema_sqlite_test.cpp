#include "store/sqlite/schema_sqlite.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "support/each_statement_failed.hpp"
#include "support/error_of.hpp"
#include "support/processes_at_once.hpp"
#include "support/settings_row_count.hpp"
#include "support/temp_directory.hpp"

namespace orvo::store {
namespace {

using orvo::testing::ErrorOf;
using Action = SchemaOutcome::Action;

// The schema as the library made it before stores recorded a version: text
// columns declare the library's own ORVO_CI collation.
constexpr const char* kBillRow =
    "FId INTEGER PRIMARY KEY AUTOINCREMENT, FBillType INTEGER, FBillId INTEGER, "
    "FPreparerId INTEGER, FDate DATETIME, FName VARCHAR(255) COLLATE ORVO_CI, "
    "FData VARCHAR(255) COLLATE ORVO_CI, FBillTypeSub VARCHAR(255) COLLATE ORVO_CI, "
    "FSel INTEGER, FPrintSet BLOB";
constexpr const char* kNote =
    "FId INTEGER PRIMARY KEY AUTOINCREMENT, FName VARCHAR(510) COLLATE ORVO_CI, "
    "FScreenId VARCHAR(20) COLLATE ORVO_CI, FCreatorName VARCHAR(30) COLLATE ORVO_CI, "
    "FModifierName VARCHAR(30) COLLATE ORVO_CI, FNewBillType INTEGER, FCreateDate DATETIME, "
    "FModifyDate DATETIME, FData BLOB";
const std::vector<std::string> kEarlierSchema = {
    std::string("CREATE TABLE IF NOT EXISTS T_PrintExport (") + kBillRow + ")",
    std::string("CREATE TABLE IF NOT EXISTS T_PrintExportNote (") + kNote + ")",
    std::string("CREATE TABLE IF NOT EXISTS T_PrintExportLM (") + kBillRow + ", FDataFrom INTEGER)",
    std::string("CREATE TABLE IF NOT EXISTS T_PrintExportNoteLM (") + kNote +
        ", FDataFrom INTEGER)",
    "CREATE TABLE IF NOT EXISTS T_RptExcelPrintExport (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "FRptId INTEGER, FNoteId INTEGER, FPreparerId INTEGER, FDate DATETIME, "
    "FName VARCHAR(255) COLLATE ORVO_CI, FData VARCHAR(255) COLLATE ORVO_CI, FSel INTEGER, "
    "FPrintSet BLOB, FTypeSub VARCHAR(255) COLLATE ORVO_CI)",
    "CREATE TABLE IF NOT EXISTS T_RptExcelPrintExportNote (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
    "FName VARCHAR(510) COLLATE ORVO_CI, FScreenId VARCHAR(20) COLLATE ORVO_CI, "
    "FCreatorName VARCHAR(30) COLLATE ORVO_CI, FModifierName VARCHAR(30) COLLATE ORVO_CI, "
    "FNewRptId INTEGER, FCreateDate DATETIME, FModifyDate DATETIME, FData BLOB)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExport_User ON T_PrintExport (FPreparerId, FBillType, "
    "FBillId)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExport_Name ON T_PrintExport (FBillType, FName)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportNote_Creator ON T_PrintExportNote (FCreatorName, "
    "FScreenId, FName)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportNote_Type ON T_PrintExportNote (FNewBillType, FName)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportLM_User ON T_PrintExportLM (FPreparerId, FBillType, "
    "FDataFrom, FBillId)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportLM_Name ON T_PrintExportLM (FBillType, FName)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportNoteLM_Creator ON T_PrintExportNoteLM "
    "(FCreatorName, FScreenId, FName)",
    "CREATE INDEX IF NOT EXISTS IX_PrintExportNoteLM_Type ON T_PrintExportNoteLM (FNewBillType, "
    "FName)",
    "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExport_User ON T_RptExcelPrintExport "
    "(FPreparerId, FRptId, FNoteId)",
    "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExportNote_Creator ON T_RptExcelPrintExportNote "
    "(FCreatorName, FScreenId, FName)",
    "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExportNote_Type ON T_RptExcelPrintExportNote "
    "(FNewRptId, FName)",
};

// A literal for a column of the declared type; `seed` varies the rows.
std::string Literal(const std::string& type, int seed) {
  const std::string n = std::to_string(seed);
  if (type == "INTEGER") return n;
  if (type == "DATETIME") return "'2024-02-29 23:59:" + std::string(seed < 10 ? "0" : "") + n + "'";
  if (type == "BLOB") return "x'00" + std::string(seed < 16 ? "0" : "") + n + "ff0d0a'";
  // Case and trailing blanks are kept as written; every fourth text is Null.
  return seed % 4 == 3 ? "NULL" : "'Manager 存放页面设置信息 " + n + "  '";
}

class SqliteSchemaTest : public ::testing::Test {
 protected:
  std::string Path() const { return (directory_.Path() / "store.db").string(); }
  std::string Dsn() const { return "Provider=SQLite;Data Source=" + Path(); }

  // A store as an earlier version of the library made it: before schema
  // versions (1), or with NOCASE text and columns held to nothing (2). The
  // tables have rows in each, the newest of them deleted so that the next id
  // lies past the last row, and a gap in the ids.
  void MakeEarlierStore(int version = 1) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(Path() + suffix);
    auto connection = ado::Connection::Open(Dsn(), ado::IfMissing::Create);
    connection->AcceptEarlierSchemas();
    connection->Execute("PRAGMA journal_mode=WAL");
    for (std::string statement : kEarlierSchema) {
      for (std::size_t at; version == 2 && (at = statement.find("ORVO_CI")) != std::string::npos;) {
        statement.replace(at, 7, "NOCASE");
      }
      connection->Execute(statement);
    }
    if (version == 2) connection->Execute("PRAGMA user_version=2");
    for (const std::string& table : TableNames()) {
      std::vector<std::pair<std::string, std::string>> columns;
      for (auto info = connection->Execute("select name, type from pragma_table_info('" + table +
                                           "') where name <> 'FId'");
           !info->Eof(); info->MoveNext()) {
        const std::string type = CStr(info->Fields(1).Value());
        columns.emplace_back(CStr(info->Fields(0).Value()),
                             type.starts_with("VARCHAR") ? "TEXT" : type);
      }
      for (int seed = 1; seed <= 5; ++seed) {
        std::string names, values;
        for (const auto& [name, type] : columns) {
          names += (names.empty() ? "" : ",") + name;
          values += (values.empty() ? "" : ",") + Literal(type, seed);
        }
        connection->Execute("insert into " + table + " (" + names + ") values (" + values + ")");
      }
      connection->Execute("delete from " + table + " where FId in (2, 5)");
    }
  }

  // Runs one statement as any SQLite program would, without anything of the
  // library's: its first value as text, or its error.
  std::string Tool(const std::string& statement) const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Path().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string result;
    const int rc = sqlite3_exec(
        db, statement.c_str(),
        [](void* out, int, char** values, char**) {
          auto& text = *static_cast<std::string*>(out);
          if (text.empty() && values[0] != nullptr) text = values[0];
          return 0;
        },
        &result, nullptr);
    if (rc != SQLITE_OK) result = "error: " + std::string(sqlite3_errmsg(db));
    sqlite3_close(db);
    return result;
  }

  // Every row of a table with every column, ordered by `order`, read without
  // the library: a line "<table>: <row> | <row> ...".
  std::string Dump(const std::string& table, const std::string& order) const {
    // Every column quoted as a literal, joined by commas.
    const std::string quoted = Tool(
        "select group_concat('quote(' || name || ')', ' || '','' || ') from pragma_table_info('" +
        table + "')");
    return table + ": " +
           Tool("select group_concat(r, ' | ') from (select " + quoted + " as r from " + table +
                " order by " + order + ")") +
           "\n";
  }

  // Every row of the six tables with every column, and their identities'
  // next values, read without the library.
  std::string Rows() const {
    std::string text;
    for (const std::string& table : TableNames()) text += Dump(table, "FId");
    return text + Tool(
                      "select group_concat(name || '=' || seq, ', ') from (select * from "
                      "sqlite_sequence where name <> 'T_PrintHistoryVersion' order by name)");
  }

  // Every version of the six histories with every column, by number.
  std::string Versions() const {
    std::string text;
    for (const HistoryTable& history : HistoryTables()) {
      text += Dump(history.table.name, "FVersion");
    }
    return text;
  }

  // Upgrades the store of version `from` with each of the upgrade's
  // statements failed in turn, until a run meets no failure, which upgrades
  // it. After each failure the store reads as `read` read it before, with no
  // transaction left open; more than `fewest` runs fail.
  template <class Read>
  void UpgradeFailingEachStatement(int from, int fewest, const Read& read) {
    const std::string before = read();
    int failures = 0;
    const SchemaOutcome upgraded = testing::WithEachStatementFailed(
        Dsn(), [](ado::Connection& connection) { return CreateSchema(connection); },
        [&](int n, ado::Connection& connection) {
          EXPECT_EQ(read(), before) << "failed at statement " << n;
          EXPECT_FALSE(connection.InTransaction()) << "failed at statement " << n;
        },
        failures);
    EXPECT_GT(failures, fewest);
    EXPECT_EQ(upgraded.action, Action::Upgraded);
    EXPECT_EQ(upgraded.fromVersion, from);
  }

  // Setting up the store as it is now is refused with `description`, and the
  // store is left exactly as it was.
  void ExpectRefusedAndUntouched(const std::string& description) {
    const std::string rows = Rows();
    const std::string schema = Schema();
    const AutomationError error = ErrorOf([&] { CreateStore(Dsn(), nullptr); });
    EXPECT_EQ(error.number(), HResult(0x80004005u));
    EXPECT_EQ(error.source(), "OrvoMPrintExport");
    EXPECT_EQ(error.description(), description);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Schema(), schema);
  }

  // The schema as SQLite keeps it, with the store's version.
  std::string Schema() const {
    return Tool("PRAGMA user_version") + "\n" +
           Tool(
               "select group_concat(type || ' ' || name || ': ' || ifnull(sql, ''), '\n') from "
               "(select * from sqlite_master order by name)");
  }

  // The count of numbers given as schemas 6 to 8 kept it.
  void CountInTheSettingsRow() {
    const auto tool = [&](const std::string& statement) { return Tool(statement); };
    testing::CountVersionsInTheSettingsRow(tool, tool);
  }

 private:
  testing::TempDirectory directory_;
};

TEST_F(SqliteSchemaTest, ANewStoreUsesOnlyWhatSQLiteHasBuiltInAndRecordsItsVersion) {
  const SchemaOutcome created = CreateStore(Dsn(), nullptr);
  EXPECT_EQ(created.action, Action::Created);
  EXPECT_EQ(created.version, 9);
  EXPECT_EQ(created.fromVersion, 0);
  EXPECT_EQ(Tool("PRAGMA user_version"), "9");
  EXPECT_EQ(Tool("PRAGMA journal_mode"), "wal");

  // What the sqlite3 shell, a database browser or a script do with a store.
  EXPECT_EQ(Tool("insert into T_PrintExportNote (FName, FCreatorName) values ('a', 'B') "
                 "returning FId"),
            "1");
  EXPECT_EQ(Tool("select count(*) from T_PrintExportNote where FCreatorName = 'b'"), "1");
  EXPECT_EQ(Tool("VACUUM"), "");

  // Whoever writes, each column holds what its type declares, as a server's
  // does, so no row stops a template copy that binds it.
  const std::string fits = "update T_PrintExportNote set FName = '" + std::string(255, 'n') +
                           "', FScreenId = '12345678901234567890', FNewBillType = 2147483647";
  EXPECT_EQ(Tool(fits), "");
  const std::pair<std::string, std::string> unfit[] = {
      {"FName = '" + std::string(256, 'n') + "'",
       "T_PrintExportNote.FName holds at most 255 characters"},
      {"FCreatorName = '" + std::string(31, 'c') + "'",
       "T_PrintExportNote.FCreatorName holds at most 30 characters"},
      {"FNewBillType = 2147483648", "T_PrintExportNote.FNewBillType holds a 32-bit whole number"},
      {"FNewBillType = 1.5", "T_PrintExportNote.FNewBillType holds a 32-bit whole number"},
      {"FNewBillType = '1e20'", "T_PrintExportNote.FNewBillType holds a 32-bit whole number"},
      {"FId = -2147483649", "T_PrintExportNote.FId holds a 32-bit whole number"}};
  for (const auto& [assignment, rule] : unfit) {
    EXPECT_EQ(Tool("update T_PrintExportNote set " + assignment),
              "error: CHECK constraint failed: " + rule);
  }
  EXPECT_EQ(Tool("select length(FName) || ' ' || FNewBillType from T_PrintExportNote"),
            "255 2147483647");

  // A current store is only read, so one the process may only read passes.
  const SchemaOutcome again = CreateSchema(*ado::Connection::Open(Dsn() + ";Mode=Read"));
  EXPECT_EQ(again.action, Action::Current);
  EXPECT_EQ(again.version, 9);
  EXPECT_EQ(again.fromVersion, 9);
}

TEST_F(SqliteSchemaTest, AnEarlierStoreIsUpgradedInPlaceKeepingRowsIdsAndTheNextIds) {
  for (const int version : {1, 2}) {
    SCOPED_TRACE(version);
    MakeEarlierStore(version);
    const std::string rows = Rows();
    ASSERT_NE(rows.find("T_PrintExportNote=5"), std::string::npos) << rows;
    ASSERT_EQ(rows.find("error"), std::string::npos) << rows;
    if (version == 1) {
      EXPECT_NE(Tool("select count(*) from T_PrintExportNote").find("no such collation sequence"),
                std::string::npos);
    }

    // Through a connection that has never seen the old collation.
    const SchemaOutcome upgraded = CreateSchema(*ado::Connection::Open(Dsn()));
    EXPECT_EQ(upgraded.action, Action::Upgraded);
    EXPECT_EQ(upgraded.version, 9);
    EXPECT_EQ(upgraded.fromVersion, version);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Tool("PRAGMA user_version"), "9");
    EXPECT_EQ(Tool("select count(*) from sqlite_master where sql like '%ORVO_CI%' or name like "
                   "'%Rebuilt%'"),
              "0");
    EXPECT_EQ(Tool("select group_concat(name, ' ') from (select name from sqlite_master where "
                   "type = 'index' and name like 'IX_PrintExport%' order by name)"),
              "IX_PrintExportLM_Name IX_PrintExportLM_Selected IX_PrintExportLM_Type "
              "IX_PrintExportLM_User IX_PrintExportNoteLM_Creator IX_PrintExportNoteLM_Type "
              "IX_PrintExportNote_Creator IX_PrintExportNote_Type IX_PrintExport_Name "
              "IX_PrintExport_Selected IX_PrintExport_Type IX_PrintExport_User");
    EXPECT_EQ(Tool("pragma integrity_check"), "ok");
    for (const std::string& table : TableNames()) {
      // Ids continue after the deleted newest row.
      EXPECT_EQ(Tool("insert into " + table + " (FData) values (NULL) returning FId"), "6")
          << table;
    }
    // Text now compares as SQLite's NOCASE: without case, blanks counting;
    // and columns hold what they declare.
    EXPECT_EQ(
        Tool("select count(*) from T_PrintExport where FName = 'MANAGER 存放页面设置信息 1  '"),
        "1");
    EXPECT_EQ(Tool("select count(*) from T_PrintExport where FName = 'MANAGER 存放页面设置信息 1'"),
              "0");
    EXPECT_EQ(Tool("update T_PrintExport set FSel = 1.5"),
              "error: CHECK constraint failed: T_PrintExport.FSel holds a 32-bit whole number");

    const SchemaOutcome again = CreateSchema(*ado::Connection::Open(Dsn()));
    EXPECT_EQ(again.action, Action::Current);
  }
}

TEST_F(SqliteSchemaTest, AFailureAnywhereInTheUpgradeLeavesTheEarlierStoreWhole) {
  MakeEarlierStore();
  const std::string rows = Rows();
  UpgradeFailingEachStatement(1, 6 * 6, [&] { return Rows() + Schema(); });
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(Tool("PRAGMA user_version"), "9");
}

TEST_F(SqliteSchemaTest, AStoreThatCannotBeUpgradedWhollyOrIsNewerIsLeftAsItWas) {
  MakeEarlierStore();
  {
    auto connection = ado::Connection::Open(Dsn());
    connection->AcceptEarlierSchemas();
    connection->Execute("ALTER TABLE T_RptExcelPrintExport ADD COLUMN FExtra INTEGER");
  }
  ExpectRefusedAndUntouched(
      "The store cannot be upgraded: in T_RptExcelPrintExport, FExtra is not a column it should "
      "have. The store was left as it was.");

  // Values that the current columns would not hold are named, row by row,
  // for the operator to mend; none is cut or dropped.
  MakeEarlierStore(2);
  Tool("PRAGMA journal_mode=DELETE");
  Tool("update T_PrintExport set FName = '" + std::string(256, 'x') + "' where FId = 3");
  Tool("update T_PrintExport set FSel = 2147483648 where FId in (1, 4)");
  Tool("update T_RptExcelPrintExportNote set FScreenId = '" + std::string(21, '9') +
       "', FNewRptId = 'twenty' where FId = 1");
  ExpectRefusedAndUntouched(
      "The store cannot be upgraded: 5 values do not fit their columns (T_PrintExport FId 3 "
      "FName, T_PrintExport FId 1 FSel, T_PrintExport FId 4 FSel, T_RptExcelPrintExportNote "
      "FId 1 FScreenId, T_RptExcelPrintExportNote FId 1 FNewRptId). Mend them and set the store "
      "up again; it was left as it was.");
  EXPECT_EQ(Tool("PRAGMA journal_mode"), "delete");

  // A store of a later version of the library, kept in rollback journal mode.
  Tool("PRAGMA user_version=10");
  ExpectRefusedAndUntouched(
      "The store has schema version 10, newer than the version 9 that this library knows; it was "
      "left as it was.");
  EXPECT_EQ(Tool("PRAGMA journal_mode"), "delete");
}

// A store of version 6 raised a counter for each version and filled it through
// a temporary table; its triggers are made again as a new store's, and
// nothing else changes.
TEST_F(SqliteSchemaTest, AStoreWhoseHistoryRaisedACounterGetsTodaysTriggers) {
  CreateStore(Dsn(), nullptr);
  Tool("insert into T_PrintExportNote (FName, FData) values ('a', x'01')");
  Tool("update T_PrintExportNote set FName = 'b'");
  const std::string schema = Schema();
  const std::string rows = Rows();
  CountInTheSettingsRow();
  for (const HistoryTable& history : HistoryTables()) {
    Tool("drop trigger TR_" + history.table.name + "_Numbered");
  }
  Tool("PRAGMA user_version=6");

  const SchemaOutcome upgraded = CreateStore(Dsn(), nullptr);
  EXPECT_EQ(upgraded.action, Action::Upgraded);
  EXPECT_EQ(upgraded.fromVersion, 6);
  EXPECT_EQ(Schema(), schema);
  EXPECT_EQ(Rows(), rows);
  Tool("update T_PrintExportNote set FName = 'c'");
  EXPECT_EQ(Tool("select group_concat(FVersion || FName || FRowVersion, ' ') from (select * from "
                 "T_PrintExportNote_History order by FVersion)"),
            "1a1 2b2");
}

// A store of version 7 kept its versions keyed by their numbers and found the
// next number in all six histories: its histories are made again with every
// version, and the store numbers on past the newest.
TEST_F(SqliteSchemaTest, AStoreWhoseHistoryWasKeyedByNumberKeepsEveryVersion) {
  CreateStore(Dsn(), nullptr);
  Tool("insert into T_PrintExportNote (FName, FData) values ('a', x'00ff')");
  Tool("insert into T_PrintExportNote (FName, FData) values ('x', x'01')");
  for (const char* name : {"b", "c", "d"}) {
    Tool(std::string("update T_PrintExportNote set FName = '") + name + "' where FId = 1");
  }
  Tool("update T_PrintExportNote set FName = 'y' where FId = 2");
  Tool("insert into T_PrintExport (FBillType, FBillId, FName) values (28, 0, 'settings')");
  Tool("update T_PrintExport set FName = 'settings 2'");
  Tool("delete from T_PrintExportNote_History where FVersion = 2");
  const std::string schema = Schema();
  const std::string versions = Versions();
  ASSERT_EQ(Tool("select group_concat(FVersion) from (select FVersion from "
                 "T_PrintExportNote_History order by 1)"),
            "1,3,4");

  // The histories as version 7 made them: keyed by FVersion, indexed by row
  // only, with triggers of their own, counted in the settings row.
  CountInTheSettingsRow();
  for (const HistoryTable& history : HistoryTables()) {
    const std::string& name = history.table.name;
    std::string declaration =
        Tool("select sql from sqlite_master where type = 'table' and name = '" + name + "'");
    declaration.replace(declaration.find("FVersion INTEGER"), 16, "FVersion INTEGER PRIMARY KEY");
    Tool("drop trigger TR_" + name + "_Numbered");
    Tool("drop index IX_" + name + "_RowVersion");
    Tool("alter table " + name + " rename to Kept");
    Tool(declaration);
    Tool("insert into " + name + " select * from Kept");
    Tool("drop table Kept");
    Tool("create index IX_" + name + "_RowVersion on " + name + " (FId, FRowVersion)");
    Tool("create trigger TR_" + name + "_Removed after delete on " + name + " begin select 1; end");
  }
  Tool("update T_PrintHistorySettings set FLastVersion = 0");
  Tool("PRAGMA user_version=7");
  ASSERT_EQ(Versions(), versions);
  ASSERT_NE(Schema(), schema);

  UpgradeFailingEachStatement(7, 6 * 8, [&] { return Versions() + Schema(); });
  EXPECT_EQ(Schema(), schema);
  EXPECT_EQ(Versions(), versions);
  EXPECT_EQ(Tool("pragma integrity_check"), "ok");
  Tool("update T_PrintExportNote set FName = 'e' where FId = 1");
  EXPECT_EQ(Tool("select group_concat(FVersion || FName || FRowVersion, ' ') from (select * from "
                 "T_PrintExportNote_History where FId = 1 order by FVersion)"),
            "1a1 3c3 6d4");
}

// A store of version 8 counted the numbers given in its settings row: the
// count moves to the version counter, numbers that left the history
// included, and the store numbers on from it.
TEST_F(SqliteSchemaTest, AStoreThatCountedVersionsInItsSettingsRowNumbersOnFromTheCount) {
  CreateStore(Dsn(), nullptr);
  Tool("insert into T_PrintExportNote (FName, FData) values ('a', x'00ff')");
  Tool("update T_PrintExportNote set FName = 'b'");
  Tool("update T_PrintExportNote set FName = 'c'");
  const std::string schema = Schema();
  const std::string versions = Versions();
  CountInTheSettingsRow();
  Tool("update T_PrintHistorySettings set FLastVersion = 5");
  Tool("PRAGMA user_version=8");

  // The settings row and every counter in sqlite_sequence, whole, beside the
  // versions and the schema.
  UpgradeFailingEachStatement(8, 6 * 3, [&] {
    return Versions() + Schema() + Dump(kHistorySettings, "FKeep") +
           Tool("select group_concat(name || '=' || seq) from sqlite_sequence");
  });
  EXPECT_EQ(Schema(), schema);
  EXPECT_EQ(Versions(), versions);
  EXPECT_EQ(Tool("select seq from sqlite_sequence where name = 'T_PrintHistoryVersion'"), "5");
  Tool("update T_PrintExportNote set FName = 'd'");
  EXPECT_EQ(Tool("select group_concat(FVersion || FName, ' ') from (select * from "
                 "T_PrintExportNote_History order by FVersion)"),
            "1a 2b 6c");
}

// A version counter deleted by hand, or set to what no version's number
// is: a kept write is refused, whoever writes, and nothing of it stays.
// Setting the store up again mends it, as it does one written twice,
// counting on from the largest number it held soundly or the newest version
// held.
TEST_F(SqliteSchemaTest, AStoreWhoseVersionCounterWasSpoiledKeepsNoWriteUntilSetUpAgain) {
  CreateStore(Dsn(), nullptr);
  Tool("insert into T_PrintExportNote (FName, FData) values ('a', x'00ff')");
  const std::string mine = " where name = 'T_PrintHistoryVersion'";
  const std::string counter = "sqlite_sequence" + mine;
  const std::string numbers =
      "select group_concat(FVersion || FName, ' ') from (select * from "
      "T_PrintExportNote_History order by FVersion)";
  const std::string refused =
      "error: The history's version counter (T_PrintHistoryVersion in sqlite_sequence) is "
      "missing or holds no 32-bit whole number; set the store up again.";
  int change = 0;
  const auto rename = [&] {
    return Tool("update T_PrintExportNote set FName = 'n" + std::to_string(++change) + "'");
  };
  rename();
  for (const std::string& spoil :
       {"delete from " + counter, "update sqlite_sequence set seq = 'x'" + mine,
        "update sqlite_sequence set seq = 2147483648" + mine,
        "update sqlite_sequence set seq = 1.5" + mine}) {
    SCOPED_TRACE(spoil);
    Tool(spoil);
    const std::string versions = Versions();
    const std::string name = Tool("select FName from T_PrintExportNote");
    EXPECT_EQ(rename(), refused);
    --change;
    EXPECT_EQ(Tool("insert into T_PrintExportNote_History (FChangedAt, FChange, FId) values "
                   "('2024-01-01 00:00:00', 'update', 1)"),
              refused);
    EXPECT_EQ(Tool("select FName from T_PrintExportNote"), name);
    EXPECT_EQ(Versions(), versions);

    EXPECT_EQ(CreateStore(Dsn(), nullptr).action, Action::Current);
    EXPECT_EQ(rename(), "");
  }
  EXPECT_EQ(Tool(numbers), "1a 2n1 3n2 4n3 5n4");

  // Written twice: the larger counts on, once the store is set up again.
  Tool("insert into sqlite_sequence (name, seq) values ('T_PrintHistoryVersion', 9)");
  EXPECT_EQ(CreateStore(Dsn(), nullptr).action, Action::Current);
  EXPECT_EQ(Tool("select count(*) || ' ' || max(seq) from " + counter), "1 9");
  rename();
  EXPECT_EQ(Tool(numbers), "1a 2n1 3n2 4n3 5n4 10n5");
}

// Past the number of versions kept, a row's change writes its version over
// the row's oldest, in its place; the store never gives a number twice,
// whatever an operator put into a history by hand.
TEST_F(SqliteSchemaTest, AVersionPastTheRetentionTakesTheOldestVersionsPlace) {
  CreateStore(Dsn(), nullptr);
  Tool("update T_PrintHistorySettings set FKeep = 3");
  Tool("insert into T_PrintExportNote (FName, FData) values ('n0', x'00')");
  const auto change = [&](int n) {
    Tool("update T_PrintExportNote set FName = 'n" + std::to_string(n) + "'");
  };
  for (int n = 1; n <= 3; ++n) change(n);
  const std::string places =
      "select group_concat(rowid) from (select rowid from T_PrintExportNote_History order by 1)";
  const std::string kept =
      "select group_concat(FVersion || FName || FRowVersion, ' ') from (select * from "
      "T_PrintExportNote_History order by FVersion)";
  EXPECT_EQ(Tool(kept), "1n01 2n12 3n23");
  const std::string rowIds = Tool(places);
  for (int n = 4; n <= 10; ++n) change(n);
  EXPECT_EQ(Tool(kept), "8n78 9n89 10n910");
  EXPECT_EQ(Tool(places), rowIds);

  // By hand: one without a number gets the next, one past the last given
  // makes the next pass it, one with a number given before is kept as it is.
  const std::string byHand =
      "insert into T_PrintExportNote_History (FVersion, FChangedAt, FChange, FId, FName) values (";
  Tool(byHand + "NULL, '2024-01-01 00:00:00', 'update', 7, 'h1')");
  Tool(byHand + "40, '2024-01-01 00:00:00', 'update', 7, 'h2')");
  Tool(byHand + "5, '2024-01-01 00:00:00', 'update', 7, 'h3')");
  EXPECT_EQ(Tool("select group_concat(FVersion || FName, ' ') from (select * from "
                 "T_PrintExportNote_History where FId = 7 order by FVersion)"),
            "5h3 11h1 40h2");
  change(11);
  EXPECT_EQ(Tool("select max(FVersion) || FName from T_PrintExportNote_History"), "41n10");
  // Nothing but a 32-bit whole number becomes the last number given.
  for (const std::string unfit : {"2147483648", "'x'", "41.5"}) {
    EXPECT_EQ(Tool(byHand + unfit + ", '2024-01-01 00:00:00', 'update', 7, 'h4')"),
              "error: T_PrintExportNote_History.FVersion holds a 32-bit whole number")
        << unfit;
  }
  change(12);
  EXPECT_EQ(Tool("select max(FVersion) || FName from T_PrintExportNote_History"), "42n11");
}

TEST_F(SqliteSchemaTest, ProcessesSettingUpOneStoreAtOnceUpgradeItOnce) {
  MakeEarlierStore();
  const std::string rows = Rows();
  const auto ends = testing::RunProcessesAtOnce(
      4, [&](int) { return static_cast<int>(CreateStore(Dsn(), nullptr).action); });
  std::map<Action, int> actions;
  for (const testing::ProcessEnd& end : ends) {
    ASSERT_LT(end.exitCode, 3) << end.error;
    ++actions[static_cast<Action>(end.exitCode)];
  }
  EXPECT_EQ(actions, (std::map<Action, int>{{Action::Upgraded, 1}, {Action::Current, 3}}));
  EXPECT_EQ(Rows(), rows);
}

}  // namespace
}  // namespace orvo::store
