// Turns SQLite result codes into the errors of the data-access layer: a value
// that a column does not hold (a store's fit constraint) is 0x80040E57, any
// other constraint violation is 0x80040E2F, a statement SQLite refuses (syntax, an
// unknown table or column) is 0x80040E14, anything else (busy, locked, I/O,
// read-only, cannot open) is 0x80004005. The source is "SQLite" and the
// description SQLite's own message.
//
// Call on the thread that uses the database handle, right after the failing
// call, so that the handle's message belongs to it.

#ifndef ORVO_ADO_SQLITE_ERROR_HPP_
#define ORVO_ADO_SQLITE_ERROR_HPP_

#include <sqlite3.h>

#include <string>

#include "orvo/automation/error.hpp"

namespace orvo::ado::sqlite {

inline constexpr const char* kProvider = "SQLite";

AutomationError ErrorFromCode(int resultCode, std::string message);
// The error of the last failed call on `db` (or the code's generic text when
// there is no handle).
AutomationError ErrorFromDatabase(sqlite3* db, int resultCode);

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_ERROR_HPP_
