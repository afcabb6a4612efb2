#include "store/sqlite/schema_sqlite.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "orvo/ado/recordset.hpp"
#include "orvo/automation/ascii.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::store::sqlite {

namespace {

constexpr int kVersion = 2;
// The schema whose text columns declared ORVO_CI; its stores record no version.
constexpr int kCollationVersion = 1;

struct Column {
  std::string name;
  std::string type;
};

struct Table {
  std::string name;
  std::vector<Column> columns;
};

struct Index {
  std::string name;
  std::string table;
  std::string columns;
};

constexpr const char* kIdentity = "INTEGER PRIMARY KEY AUTOINCREMENT";
constexpr const char* kName = "VARCHAR(255) COLLATE NOCASE";
// Template names are bound with up to 510 characters when a body is replaced.
constexpr const char* kTemplateName = "VARCHAR(510) COLLATE NOCASE";
constexpr const char* kScreenId = "VARCHAR(20) COLLATE NOCASE";
constexpr const char* kUserName = "VARCHAR(30) COLLATE NOCASE";

std::vector<Column> With(std::vector<Column> columns, const Column& added) {
  columns.push_back(added);
  return columns;
}

// In the order of TableNames().
std::vector<Table> BuildTables() {
  const std::vector<Column> billRow = {{"FId", kIdentity},     {"FBillType", "INTEGER"},
                                       {"FBillId", "INTEGER"}, {"FPreparerId", "INTEGER"},
                                       {"FDate", "DATETIME"},  {"FName", kName},
                                       {"FData", kName},       {"FBillTypeSub", kName},
                                       {"FSel", "INTEGER"},    {"FPrintSet", "BLOB"}};
  const auto note = [](const char* billType) {
    return std::vector<Column>{
        {"FId", kIdentity},          {"FName", kTemplateName},     {"FScreenId", kScreenId},
        {"FCreatorName", kUserName}, {"FModifierName", kUserName}, {billType, "INTEGER"},
        {"FCreateDate", "DATETIME"}, {"FModifyDate", "DATETIME"},  {"FData", "BLOB"}};
  };
  const Column dataFrom{"FDataFrom", "INTEGER"};
  return {
      {"T_PrintExport", billRow},
      {"T_PrintExportNote", note("FNewBillType")},
      {"T_PrintExportLM", With(billRow, dataFrom)},
      {"T_PrintExportNoteLM", With(note("FNewBillType"), dataFrom)},
      {"T_RptExcelPrintExport",
       {{"FId", kIdentity},
        {"FRptId", "INTEGER"},
        {"FNoteId", "INTEGER"},
        {"FPreparerId", "INTEGER"},
        {"FDate", "DATETIME"},
        {"FName", kName},
        {"FData", kName},
        {"FSel", "INTEGER"},
        {"FPrintSet", "BLOB"},
        {"FTypeSub", kName}}},
      {"T_RptExcelPrintExportNote", note("FNewRptId")},
  };
}

const std::vector<Table>& Tables() {
  static const std::vector<Table> tables = BuildTables();
  return tables;
}

// The access paths of the statements: a user's rows of a bill type or report
// by template id; templates by creator, screen id and name, and by bill type
// (or report) and name.
const std::vector<Index>& Indexes() {
  static const std::vector<Index> indexes = {
      {"IX_PrintExport_User", "T_PrintExport", "FPreparerId, FBillType, FBillId"},
      {"IX_PrintExport_Name", "T_PrintExport", "FBillType, FName"},
      {"IX_PrintExportNote_Creator", "T_PrintExportNote", "FCreatorName, FScreenId, FName"},
      {"IX_PrintExportNote_Type", "T_PrintExportNote", "FNewBillType, FName"},
      {"IX_PrintExportLM_User", "T_PrintExportLM", "FPreparerId, FBillType, FDataFrom, FBillId"},
      {"IX_PrintExportLM_Name", "T_PrintExportLM", "FBillType, FName"},
      {"IX_PrintExportNoteLM_Creator", "T_PrintExportNoteLM", "FCreatorName, FScreenId, FName"},
      {"IX_PrintExportNoteLM_Type", "T_PrintExportNoteLM", "FNewBillType, FName"},
      {"IX_RptExcelPrintExport_User", "T_RptExcelPrintExport", "FPreparerId, FRptId, FNoteId"},
      {"IX_RptExcelPrintExportNote_Creator", "T_RptExcelPrintExportNote",
       "FCreatorName, FScreenId, FName"},
      {"IX_RptExcelPrintExportNote_Type", "T_RptExcelPrintExportNote", "FNewRptId, FName"},
  };
  return indexes;
}

// The names below are the schema's own, never a caller's, so they are
// written into the statements as they are.
std::string Quoted(const std::string& name) {
  return "'" + name + "'";
}

std::string ColumnNames(const Table& table) {
  std::string names;
  for (const Column& column : table.columns) names += (names.empty() ? "" : ", ") + column.name;
  return names;
}

// The column declarations of a table, in parentheses.
std::string Declarations(const Table& table) {
  std::string columns;
  for (const Column& column : table.columns) {
    columns += (columns.empty() ? "" : ", ") + column.name + " " + column.type;
  }
  return "(" + columns + ")";
}

std::int32_t CountOf(ado::Connection& connection, const std::string& query) {
  return CLng(connection.Execute(query)->Fields(0).Value());
}

// How many of the named objects of the given kind the database holds.
std::int32_t Present(ado::Connection& connection, const std::string& type,
                     const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + Quoted(name);
  return CountOf(connection, "select count(1) from sqlite_master where type=" + Quoted(type) +
                                 " and name in (" + list + ")");
}

std::vector<std::string> IndexNames() {
  std::vector<std::string> names;
  for (const Index& index : Indexes()) names.push_back(index.name);
  return names;
}

bool Named(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& known) {
    return ascii::EqualsIgnoreCase(known, name);
  });
}

