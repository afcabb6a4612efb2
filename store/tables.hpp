// The template store's six tables as every backend makes them: their columns
// and what each holds, the indexes on the statements' access paths, and the
// rules that hold each column to what it holds. A backend's schema renders
// these in its own dialect, so that the tables, their columns and their
// indexes are the same on every backend.
//
// Constant data, built on first use; any thread.

#ifndef ORVO_STORE_TABLES_HPP_
#define ORVO_STORE_TABLES_HPP_

#include <string>
#include <vector>

namespace orvo::store {

// What a column holds.
enum class ColumnKind {
  Identity,     // the row's id: a 32-bit whole number that the store gives, never twice
  WholeNumber,  // a 32-bit whole number
  Text,         // at most `characters` characters, compared without regard to case
  Date,         // a date and time
  Binary,       // bytes
};

struct Column {
  std::string name;  // as the classes spell it
  ColumnKind kind = ColumnKind::Binary;
  int characters = 0;  // of a Text column
};

struct Table {
  std::string name;  // as the classes spell it
  std::vector<Column> columns;
  // The condition on a row whose earlier contents the store keeps (its
  // templates and settings, not the rows that only point at a template);
  // empty for every row.
  std::string kept;
};

struct Index {
  std::string name;
  std::string table;
  std::string columns;  // in order, separated by ", "
};

// In the order of TableNames().
const std::vector<Table>& Tables();
const std::vector<Index>& Indexes();
// The statement that makes the index where it is missing, in the words that
// every backend reads.
std::string CreateIndexStatement(const Index& index);

// The history of a table: every earlier content of its kept rows, one row a
// version. FVersion numbers the versions of the whole store, never twice;
// FChangedAt is when the row changed, FChange "update" or "delete" (or
// "restore" for the content that a restore replaced); the table's own
// columns follow, FId a plain number there.
struct HistoryTable {
  const Table* of = nullptr;
  Table table;
  // The column of a template's body, which a compacted history keeps as a
  // difference from the next newer body of the template (kBodyIsDifference);
  // empty for a table of settings rows, whose values are small.
  std::string body;
};
// Beside a body column: Null while the version keeps its body whole, 1 when
// it keeps the difference from the next newer body of its row: the next
// version's, or the current row's for the newest. Every change of the row
// keeps what the row held as its next version, so a difference always finds
// the body it was made from where it was.
inline constexpr const char* kBodyIsDifference = "FDataDiff";
// Last of every history's columns: the version's number among its row's
// versions, 1 for the row's first change kept and one more for each change
// after it. The version that falls out of the store's retention when a row
// changes is then found by its number, without counting the row's versions.
inline constexpr const char* kRowVersion = "FRowVersion";
// In the order of Tables().
const std::vector<HistoryTable>& HistoryTables();
// The one row of how many versions of each row the history keeps (FKeep, 0
// for none) and of the newest version that compaction has looked at
// (FCompacted).
inline constexpr const char* kHistorySettings = "T_PrintHistorySettings";
// What a new store keeps.
inline constexpr int kDefaultHistoryKeep = 20;
// On SQLite, the table whose AUTOINCREMENT counter numbers the versions of
// every history; it holds no rows. The server numbers them with a sequence.
inline constexpr const char* kHistoryVersionCounter = "T_PrintHistoryVersion";
// Beside the history tables: the index of a row's versions by their number
// among the row's (kRowVersion). Versions by time have none: every write of a
// kept row would pay for it, for an operator's listing that reads the history
// through anyway.
std::vector<Index> HistoryIndexes(const HistoryTable& history);
// The statement that numbers the versions of each row of a history that kept
// none of these numbers, oldest first, in the words that every backend reads.
std::string NumberRowVersions(const HistoryTable& history);
// The statement that removes the versions of each row of a history but the
// newest `kept` (an expression of the backend's) by their numbers, in the
// words that every backend reads.
std::string RemoveVersionsBeyond(const HistoryTable& history, const std::string& kept);
// The trigger on kHistorySettings that removes at once the versions that a
// smaller number of versions kept, other than none, no longer keeps, and
// the function it runs on a server: each row's retention then removes only
// the one version that its change makes one too many.
inline constexpr const char* kKeepTrigger = "TR_T_PrintHistorySettings_Keep";
inline constexpr const char* kKeepFunction = "T_PrintHistorySettings_Keep";

// What a value of the column must be, as the rule that refuses anything else
// says it: "holds at most 255 characters", "holds a 32-bit whole number";
// empty for a date or binary column, which takes any value of its kind.
std::string FitRule(const Column& column);
// "<table>.<column> <rule>": the rule with what it is about, as a store's
// constraint names it, so that its failure tells which column refused what.
// A server that keeps names to 63 bytes names the constraint "<column>
// <rule>" instead, since some of these are longer; its messages name the
// table themselves.
std::string FitName(const Table& table, const Column& column);

}  // namespace orvo::store

#endif  // ORVO_STORE_TABLES_HPP_
