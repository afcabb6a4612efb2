#include "ado/sqlite/sqlite_backend.hpp"

#include <charconv>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "ado/parameterize.hpp"
#include "ado/shape_cache.hpp"
#include "ado/shaped_backend.hpp"
#include "ado/slot_binding.hpp"
#include "ado/sqlite/collation.hpp"
#include "ado/sqlite/column_reader.hpp"
#include "ado/sqlite/database.hpp"
#include "ado/sqlite/error.hpp"
#include "ado/sqlite/schema_watch.hpp"
#include "ado/sqlite/statement.hpp"
#include "ado/tokenizer.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

using sqlite::kProvider;

constexpr int kDefaultBusyTimeoutMs = 5000;

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
        "Busy Timeout must be a whole number of milliseconds, not " + QuotedForError(text));
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
                          "Mode must be Read or ReadWrite, not " + QuotedForError(mode));
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

// One shape of statement text: what SQLite runs for it, prepared on its
// first run, with its columns described once.
struct Shape {
  std::string text;     // the shape: the classes' text with its literals lifted out
  std::string adapted;  // in SQLite's dialect
  std::optional<sqlite::Statement> statement;
  std::optional<sqlite::ColumnReader> columns;
};

class SqliteBackend final : public ShapedBackend {
 public:
  // The options are read before the file is opened, so a bad one creates none.
  SqliteBackend(const ConnectionString& cs, IfMissing ifMissing)
      : SqliteBackend(DatabasePath(cs), BusyTimeout(cs), OpenFlags(cs, ifMissing)) {}

  // Opening touches nothing in the database: its journal mode is the
  // store's, set when the store is created or upgraded, so a connection
  // neither needs to write nor waits for another one to open.
  SqliteBackend(const std::string& path, int busyTimeoutMs, int openFlags) : db_(path, openFlags) {
    sqlite3_busy_timeout(db_.get(), busyTimeoutMs);
    sqlite3_extended_result_codes(db_.get(), 1);
  }

  std::string_view Provider() const override { return kProvider; }
  BackendKind Kind() const override { return BackendKind::Sqlite; }

  ResultSet Execute(std::string_view text, std::span<const BoundValue> params) override {
    parameterizer_.Parameterize(text);
    return Run(
        ShapeOf(parameterizer_.Shape()),
        [&](sqlite::Statement& statement) { Bind(statement, params); }, 0);
  }

  ResultSet ExecuteShape(std::string_view text, std::span<const BoundValue> values,
                         std::size_t maxRecords, const ColumnsRead* read) override {
    return Run(
        ShapeOf(text),
        [&](sqlite::Statement& statement) {
          BindShapeValues(values, static_cast<std::size_t>(statement.MarkerCount()), kProvider,
                          Binder{statement});
        },
        maxRecords, read);
  }

  void AcceptEarlierSchemas() override {
    sqlite::RegisterEarlierCaseInsensitiveCollation(db_.get());
  }

  void Begin(TransactionKind kind) override {
    Step(kind == TransactionKind::Writing ? beginWriting_ : begin_,
         kind == TransactionKind::Writing ? "BEGIN IMMEDIATE" : "BEGIN");
  }
  // SQLite cannot take the write lock inside a transaction whose snapshot
  // another writer has passed: the transaction, which wrote nothing, ends and
  // begins again as a writing one, seeing every commit before it.
  void LockForWriting() override {
    if (sqlite3_get_autocommit(db_.get()) != 0 ||
        sqlite3_txn_state(db_.get(), nullptr) == SQLITE_TXN_WRITE) {
      return;
    }
    Step(commit_, "COMMIT");
    Begin(TransactionKind::Writing);
  }
  void Commit() override { Step(commit_, "COMMIT"); }
  void Rollback() override {
    // SQLite ends a transaction by itself after some failures (a full disk,
    // an I/O error); there is then nothing left to roll back.
    if (sqlite3_get_autocommit(db_.get()) != 0) return;
    Step(rollback_, "ROLLBACK");
  }

  // What SQLite's catalogue says of a name is kept while the schema stays as
  // it was: reading it costs a statement that SQLite compiles on every run.
  std::optional<std::vector<std::string>> TableColumns(const std::vector<NamePart>& name) override {
    if (name.empty() || name.size() > 2) return std::nullopt;
    if (!schema_.Unchanged() || tables_.size() >= kTablesKept) tables_.clear();
    std::string key;
    for (const NamePart& part : name)
      key.append(std::to_string(part.name.size())).append(1, ':').append(part.name);
    const auto kept = tables_.find(key);
    if (kept != tables_.end()) return kept->second;
    return tables_.emplace(std::move(key), ReadTableColumns(name)).first->second;
  }

