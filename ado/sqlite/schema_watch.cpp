#include "ado/sqlite/schema_watch.hpp"

#include <cstddef>

namespace orvo::ado::sqlite {

namespace {

// `name` as a quoted identifier.
std::string Quoted(const char* name) {
  std::string quoted = "\"";
  for (const char* c = name; *c != '\0'; ++c) {
    quoted += *c;
    if (*c == '"') quoted += '"';
  }
  return quoted + '"';
}

}  // namespace

bool SchemaWatch::Same(const Watched& watched, const char* name, const char* file) {
  return watched.name == name && watched.file == file;
}

bool SchemaWatch::Unchanged() {
  // A pass that failed midway may have taken the numbers of some databases
  // and not of the others: the pass after it reports a change.
  bool unchanged = complete_;
  complete_ = false;
  std::size_t count = 0;
  for (const char* name; (name = sqlite3_db_name(db_, static_cast<int>(count))) != nullptr;
       ++count) {
    const char* file = sqlite3_db_filename(db_, name);
    if (file == nullptr) file = "";
    if (count == databases_.size() || !Same(databases_[count], name, file)) {
      Watched watched{name, file, Statement(db_, "PRAGMA " + Quoted(name) + ".schema_version"), -1};
      if (count == databases_.size()) {
        databases_.push_back(std::move(watched));
      } else {
        databases_[count] = std::move(watched);
      }
      unchanged = false;
    }
    Watched& watched = databases_[count];
    sqlite3_stmt* read = watched.version.get();
    const std::int64_t version =
        sqlite3_step(read) == SQLITE_ROW ? sqlite3_column_int64(read, 0) : -1;
    watched.version.Reset();
    if (version == -1 || version != watched.seen) unchanged = false;
    watched.seen = version;
  }
  if (count < databases_.size()) {
    databases_.erase(databases_.begin() + static_cast<std::ptrdiff_t>(count), databases_.end());
    unchanged = false;
  }
  complete_ = true;
  return unchanged;
}

}  // namespace orvo::ado::sqlite
