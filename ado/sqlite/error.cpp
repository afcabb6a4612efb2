#include "ado/sqlite/error.hpp"

#include <string_view>

#include "orvo/ado/types.hpp"

namespace orvo::ado::sqlite {

namespace {

// The store holds each column to its declared type and size with CHECK
// constraints named "<table>.<column> holds ...": a value that does not fit
// its column, as a server with declared types refuses it.
bool IsFitConstraint(int resultCode, std::string_view message) {
  constexpr std::string_view kFailed = "CHECK constraint failed: ";
  return resultCode == SQLITE_CONSTRAINT_CHECK && message.starts_with(kFailed) &&
         message.find(" holds ", kFailed.size()) != std::string_view::npos;
}

}  // namespace

AutomationError ErrorFromCode(int resultCode, std::string message) {
  const int primary = resultCode & 0xff;
  const std::int32_t number = IsFitConstraint(resultCode, message) ? kErrValueDoesNotFit
                              : primary == SQLITE_CONSTRAINT       ? kErrConstraint
                              : primary == SQLITE_ERROR            ? kErrStatementRefused
                                                                   : kErrFailure;
  return AutomationError(number, kProvider, std::move(message))
      .WithNativeCode(std::to_string(resultCode));
}

AutomationError ErrorFromDatabase(sqlite3* db, int resultCode) {
  if (db == nullptr) return ErrorFromCode(resultCode, sqlite3_errstr(resultCode));
  // The extended code of the call that failed says more than its primary one.
  const int extended = sqlite3_extended_errcode(db);
  return ErrorFromCode((extended & 0xff) == (resultCode & 0xff) ? extended : resultCode,
                       sqlite3_errmsg(db));
}

}  // namespace orvo::ado::sqlite