  // SQLite compares names without regard to ASCII case, quoted or not.
  bool NamesColumn(const NamePart& written, std::string_view declared) const override {
    return ascii::EqualsIgnoreCase(written.name, declared);
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
  const std::string& Adapted(std::string_view shape) override { return ShapeOf(shape).adapted; }

  // The columns of the table or view `name` finds, read from the catalogue.
  std::optional<std::vector<std::string>> ReadTableColumns(const std::vector<NamePart>& name) {
    const std::vector<BoundValue> names{
        {adVarChar, Variant(name.back().name)},
        {adVarChar, name.size() == 2 ? Variant(name.front().name) : Variant::Null()}};
    if (Execute(kFindTable, names).values.empty()) return std::nullopt;
    std::vector<std::string> columns;
    for (const Variant& value : Execute(kTableColumns, names).values) {
      columns.push_back(value.AsString());
    }
    return columns;
  }

  // The cached shape of `text`. Adapting happens here, once per shape;
  // preparing happens on the shape's first run, so that a statement the
  // database refuses is still reported with what it would have run.
  Shape& ShapeOf(std::string_view text) {
    return shapes_.Find(text, [](std::string_view shape) {
      return Shape{std::string(shape), AdaptStatement(shape, kSqliteSpelling), {}, {}};
    });
  }

  // Prepares the shape when it runs for the first time, binds its markers
  // with `bind`, and reads its rows, at most `maxRecords` of them (0: all),
  // and of each the columns `read` names (all without it).
  template <class Binder>
  ResultSet Run(Shape& shape, Binder&& bind, std::size_t maxRecords,
                const ColumnsRead* read = nullptr) {
    Prepare(shape);
    sqlite::Statement& statement = *shape.statement;
    if (statement.empty()) return ResultSet{};
    // Whatever happens, the statement goes back to the cache idle. Its
    // bindings are all replaced before its next step: `bind` binds every
    // marker or raises before the statement steps.
    struct ResetOnExit {
      sqlite::Statement& statement;
      ~ResetOnExit() { statement.Reset(); }
    } reset{statement};
    bind(statement);
    return shape.columns->ReadAll(db_.get(), statement.get(), maxRecords, read);
  }

  void Prepare(Shape& shape) {
    if (shape.statement) return;
    sqlite::Statement statement(db_.get(), shape.adapted);
    if (HoldsAnotherStatement(statement.Tail())) {
      throw AutomationError(kErrStatementRefused, kProvider,
                            "A statement text may hold only one statement");
    }
    if (!statement.empty()) shape.columns.emplace(statement.get());
    shape.statement.emplace(std::move(statement));
  }

  // Binds the markers of a statement, from 0, as BindSlots hands them over.
  struct Binder {
    sqlite::Statement& statement;
    void Value(std::size_t i, const Variant& value) const {
      statement.Bind(static_cast<int>(i) + 1, value);
    }
    void Lifted(std::size_t i, const LiftedValue& literal) const {
      const int index = static_cast<int>(i) + 1;
      switch (literal.kind) {
        case LiftedValue::Kind::Integer:
          statement.BindInteger(index, literal.integer);
          break;
        case LiftedValue::Kind::Real:
          statement.BindReal(index, literal.real);
          break;
        case LiftedValue::Kind::Text:
          statement.BindText(index, literal.text);
          break;
      }
    }
  };

  // Binds every marker of the shape: a lifted literal, or the caller's value.
  void Bind(sqlite::Statement& statement, std::span<const BoundValue> params) {
    BindSlots(parameterizer_, params, static_cast<std::size_t>(statement.MarkerCount()), kProvider,
              Binder{statement});
  }

  // Runs one of the transaction's steps, prepared on its first use.
  void Step(std::optional<sqlite::Statement>& step, const char* sql) {
    if (!step) step.emplace(db_.get(), sql);
    const int rc = sqlite3_step(step->get());
    step->Reset();
    if (rc != SQLITE_DONE) throw sqlite::ErrorFromDatabase(db_.get(), rc);
  }

  // Declared first so that the statements are finalized before it closes.
  sqlite::Database db_;
  ShapeCache<Shape> shapes_;
  std::optional<sqlite::Statement> begin_;
  std::optional<sqlite::Statement> beginWriting_;
  std::optional<sqlite::Statement> commit_;
  std::optional<sqlite::Statement> rollback_;
  // The tables callers named, and what the catalogue said of them.
  static constexpr std::size_t kTablesKept = 64;
  sqlite::SchemaWatch schema_{db_.get()};
  std::unordered_map<std::string, std::optional<std::vector<std::string>>> tables_;
};

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionString& connectionString,
                                           IfMissing ifMissing) {
  return std::make_unique<SqliteBackend>(connectionString, ifMissing);
}

}  // namespace orvo::ado
