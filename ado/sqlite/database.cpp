#include "ado/sqlite/database.hpp"

#include <filesystem>

#include "ado/sqlite/error.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::ado::sqlite {

namespace {

// What stands at `path` where a store's file was expected, or nothing when
// it is a file (a link is followed) or nothing is there: SQLite would open a
// folder, a pipe or a device and fail only at the first statement, with a
// message that does not say why, or, reading only, wait on a pipe for a
// writer.
const char* NotAFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  switch (fs::status(path, ignored).type()) {
    case fs::file_type::directory:
      return "a folder";
    case fs::file_type::fifo:
      return "a pipe";
    case fs::file_type::socket:
      return "a socket";
    case fs::file_type::block:
    case fs::file_type::character:
      return "a device";
    default:
      return nullptr;
  }
}

}  // namespace

Database::Database(const std::string& path, int flags) {
  if (const char* what = NotAFile(path)) {
    throw AutomationError(
        kErrFailure, kProvider,
        "The database file " + QuotedForError(path) + " is " + what + ", not a file")
        .WithNativeCode(std::to_string(SQLITE_CANTOPEN));
  }
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    // A handle is usually allocated even on failure; it carries the message.
    // Whatever the code, a database that cannot be opened is a failure to
    // connect, not a refused statement.
    std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    const int code = db_ != nullptr ? sqlite3_extended_errcode(db_) : rc;
    std::error_code ignored;
    if ((flags & SQLITE_OPEN_CREATE) == 0 && !std::filesystem::exists(path, ignored)) {
      message = "The database file " + QuotedForError(path) + " does not exist";
    }
    sqlite3_close(db_);
    db_ = nullptr;
    throw AutomationError(kErrFailure, kProvider, std::move(message))
        .WithNativeCode(std::to_string(code));
  }
  // SQLite would read a double-quoted name that matches no column as a text
  // value, so a misspelt name would quietly compare with a constant.
  for (const int option : {SQLITE_DBCONFIG_DQS_DML, SQLITE_DBCONFIG_DQS_DDL}) {
    const int configured = sqlite3_db_config(db_, option, 0, static_cast<int*>(nullptr));
    if (configured != SQLITE_OK) {
      AutomationError error = ErrorFromDatabase(db_, configured);
      sqlite3_close(db_);
      db_ = nullptr;
      throw error;
    }
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
