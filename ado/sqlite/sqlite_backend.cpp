#include "ado/sqlite/sqlite_backend.hpp"

#include <charconv>
#include <optional>
#include <string>
#include <unordered_map>

#include "ado/sqlite/collation.hpp"
#include "ado/sqlite/column_reader.hpp"
#include "ado/sqlite/database.hpp"
#include "ado/sqlite/error.hpp"
#include "ado/sqlite/statement.hpp"
#include "ado/tokenizer.hpp"
#include "orvo/automation/ascii.hpp"

namespace orvo::ado {

namespace {

using sqlite::kProvider;

constexpr int kDefaultBusyTimeoutMs = 5000;
// The classes build texts with values inside, so the caches would grow with
// every new value; past this many entries a cache starts over.
constexpr std::size_t kCacheLimit = 512;

std::string DatabasePath(const ConnectionString& cs) {
  std::string path = cs.Get("Data Source");
  if (path.empty()) {
    throw AutomationError(kErrFailure, kProvider,
                          "The data source names no database file (Data Source=<file>)");
  }
  return path;
}

int BusyTimeout(const ConnectionString& cs) {
  if (!cs.Has("Busy Timeout")) return kDefaultBusyTimeoutMs;
  const std::string text = cs.Get("Busy Timeout");
  int ms = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
  if (ec != std::errc() || end != text.data() + text.size() || ms < 0) {
    throw AutomationError(
        kErrFailure, kProvider,
        "Busy Timeout must be a whole number of milliseconds, not \"" + text + "\"");
  }
  return ms;
}

// The schemas that hold a table or view named by the first value; the second,
// when not Null, is the one schema to look in. Names that begin with sqlite_
// are SQLite's own.
constexpr const char kFindTable[] =
    "SELECT schema FROM pragma_table_list(?) WHERE type IN ('table', 'view') "
    "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND schema = coalesce(?, schema) COLLATE NOCASE";
// The columns of that table, generated ones included; a Null schema finds
// the table as a statement naming it would.
constexpr const char kTableColumns[] = "SELECT name FROM pragma_table_xinfo(?, ?)";
constexpr std::size_t kLongestKeyword = 64;

// SQLite's open flags: "Mode=Read" opens for reading only, as a store that
// the process may not write is opened; a missing file is made only when
// asked for, and never for reading.
int OpenFlags(const ConnectionString& cs, IfMissing ifMissing) {
  const std::string mode = cs.Get("Mode");
  if (ascii::EqualsIgnoreCase(mode, "Read")) return SQLITE_OPEN_READONLY;
  if (cs.Has("Mode") && !ascii::EqualsIgnoreCase(mode, "ReadWrite")) {
    throw AutomationError(kErrFailure, kProvider,
                          "Mode must be Read or ReadWrite, not \"" + mode + "\"");
  }
  return SQLITE_OPEN_READWRITE | (ifMissing == IfMissing::Create ? SQLITE_OPEN_CREATE : 0);
}

// True when `tail` holds more than blanks, comments and semicolons.
bool HoldsAnotherStatement(std::string_view tail) {
  for (const Token& token : Tokenize(tail)) {
    if (token.Significant() && !token.Is(";")) return true;
  }
  return false;
}

class SqliteBackend final : public Backend {
 public:
  // The options are read before the file is opened, so a bad one creates none.
  SqliteBackend(const ConnectionString& cs, IfMissing ifMissing)
      : SqliteBackend(DatabasePath(cs), BusyTimeout(cs), OpenFlags(cs, ifMissing)) {}

  // Opening touches nothing in the database: its journal mode is the
  // store's, set when the store is created or upgraded, so a connection
  // neither needs to write nor waits for another one to open.
  SqliteBackend(const std::string& path, int busyTimeoutMs, int openFlags) : db_(path, openFlags) {
    sqlite3_busy_timeout(db_.get(), busyTimeoutMs);
  }

  std::string_view Provider() const override { return kProvider; }

