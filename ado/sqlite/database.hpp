// Database owns one sqlite3 connection handle: opened in the constructor,
// closed in the destructor. A double-quoted name is always a name on it,
// never a text value.
//
// Used on one thread at a time, like the handle it wraps. Statements prepared
// on the handle must be finalized before the Database goes.

#ifndef ORVO_ADO_SQLITE_DATABASE_HPP_
#define ORVO_ADO_SQLITE_DATABASE_HPP_

#include <sqlite3.h>

#include <string>

namespace orvo::ado::sqlite {

class Database {
 public:
  // Opens with SQLite's open flags (SQLITE_OPEN_READONLY, or READWRITE and
  // perhaps CREATE). Raises 0x80004005 with SQLite's message when the file
  // cannot be opened, or saying that it does not exist when it is missing
  // and may not be created.
  Database(const std::string& path, int flags);
  ~Database();

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }

  // Runs statements that return no rows the caller wants; raises the mapped
  // error when one fails.
  void Exec(const char* sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_DATABASE_HPP_
