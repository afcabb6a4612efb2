// What the operator's operations share about a store's rows: opening a data
// source, requiring a current store, reading a table in pages by id, writing
// a row with every value bound, and the identities. Columns always come from
// the store's own table descriptions, so no caller's text reaches a statement.
//
// Runs on the caller's thread, on connections the caller owns.

#ifndef ORVO_OPERATE_STORE_ROWS_HPP_
#define ORVO_OPERATE_STORE_ROWS_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "operate/conditions.hpp"
#include "operate/operations.hpp"
#include "orvo/ado/connection.hpp"
#include "store/tables.hpp"

namespace orvo::operate {

// Opens a data source for an operation, its statements shown to `observer`.
std::shared_ptr<ado::Connection> OpenStore(const std::string& dsn,
                                           const std::shared_ptr<ado::StatementObserver>& observer,
                                           ado::IfMissing ifMissing = ado::IfMissing::Fail);

// Raises unless the connection's database holds a store of the schema this
// library makes; `role` names the store in the message ("the source").
void RequireCurrentStore(ado::Connection& connection, const std::string& role);

// A pair of the store's tables: the rows that link users to templates (and
// keep their settings), and the templates.
struct Family {
  const char* name;  // "standard", "partitioned" or "report"
  const store::Table& rows;
  const store::Table& templates;
  const char* key;          // of a row: the bill type or the report
  const char* templateKey;  // of a template
  const char* link;         // of a row: the template's FId, when > 0
  bool partitioned;         // whether both tables have FDataFrom
  bool report;
};
const std::vector<Family>& Families();

// The rows that "select <list> from <from><where> order by <order>" gives,
// into `shape` (its table, family and one column name per item of the list).
TableRows SelectRows(ado::Connection& connection, TableRows shape, const std::string& list,
                     const std::string& from, const Conditions& conditions, const char* order);

// Column names of a table, in order.
std::vector<std::string> ColumnNames(const store::Table& table);

std::uint64_t CountRows(ado::Connection& connection, const store::Table& table);

// Calls `row` with each row of the table (its values in column order), in id
// order, reading a page of rows at a time so that a large table never sits
// whole in memory.
void ForEachRow(ado::Connection& connection, const store::Table& table,
                const std::function<void(const std::vector<Variant>&)>& row);

// Inserts one row with every column given, its id included.
void InsertRow(ado::Connection& connection, const store::Table& table,
               const std::vector<Variant>& values);

// Inside the target's transaction: raises when any of its tables holds a row.
void RequireNoRows(ado::Connection& connection, const std::string& role);

// The last id the identity gave, never below the table's largest id.
std::int64_t LastIdentity(ado::Connection& connection, const store::Table& table);
void SetLastIdentity(ado::Connection& connection, const store::Table& table, std::int64_t last);

// Counts rows as they are done and tells `progress`.
class ProgressCount {
 public:
  ProgressCount(const Progress& progress, std::uint64_t total);
  void Done();

 private:
  const Progress& progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
};

// A failure of an operation, with the library as its source.
[[noreturn]] void Refuse(const std::string& message);

}  // namespace orvo::operate

#endif  // ORVO_OPERATE_STORE_ROWS_HPP_
