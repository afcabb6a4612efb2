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
};

struct Index {
  std::string name;
  std::string table;
  std::string columns;  // in order, separated by ", "
};

// In the order of TableNames().
const std::vector<Table>& Tables();
const std::vector<Index>& Indexes();

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
