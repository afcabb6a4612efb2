#include "store/sqlite/schema_sqlite.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "ado/bound_value.hpp"
#include "automation/ascii.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/store/schema.hpp"
#include "store/tables.hpp"

namespace orvo::store::sqlite {

namespace {

constexpr int kVersion = 9;
// The schema whose text columns declared ORVO_CI; its stores record no version.
constexpr int kCollationVersion = 1;
// The schema whose columns took any value SQLite would store.
constexpr int kUncheckedVersion = 2;
// The schema without history: its tables stand as they are, the history is
// added beside them, empty.
constexpr int kHistorylessVersion = 3;
// The schema whose history kept every body whole and indexed its versions by
// time: its history gains the columns that a compacted history needs and
// loses that index.
constexpr int kWholeBodiesVersion = 4;
// The schema whose history found the version that falls out of its retention
// by counting the row's versions: its history gains their numbers among
// their row's, the index by them and triggers that use them.
constexpr int kUncountedVersion = 5;
// The schema whose history triggers raised a counter in the settings row for
// every version, and filled it with INSERT ... SELECT from the settings: as
// that SELECT reads the history it fills, SQLite put every version through a
// temporary table first. Its triggers are made again; the counter's value
// stays, as the last number that left the history.
constexpr int kCounterVersion = 6;
// The schema whose histories were keyed by their versions' numbers: the
// version that fell out of the retention was deleted and the new one added at
// the history's end, and the next number was found as one past the newest of
// all six histories. Its histories are made again with their rows, keyed by
// SQLite's own row ids, and the settings row counts on from the newest number.
constexpr int kKeyedByNumberVersion = 7;
// The schema that counted the numbers given to versions in the settings row
// (FLastVersion): every kept write wrote that row's page, beside the pages
// of the row and of its version. The count moves to kVersionCounter.
constexpr int kSettingsCountVersion = 8;

// The version counter's row in sqlite_sequence is the last number given to a
// version of any history: a write that adds a row to any of the six tables
// writes the page of sqlite_sequence anyway, and a kept write that raises
// the counter then writes no page more for it. A row put into the counter's
// table takes the next number, as a version would.
constexpr const char* kVersionCounter = kHistoryVersionCounter;

// The column's declared type in SQLite.
std::string Type(const Column& column) {
  switch (column.kind) {
    case ColumnKind::Identity:
      return "INTEGER PRIMARY KEY AUTOINCREMENT";
    case ColumnKind::WholeNumber:
      return "INTEGER";
    case ColumnKind::Text:
      // Without regard to ASCII case; trailing blanks count.
      return "VARCHAR(" + std::to_string(column.characters) + ") COLLATE NOCASE";
    case ColumnKind::Date:
      return "DATETIME";
    case ColumnKind::Binary:
      break;
  }
  return "BLOB";
}

// The condition a value of the column meets, as a server with declared column
// types holds it (SQLite stores whatever it is given); empty for a column that
// takes anything. Null always meets it, as a CHECK reads it.
std::string FitCondition(const Column& column) {
  switch (column.kind) {
    case ColumnKind::Identity:
    case ColumnKind::WholeNumber:
      return "typeof(" + column.name + ") IN ('integer', 'null') AND " + column.name +
             " BETWEEN -2147483648 AND 2147483647";
    case ColumnKind::Text:
      return "typeof(" + column.name + ") IN ('text', 'null') AND length(" + column.name +
             ") <= " + std::to_string(column.characters);
    case ColumnKind::Date:
    case ColumnKind::Binary:
      break;
  }
  return {};
}

ado::BoundValue Name(const Table& table) {
  return {ado::adVarChar, Variant(table.name)};
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

// The column declarations of a table, in parentheses, each with its fit.
std::string Declarations(const Table& table) {
  std::string columns;
  for (const Column& column : table.columns) {
    columns += (columns.empty() ? "" : ", ") + column.name + " " + Type(column);
    // The data-access layer knows a fit constraint by the word "holds" after
    // the column it names, and reports its failure as a value that does not
    // fit.
    if (const std::string condition = FitCondition(column); !condition.empty()) {
      columns += " CONSTRAINT \"" + FitName(table, column) + "\" CHECK (" + condition + ")";
    }
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

// Adds "<table> FId <id> <column>" for each value of the table that its column
// would not hold.
void AddUnfitValues(ado::Connection& connection, const Table& table,
                    std::vector<std::string>& unfit) {
  for (const Column& column : table.columns) {
    const std::string condition = FitCondition(column);
    if (condition.empty()) continue;
    for (auto rows = connection.Execute("select FId from " + table.name + " where not (" +
                                        condition + ") order by FId");
         !rows->Eof(); rows->MoveNext()) {
      unfit.push_back(table.name + " FId " + CStr(rows->Fields(0).Value()) + " " + column.name);
    }
  }
}

// A value that the upgraded store would not hold is never cut or dropped: the
// operator mends it, and runs the upgrade again.
void RefuseUnfitValues(const std::vector<std::string>& unfit) {
  if (unfit.empty()) return;
  constexpr std::size_t kMostNamed = 100;
  std::string named;
  for (std::size_t i = 0; i < unfit.size() && i < kMostNamed; ++i) {
    named += (i == 0 ? "" : ", ") + unfit[i];
  }
  if (unfit.size() > kMostNamed) {
    named += " and " + std::to_string(unfit.size() - kMostNamed) + " more";
  }
  throw AutomationError(ado::kErrFailure, kLibraryName,
                        "The store cannot be upgraded: " + std::to_string(unfit.size()) +
                            (unfit.size() == 1 ? " value does not fit its column ("
                                               : " values do not fit their columns (") +
                            named +
                            "). Mend them and set the store up again; it was left as it was.");
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

// A history keyed by SQLite's own row id, so that a version can be written
// over in its place (the row id stays) with a new number. FVersion takes
// Null from a writer by hand, and is numbered at once (NumberedTrigger).
std::string HistoryDeclarations(const Table& table) {
  std::string columns;
  for (const Column& column : table.columns) {
    columns += (columns.empty() ? "" : ", ") + column.name + " " + Type(column) +
               (column.name == "FChangedAt" || column.name == "FChange" ? " NOT NULL" : "");
  }
  return "(" + columns + ")";
}

// A row's versions by their number among the row's, with each version's own
// number: the triggers find a row's newest version and the one that falls out
// of the retention in it, and a version asked for by its number is found by
// reading this index through, never the bodies. Versions have no index by
// number of their own: each kept write would move an entry of it.
Index RowVersionIndex(const HistoryTable& history) {
  const Index shared = HistoryIndexes(history).front();
  return {shared.name, shared.table, shared.columns + ", FVersion"};
}

// " FROM sqlite_sequence WHERE" the counter's row.
std::string CounterRow() {
  return std::string(" FROM sqlite_sequence WHERE name = '") + kVersionCounter + "'";
}

// What the counter holds in a sound store: a number that a version can take,
// as sqlite_sequence, SQLite's own table, holds its rows to nothing.
constexpr const char* kCounterFits = "typeof(seq) = 'integer' AND seq BETWEEN 0 AND 2147483647";

// The last number given; Null where the counter's row was deleted by hand.
std::string CounterValue() {
  return "(SELECT seq" + CounterRow() + ")";
}

// The last number given, for a version inside a trigger. Without the
// counter's row the version would be numbered Null, and with a value that
// no version can take (set by hand, or past the last 32-bit number) the
// numbers would not be whole or would repeat: the write is refused instead,
// until the store is set up again (MendCounter).
std::string LastVersion() {
  return "coalesce((SELECT seq" + CounterRow() + " AND " + kCounterFits +
         "), RAISE(ABORT, 'The history''s version counter (" + kVersionCounter +
         " in sqlite_sequence) is missing or holds no 32-bit whole number; set the store up "
         "again.'))";
}

// The statement that raises the counter to `next`, an expression of `seq`;
// a counter that no version's number fits becomes Null, as raising text
// would give a number given before, and LastVersion refuses it.
std::string RaiseCounter(const std::string& next) {
  return std::string("UPDATE sqlite_sequence SET seq = CASE WHEN ") + kCounterFits + " THEN " +
         next + " END WHERE name = '" + kVersionCounter + "'";
}

// The value that a row's change keeps in a column of its version, inside
// the trigger: `newest` is the row's newest number among its versions.
std::string KeptValue(const Column& column, const char* change, const std::string& newest) {
  if (column.name == "FVersion") return LastVersion();
  if (column.name == "FChangedAt") return "datetime('now', 'localtime')";
  if (column.name == "FChange") return std::string("'") + change + "'";
  if (column.name == kBodyIsDifference) return "NULL";
  if (column.name == kRowVersion) return newest + " + 1";
  return "OLD." + column.name;
}

// What a row's change puts into its history, inside the trigger: the row as
// it was, under the next number of the store (kVersionCounter) and the next
// number among the row's versions. Past the number of versions that the
// store keeps, the version that falls out (the row's that many numbers back;
// the settings' trigger sees to it that a row never has more) is written over
// in its place, found by its row id in the index by row: deleting it and
// adding the new version at the history's end wrote half as many pages
// again, as SQLite merged the page that the delete emptied with its
// neighbours. The trigger fires only while the store keeps any. The version
// goes in as VALUES: an INSERT whose SELECT reads the table it fills would go
// through a temporary table first.
std::string HistoryTrigger(const HistoryTable& history, const char* event, const char* change) {
  const Table& table = *history.of;
  const std::string& name = history.table.name;
  const std::string keep = std::string("(SELECT FKeep FROM ") + kHistorySettings + ")";
  const std::string newest = std::string("coalesce((SELECT max(") + kRowVersion + ") FROM " + name +
                             " WHERE FId = OLD.FId), 0)";
  const std::string fallingOut = "(SELECT rowid FROM " + name + " WHERE FId = OLD.FId AND " +
                                 kRowVersion + " = " + newest + " + 1 - " + keep + ")";
  std::string names;
  std::string values;
  std::string overwritten;
  for (const Column& column : history.table.columns) {
    names += ", " + column.name;
    values += ", " + KeptValue(column, change, newest);
    if (column.name == "FId") continue;
    overwritten += (overwritten.empty() ? "" : ", ") + column.name + " = excluded." + column.name;
  }
  std::string condition = keep + " > 0";
  if (!table.kept.empty()) condition += " AND OLD." + table.kept;
  return "CREATE TRIGGER IF NOT EXISTS TR_" + name + "_" + event + " AFTER " + event + " ON " +
         table.name + " WHEN " + condition + " BEGIN " + RaiseCounter("seq + 1") +
         "; INSERT INTO " + name + " (rowid" + names + ") VALUES (" + fallingOut + values +
         ") ON CONFLICT (rowid) DO UPDATE SET " + overwritten + "; END";
}

// A version put into a history by hand without a number is given the next
// one; one put in with a number past the last given makes the next numbers
// pass it, so that the store never gives a number twice, and must be a
// 32-bit whole number, as the numbers the store gives are: anything else
// (text sorts past every number) would become the counter. The versions that
// the triggers above keep carry the last number given, and pass.
std::string NumberedTrigger(const HistoryTable& history) {
  const std::string& name = history.table.name;
  const Column& number = history.table.columns.front();  // FVersion, a history's first
  return "CREATE TRIGGER IF NOT EXISTS TR_" + name + "_Numbered AFTER INSERT ON " + name +
         " WHEN NEW.FVersion IS NULL OR NEW.FVersion > " + CounterValue() +
         " BEGIN SELECT RAISE(ABORT, '" + FitName(history.table, number) +
         "') WHERE typeof(NEW.FVersion) NOT IN ('integer', 'null') OR NEW.FVersion > "
         "2147483647; " +
         RaiseCounter("max(seq + 1, coalesce(NEW.FVersion, 0))") + "; UPDATE " + name +
         " SET FVersion = " + LastVersion() + " WHERE rowid = NEW.rowid; END";
}

std::string KeepTrigger() {
  std::string removals;
  for (const HistoryTable& history : HistoryTables()) {
    removals += RemoveVersionsBeyond(history, "NEW.FKeep") + "; ";
  }
  return std::string("CREATE TRIGGER IF NOT EXISTS ") + kKeepTrigger +
         " AFTER UPDATE OF FKeep ON " + kHistorySettings +
         " WHEN NEW.FKeep > 0 AND NEW.FKeep < OLD.FKeep BEGIN " + removals + "END";
}

std::vector<std::string> HistoryTriggerNames() {
  std::vector<std::string> names;
  for (const HistoryTable& history : HistoryTables()) {
    names.push_back("TR_" + history.table.name + "_UPDATE");
    names.push_back("TR_" + history.table.name + "_DELETE");
    names.push_back("TR_" + history.table.name + "_Numbered");
  }
  names.emplace_back(kKeepTrigger);
  return names;
}

std::vector<std::string> HistoryTableNames() {
  std::vector<std::string> names = {kHistorySettings, kVersionCounter};
  for (const HistoryTable& history : HistoryTables()) names.push_back(history.table.name);
  return names;
}

std::vector<std::string> HistoryIndexNames() {
  std::vector<std::string> names;
  for (const HistoryTable& history : HistoryTables()) {
    names.push_back(RowVersionIndex(history).name);
  }
  return names;
}

std::string CreateCounterStatement() {
  return std::string("CREATE TABLE IF NOT EXISTS ") + kVersionCounter +
         " (FVersion INTEGER PRIMARY KEY AUTOINCREMENT)";
}

// Whether the counter is one row that a version's number fits.
bool CounterSound(ado::Connection& connection) {
  return CountOf(connection, "SELECT count(1)" + CounterRow()) == 1 &&
         CountOf(connection, "SELECT count(1)" + CounterRow() + " AND " + kCounterFits) == 1;
}

// The counter made one sound row where it is not: a new store's, one deleted
// or set to what no version takes by hand, or one written twice. It counts
// on from the largest of what it held soundly and the newest version that
// the histories hold.
void MendCounter(ado::Connection& connection) {
  if (CounterSound(connection)) return;
  std::string newest =
      "coalesce((SELECT max(seq)" + CounterRow() + " AND " + kCounterFits + "), 0)";
  for (const HistoryTable& history : HistoryTables()) {
    newest += ", coalesce((SELECT max(FVersion) FROM " + history.table.name +
              " WHERE typeof(FVersion) = 'integer' AND FVersion <= 2147483647), 0)";
  }
  const std::int32_t last = CountOf(connection, "SELECT max(" + newest + ")");
  connection.Execute("DELETE" + CounterRow());
  connection.ExecuteWith(
      std::string("INSERT INTO sqlite_sequence (name, seq) VALUES ('") + kVersionCounter + "', ?)",
      {ado::BoundValue{ado::adInteger, Variant(last)}});
}

// The history beside the tables, the number of versions kept set to the
// default where no store set it before.
void CreateHistory(ado::Connection& connection) {
  connection.Execute(std::string("CREATE TABLE IF NOT EXISTS ") + kHistorySettings +
                     " (FKeep INTEGER NOT NULL CHECK (typeof(FKeep) = 'integer' AND FKeep >= 0), "
                     "FCompacted INTEGER NOT NULL DEFAULT 0)");
  connection.Execute(std::string("INSERT INTO ") + kHistorySettings + " (FKeep) SELECT " +
                     std::to_string(kDefaultHistoryKeep) + " WHERE NOT EXISTS (SELECT 1 FROM " +
                     kHistorySettings + ")");
  for (const HistoryTable& history : HistoryTables()) {
    connection.Execute("CREATE TABLE IF NOT EXISTS " + history.table.name + " " +
                       HistoryDeclarations(history.table));
  }
  connection.Execute(CreateCounterStatement());
  MendCounter(connection);
  for (const HistoryTable& history : HistoryTables()) {
    connection.Execute(CreateIndexStatement(RowVersionIndex(history)));
    connection.Execute(HistoryTrigger(history, "UPDATE", "update"));
    connection.Execute(HistoryTrigger(history, "DELETE", "delete"));
    connection.Execute(NumberedTrigger(history));
  }
  connection.Execute(KeepTrigger());
}

// The histories of a store whose versions were keyed by their numbers, made
// again keyed by row ids, with every version they held in the order of their
// numbers; the settings row counts on from the newest number, or from the
// last that left the histories where that is larger. What names a history
// (its triggers and index, the settings' trigger) goes first, so that
// renaming the old history changes nothing else; CreateHistory makes it all
// again.
void RekeyHistories(ado::Connection& connection) {
  connection.Execute(std::string("DROP TRIGGER IF EXISTS ") + kKeepTrigger);
  std::string newest = "FLastVersion";
  for (const HistoryTable& history : HistoryTables()) {
    const std::string& name = history.table.name;
    for (const char* trigger : {"_UPDATE", "_DELETE", "_Removed"}) {
      connection.Execute("DROP TRIGGER IF EXISTS TR_" + name + trigger);
    }
    connection.Execute("DROP INDEX IF EXISTS " + RowVersionIndex(history).name);
    const std::string keyed = name + "_Keyed";
    const std::string columns = ColumnNames(history.table);
    connection.Execute("ALTER TABLE " + name + " RENAME TO " + keyed);
    connection.Execute("CREATE TABLE " + name + " " + HistoryDeclarations(history.table));
    connection.Execute("INSERT INTO " + name + " (" + columns + ") SELECT " + columns + " FROM " +
                       keyed + " ORDER BY FVersion");
    connection.Execute("DROP TABLE " + keyed);
    newest += ", coalesce((SELECT max(FVersion) FROM " + name + "), 0)";
  }
  connection.Execute(std::string("UPDATE ") + kHistorySettings + " SET FLastVersion = max(" +
                     newest + ")");
}

// The count of a store that kept it in the settings row (FLastVersion) moves
// to kVersionCounter, and the column goes; the triggers that raised it go
// first, as SQLite drops no column that a trigger names, and CreateHistory
// makes them again.
void MoveCounter(ado::Connection& connection) {
  for (const HistoryTable& history : HistoryTables()) {
    for (const char* trigger : {"_UPDATE", "_DELETE", "_Numbered"}) {
      connection.Execute("DROP TRIGGER IF EXISTS TR_" + history.table.name + trigger);
    }
  }
  connection.Execute(CreateCounterStatement());
  connection.Execute(std::string("INSERT INTO sqlite_sequence (name, seq) SELECT '") +
                     kVersionCounter + "', FLastVersion FROM " + kHistorySettings);
  connection.Execute(std::string("ALTER TABLE ") + kHistorySettings + " DROP COLUMN FLastVersion");
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
    const auto all = [&](const char* type, const std::vector<std::string>& names) {
      return Present(connection, type, names) == static_cast<std::int32_t>(names.size());
    };
    return all("table", TableNames()) && all("index", IndexNames()) &&
           all("table", HistoryTableNames()) && all("index", HistoryIndexNames()) &&
           all("trigger", HistoryTriggerNames()) && CounterSound(connection);
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
    for (const Index& index : Indexes()) connection.Execute(CreateIndexStatement(index));
    CreateHistory(connection);
  }

  void CheckUpgrade(ado::Connection& connection, int fromVersion) const override {
    if (fromVersion == kHistorylessVersion || fromVersion == kWholeBodiesVersion ||
        fromVersion == kUncountedVersion || fromVersion == kCounterVersion ||
        fromVersion == kKeyedByNumberVersion || fromVersion == kSettingsCountVersion) {
      return;
    }
    if (fromVersion != kCollationVersion && fromVersion != kUncheckedVersion) {
      throw AutomationError(
          ado::kErrFailure, kLibraryName,
          "No upgrade is known from schema version " + std::to_string(fromVersion) + ".");
    }
    // The old tables and indexes of version 1 name ORVO_CI; SQLite cannot
    // read or rebuild them without it.
    if (fromVersion == kCollationVersion) connection.AcceptEarlierSchemas();
    std::vector<std::string> unfit;
    for (const Table& table : Tables()) {
      if (Present(connection, "table", {table.name}) == 0) continue;
      RefuseOtherColumns(connection, table);
      AddUnfitValues(connection, table, unfit);
    }
    RefuseUnfitValues(unfit);
  }

  void Upgrade(ado::Connection& connection, int fromVersion) const override {
    CheckUpgrade(connection, fromVersion);
    if (fromVersion == kWholeBodiesVersion) {
      connection.Execute(std::string("ALTER TABLE ") + kHistorySettings +
                         " ADD COLUMN FCompacted INTEGER NOT NULL DEFAULT 0");
      for (const HistoryTable& history : HistoryTables()) {
        if (history.body.empty()) continue;
        connection.Execute("ALTER TABLE " + history.table.name + " ADD COLUMN " +
                           kBodyIsDifference + " INTEGER");
      }
      for (const HistoryTable& history : HistoryTables()) {
        connection.Execute("DROP INDEX IF EXISTS IX_" + history.table.name + "_ChangedAt");
      }
    }
    if (fromVersion == kWholeBodiesVersion || fromVersion == kUncountedVersion) {
      for (const HistoryTable& history : HistoryTables()) {
        const std::string& name = history.table.name;
        connection.Execute("ALTER TABLE " + name + " ADD COLUMN " + kRowVersion + " INTEGER");
        connection.Execute(NumberRowVersions(history));
        // A row that the number kept had become smaller for since its last
        // change kept more versions than it; from now on none does.
        connection.Execute(RemoveVersionsBeyond(
            history, std::string("(SELECT FKeep FROM ") + kHistorySettings + " WHERE FKeep > 0)"));
        connection.Execute("DROP INDEX IF EXISTS IX_" + name + "_Id");
      }
    }
    if (fromVersion >= kWholeBodiesVersion && fromVersion <= kKeyedByNumberVersion) {
      RekeyHistories(connection);
    }
    if (fromVersion >= kWholeBodiesVersion && fromVersion <= kSettingsCountVersion) {
      MoveCounter(connection);
    }
    if (fromVersion < kHistorylessVersion) {
      for (const Table& table : Tables()) {
        if (Present(connection, "table", {table.name}) != 0) Rebuild(connection, table);
      }
    }
    Create(connection);
  }

  std::vector<std::string> ObjectNames(ado::Connection& connection) const override {
    std::vector<std::string> names;
    for (auto rows =
             connection.Execute("select name from sqlite_master order by type <> 'table', name");
         !rows->Eof(); rows->MoveNext()) {
      names.push_back(CStr(rows->Fields(0).Value()));
    }
    return names;
  }

  std::string_view BinaryType() const override { return "BLOB"; }

  // AUTOINCREMENT keeps the last id given in sqlite_sequence, by table name;
  // a table that never gave one has no row there.
  std::int64_t LastIdentity(ado::Connection& connection, const Table& table) const override {
    auto rows = connection.ExecuteWith(
        "select seq from sqlite_sequence where name = ? collate nocase", {Name(table)});
    return rows->Eof() ? 0 : static_cast<std::int64_t>(CDbl(rows->Fields(0).Value()));
  }

  void SetLastIdentity(ado::Connection& connection, const Table& table,
                       std::int64_t last) const override {
    connection.ExecuteWith("delete from sqlite_sequence where name = ? collate nocase",
                           {Name(table)});
    if (last == 0) return;
    connection.ExecuteWith(
        "insert into sqlite_sequence (name, seq) values (?, ?)",
        {Name(table), ado::BoundValue{ado::adDouble, static_cast<double>(last)}});
  }

  // A transaction takes its snapshot at its first read and keeps it; in WAL
  // mode no writer waits for it meanwhile.
  void ReadSnapshot(ado::Connection&) const override {}

  std::string_view ForUpdate() const override { return ""; }

  std::string_view IntegrityCheck() const override {
    return "PRAGMA integrity_check: every page, record and index of the file, each index "
           "against its table, and every CHECK constraint";
  }

  std::vector<std::string> IntegrityProblems(ado::Connection& connection) const override {
    std::vector<std::string> problems;
    for (auto rows = connection.Execute("PRAGMA integrity_check"); !rows->Eof(); rows->MoveNext()) {
      const std::string line = CStr(rows->Fields(0).Value());
      if (line != "ok") problems.push_back(line);
    }
    return problems;
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
