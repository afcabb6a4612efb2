#include "ado/sqlite/error.hpp"

#include "orvo/ado/types.hpp"

namespace orvo::ado::sqlite {

AutomationError ErrorFromCode(int resultCode, std::string message) {
  const int primary = resultCode & 0xff;
  const std::int32_t number = primary == SQLITE_CONSTRAINT ? kErrConstraint
                              : primary == SQLITE_ERROR    ? kErrStatementRefused
                                                           : kErrFailure;
  return AutomationError(number, kProvider, std::move(message));
}

AutomationError ErrorFromDatabase(sqlite3* db, int resultCode) {
  return ErrorFromCode(resultCode, db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode));
}

}  // namespace orvo::ado::sqlite
