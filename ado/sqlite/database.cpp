#include "ado/sqlite/database.hpp"

#include "ado/sqlite/error.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::ado::sqlite {

Database::Database(const std::string& path, int flags) {
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    // A handle is usually allocated even on failure; it carries the message.
    // Whatever the code, a database that cannot be opened is a failure to
    // connect, not a refused statement.
    std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw AutomationError(kErrFailure, kProvider, std::move(message));
  }
}

Database::~Database() {
  sqlite3_close_v2(db_);
}

void Database::Exec(const char* sql) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw ErrorFromDatabase(db_, rc);
}

}  // namespace orvo::ado::sqlite
