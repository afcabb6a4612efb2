// Checks of the names and values that callers pass for business tables,
// before they are placed into a statement text: a table that exists (and is
// not one of the store's own), a column of that table, a literal value, a
// list of ids. What a name or a literal is, the connection decides, as it
// reads the statements it adapts; what exists and what is a keyword, its
// database. Well-formed input
// passes unchanged, so the statement reads exactly as the caller gave it;
// anything else raises 5 "Invalid procedure call or argument" with a
// description that names the argument and says what was wrong, before any
// statement of the caller's runs.
//
// Used on the thread that uses the connection. A BusinessTable keeps a
// reference to the connection it was checked on; it is meant for the length
// of one call.

#ifndef ORVO_BILLS_SQL_NAMES_HPP_
#define ORVO_BILLS_SQL_NAMES_HPP_

#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"

namespace orvo::bills {

// A name is one bare name that is no keyword of the database, or one
// bracketed ([Order Lines]) or double-quoted name; a table name is one to
// three names joined by "." without blanks. Names compare without regard to
// ASCII case, as the database compares them.
class BusinessTable {
 public:
  // Raises 5 unless `name` names a table or view of the connection's database.
  static BusinessTable Require(ado::Connection& connection, std::string_view argument,
                               std::string_view name);

  // Raises 5 unless `name` is one name naming a column of this table. Gives
  // the name as a recordset reports that column: as written, without quotes.
  std::string RequireColumn(std::string_view argument, std::string_view name) const;

 private:
  BusinessTable(ado::Connection& connection, std::string name, std::vector<std::string> columns)
      : connection_(&connection), name_(std::move(name)), columns_(std::move(columns)) {}

  ado::Connection* connection_;
  std::string name_;  // as the caller wrote it
  std::vector<std::string> columns_;
};

// A number (an optional sign before it) or a text between single quotes whose
// own quotes are doubled, with nothing around it.
void RequireLiteral(const ado::Connection& connection, std::string_view argument,
                    std::string_view value);

// One or more literals separated by commas, blanks allowed between them: what
// may stand between the parentheses of an IN list.
void RequireIdList(const ado::Connection& connection, std::string_view argument,
                   std::string_view ids);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_SQL_NAMES_HPP_
