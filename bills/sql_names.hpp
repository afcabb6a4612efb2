// Checks of the names and values that callers pass for business tables
// before they are placed into a statement text: a table name, a column name,
// a literal value. Well-formed input passes unchanged, so the statement reads
// exactly as the caller gave it; anything else raises 5 "Invalid procedure
// call or argument" with a description that names the argument and says what
// was wrong, before any statement runs.
//
// Pure functions; any thread.

#ifndef ORVO_BILLS_SQL_NAMES_HPP_
#define ORVO_BILLS_SQL_NAMES_HPP_

#include <string>
#include <string_view>

namespace orvo::bills {

// A name part is a plain identifier (a letter, "_" or a non-ASCII character
// first, then also digits, "@", "#" and "$") or a bracketed one ("[Order
// Lines]", no "]" inside). A table name is one to three parts joined by ".";
// a column name is one part.
void RequireTableName(std::string_view argument, std::string_view name);
void RequireColumnName(std::string_view argument, std::string_view name);

// A number (optional sign, digits, optional decimal part) or a text between
// single quotes whose own quotes are doubled.
void RequireLiteral(std::string_view argument, std::string_view value);

// A column name as a recordset reports it: without its brackets.
std::string UnquotedName(std::string_view name);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_SQL_NAMES_HPP_