// A table whose columns differ from those the schema gives it would lose
// data in the rebuild, or not rebuild at all: it is left to its owner.
void RefuseOtherColumns(ado::Connection& connection, const Table& table) {
  std::vector<std::string> found;
  for (auto rows =
           connection.Execute("select name from pragma_table_info(" + Quoted(table.name) + ")");
       !rows->Eof(); rows->MoveNext()) {
    found.push_back(CStr(rows->Fields(0).Value()));
  }
  std::vector<std::string> expected;
  for (const Column& column : table.columns) expected.push_back(column.name);
  std::string differences;
  for (const std::string& name : found) {
    if (!Named(expected, name)) differences += " " + name + " is not a column it should have;";
  }
  for (const std::string& name : expected) {
    if (!Named(found, name)) differences += " " + name + " is missing;";
  }
  if (differences.empty()) return;
  differences.pop_back();
  throw AutomationError(ado::kErrFailure, kLibraryName,
                        "The store cannot be upgraded: in " + table.name + "," + differences +
                            ". The store was left as it was.");
}

// Rebuilds a table with the current declarations: new table, rows copied
// with their ids, the identity's next value carried over (it may lie past the
// last row when the newest rows were deleted), old table dropped (and its
// indexes with it), new one renamed.
void Rebuild(ado::Connection& connection, const Table& table) {
  const std::string rebuilt = table.name + "_Rebuilt";
  const std::string columns = ColumnNames(table);
  connection.Execute("CREATE TABLE " + rebuilt + " " + Declarations(table));
  connection.Execute("INSERT INTO " + rebuilt + " (" + columns + ") SELECT " + columns + " FROM " +
                     table.name);
  connection.Execute("DELETE FROM sqlite_sequence WHERE name=" + Quoted(rebuilt));
  connection.Execute("INSERT INTO sqlite_sequence (name, seq) SELECT " + Quoted(rebuilt) +
                     ", seq FROM sqlite_sequence WHERE name=" + Quoted(table.name));
  connection.Execute("DROP TABLE " + table.name);
  connection.Execute("ALTER TABLE " + rebuilt + " RENAME TO " + table.name);
}

class SqliteSchema final : public BackendSchema {
 public:
  int CurrentVersion() const override { return kVersion; }

  int StoredVersion(ado::Connection& connection) const override {
    const std::int32_t recorded = CountOf(connection, "PRAGMA user_version");
    if (recorded != 0) return recorded;
    return Present(connection, "table", TableNames()) > 0 ? kCollationVersion : 0;
  }

  bool Complete(ado::Connection& connection) const override {
    return Present(connection, "table", TableNames()) ==
               static_cast<std::int32_t>(Tables().size()) &&
           Present(connection, "index", IndexNames()) ==
               static_cast<std::int32_t>(Indexes().size());
  }

  void PrepareChange(ado::Connection& connection) const override {
    // Readers then never wait for a writer. The mode stays with the file, so
    // no connection sets it again.
    connection.Execute("PRAGMA journal_mode=WAL");
  }

  void Create(ado::Connection& connection) const override {
    for (const Table& table : Tables()) {
      connection.Execute("CREATE TABLE IF NOT EXISTS " + table.name + " " + Declarations(table));
    }
    for (const Index& index : Indexes()) {
      connection.Execute("CREATE INDEX IF NOT EXISTS " + index.name + " ON " + index.table + " (" +
                         index.columns + ")");
    }
  }

  void Upgrade(ado::Connection& connection, int fromVersion) const override {
    if (fromVersion != kCollationVersion) {
      throw AutomationError(
          ado::kErrFailure, kLibraryName,
          "No upgrade is known from schema version " + std::to_string(fromVersion) + ".");
    }
    // The old tables and indexes name ORVO_CI; SQLite cannot rebuild them
    // without it.
    connection.AcceptEarlierSchemas();
    for (const Table& table : Tables()) {
      if (Present(connection, "table", {table.name}) == 0) continue;
      RefuseOtherColumns(connection, table);
      Rebuild(connection, table);
    }
    Create(connection);
  }

  void RecordVersion(ado::Connection& connection) const override {
    connection.Execute("PRAGMA user_version=" + std::to_string(kVersion));
  }
};

}  // namespace

const BackendSchema& Schema() {
  static const SqliteSchema schema;
  return schema;
}

}  // namespace orvo::store::sqlite
