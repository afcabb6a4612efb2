// How the PostgreSQL backend reports what the server refuses: by the class of
// the SQLSTATE. Integrity violations (class 23) are 0x80040E2F; syntax and
// access rule violations (class 42) and data exceptions (class 22) are
// 0x80040E14; everything else, a lost connection included, is 0x80004005.
// A value that does not fit its column is 0x80040E57, as on every backend:
// the store's CHECK constraints named "<table>.<column> holds ...", a text
// longer than its column, a number outside its column's range and a text
// that is not a number of the column's type.
//
// Source "PostgreSQL"; the description is the server's primary message.

#ifndef ORVO_ADO_POSTGRES_ERROR_HPP_
#define ORVO_ADO_POSTGRES_ERROR_HPP_

#include <libpq-fe.h>

#include <string>
#include <string_view>

#include "orvo/automation/error.hpp"

namespace orvo::ado::postgres {

inline constexpr const char* kProvider = "PostgreSQL";
// The SQLSTATEs of a connection that could not be made and of one that was
// lost, for failures that libpq reports without an answer of the server.
inline constexpr const char* kCannotConnect = "08001";
inline constexpr const char* kConnectionFailure = "08006";

// The error of a result that failed, `conn` telling a lost connection's
// message when the result has none.
AutomationError ErrorFromResult(const PGresult* result, PGconn* conn);
// The number for a SQLSTATE and the constraint it names ("" for none).
std::int32_t NumberOf(std::string_view sqlState, std::string_view constraint);
// 0x80004005 with `message` without its trailing line ends.
AutomationError Failure(std::string message);

}  // namespace orvo::ado::postgres

#endif  // ORVO_ADO_POSTGRES_ERROR_HPP_
