// SchemaWatch tells whether the schema a connection sees has changed: it
// reads, for every database of the connection (main, temp and each attached
// one), the number SQLite raises whenever that database's schema changes
// (its schema cookie), and remembers which databases were attached. While it
// reports no change, no table, view or column was made, altered or removed,
// by this connection or another, and no database was attached or detached,
// so what was read of the schema before still holds.
//
// Used on the thread that uses its database handle, best inside the
// transaction that goes on to rely on the answer.

#ifndef ORVO_ADO_SQLITE_SCHEMA_WATCH_HPP_
#define ORVO_ADO_SQLITE_SCHEMA_WATCH_HPP_

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ado/sqlite/statement.hpp"

namespace orvo::ado::sqlite {

class SchemaWatch {
 public:
  explicit SchemaWatch(sqlite3* db) : db_(db) {}

  // Whether the schema is as it was at the last call; false on the first,
  // and whenever a database's number cannot be read.
  bool Unchanged();

 private:
  struct Watched {
    std::string name;   // as the connection names it ("main", "temp", ...)
    std::string file;   // "" for a database in memory or a temporary one
    Statement version;  // "PRAGMA <name>.schema_version"
    std::int64_t seen = -1;
  };

  // Whether `watched` is the database the connection has at `name` and `file`.
  static bool Same(const Watched& watched, const char* name, const char* file);

  sqlite3* db_;
  std::vector<Watched> databases_;
  bool complete_ = false;  // the last pass read every database's number
};

}  // namespace orvo::ado::sqlite

#endif  // ORVO_ADO_SQLITE_SCHEMA_WATCH_HPP_