  ResultSet Execute(std::string_view text, const std::vector<BoundValue>& params) override {
    return Run(Prepared(Adapted(text)), params);
  }

  void AcceptEarlierSchemas() override {
    sqlite::RegisterEarlierCaseInsensitiveCollation(db_.get());
  }

  void Begin(TransactionKind kind) override {
    db_.Exec(kind == TransactionKind::Writing ? "BEGIN IMMEDIATE" : "BEGIN");
  }
  void Commit() override { db_.Exec("COMMIT"); }
  void Rollback() override {
    // SQLite ends a transaction by itself after some failures (a full disk,
    // an I/O error); there is then nothing left to roll back.
    if (sqlite3_get_autocommit(db_.get()) != 0) return;
    db_.Exec("ROLLBACK");
  }

  std::string AdaptedText(std::string_view text) override { return Adapted(text); }

  std::optional<std::vector<std::string>> TableColumns(
      const std::vector<std::string>& name) override {
    if (name.empty() || name.size() > 2) return std::nullopt;
    const std::vector<BoundValue> names{
        {adVarChar, Variant(name.back())},
        {adVarChar, name.size() == 2 ? Variant(name.front()) : Variant::Null()}};
    if (Run(Prepared(kFindTable), names).rows.empty()) return std::nullopt;
    std::vector<std::string> columns;
    for (const std::vector<Variant>& row : Run(Prepared(kTableColumns), names).rows) {
      columns.push_back(row.front().AsString());
    }
    return columns;
  }

  bool IsKeyword(std::string_view word) const override {
    // No keyword is that long, and the length must fit an int.
    if (word.size() > kLongestKeyword) return false;
    // true and false are no keywords to SQLite, but values wherever no column
    // of that name is in reach.
    return sqlite3_keyword_check(word.data(), static_cast<int>(word.size())) != 0 ||
           ascii::EqualsIgnoreCase(word, "true") || ascii::EqualsIgnoreCase(word, "false");
  }

 private:
  // Runs a prepared statement and reads every row.
  ResultSet Run(sqlite::Statement& statement, const std::vector<BoundValue>& params) {
    if (statement.empty()) return ResultSet{};
    // Whatever happens, the statement goes back to the cache idle and unbound.
    struct ResetOnExit {
      sqlite::Statement& statement;
      ~ResetOnExit() { statement.Reset(); }
    } reset{statement};
    statement.Bind(params);

    sqlite3_stmt* stmt = statement.get();
    sqlite::ColumnReader reader(stmt);
    ResultSet result;
    result.hasRows = sqlite3_column_count(stmt) > 0;
    for (;;) {
      const int rc = sqlite3_step(stmt);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) throw sqlite::ErrorFromDatabase(db_.get(), rc);
      result.rows.push_back(reader.ReadRow());
    }
    result.columns = reader.TakeColumns();
    return result;
  }

  const std::string& Adapted(std::string_view text) {
    const std::string key(text);
    auto it = adapted_.find(key);
    if (it == adapted_.end()) {
      if (adapted_.size() >= kCacheLimit) adapted_.clear();
      it = adapted_.emplace(key, AdaptStatement(text, kSqliteSpelling)).first;
    }
    return it->second;
  }

  sqlite::Statement& Prepared(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
      sqlite::Statement statement(db_.get(), sql);
      if (HoldsAnotherStatement(statement.Tail())) {
        throw AutomationError(kErrStatementRefused, kProvider,
                              "A statement text may hold only one statement");
      }
      if (statements_.size() >= kCacheLimit) statements_.clear();
      it = statements_.emplace(sql, std::move(statement)).first;
    }
    return it->second;
  }

  // Declared first so that the statements are finalized before it closes.
  sqlite::Database db_;
  std::unordered_map<std::string, std::string> adapted_;
  std::unordered_map<std::string, sqlite::Statement> statements_;
};

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionString& connectionString,
                                           IfMissing ifMissing) {
  return std::make_unique<SqliteBackend>(connectionString, ifMissing);
}

}  // namespace orvo::ado
