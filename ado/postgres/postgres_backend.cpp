#include "ado/postgres/postgres_backend.hpp"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ado/parameterize.hpp"
#include "ado/postgres/column_reader.hpp"
#include "ado/postgres/database.hpp"
#include "ado/postgres/error.hpp"
#include "ado/postgres/statement.hpp"
#include "ado/shape_cache.hpp"
#include "ado/shaped_backend.hpp"
#include "ado/slot_binding.hpp"
#include "ado/tokenizer.hpp"
#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

using postgres::kProvider;

// The data source's own names for libpq's keywords.
constexpr std::pair<std::string_view, std::string_view> kRenamedKeys[] = {{"Host", "host"},
                                                                          {"Port", "port"},
                                                                          {"Database", "dbname"},
                                                                          {"User ID", "user"},
                                                                          {"Password", "password"}};

std::vector<postgres::ConnectionParameter> ConnectionParameters(const ConnectionString& cs) {
  std::vector<postgres::ConnectionParameter> parameters;
  for (const std::string& key : cs.Keys()) {
    std::string keyword;
    for (const auto& [ours, libpq] : kRenamedKeys) {
      if (ascii::EqualsIgnoreCase(key, ours)) keyword = libpq;
    }
    for (std::string_view known : kPostgresKeys) {
      if (keyword.empty() && ascii::EqualsIgnoreCase(key, known)) keyword = known;
    }
    if (!keyword.empty()) parameters.emplace_back(keyword, cs.Get(key));
  }
  // Texts travel as UTF-8 whatever the server's or the environment's default.
  parameters.emplace_back("client_encoding", "UTF8");
  return parameters;
}

// The table that an INSERT statement writes to, as written: its name tokens
// joined by dots; "" for any other statement.
std::string InsertTarget(std::string_view text) {
  std::vector<Token> tokens = Tokenize(text);
  std::erase_if(tokens, [](const Token& t) { return !t.Significant(); });
  if (tokens.size() < 3 || !tokens[0].Is("insert") || !tokens[1].Is("into")) return {};
  std::string name;
  for (std::size_t i = 2; i < tokens.size(); i += 2) {
    if (!tokens[i].IsName()) return {};
    name += tokens[i].text;
    if (i + 1 >= tokens.size() || !tokens[i + 1].Is(".")) break;
    name += '.';
  }
  return name;
}

// Whether a select list of the text takes every column of a table ("*" or
// "t.*"): only such columns are named by the server rather than by the text.
bool SelectsEveryColumn(std::string_view text) {
  const Token* previous = nullptr;
  for (const Token& token : Tokenize(text)) {
    if (!token.Significant()) continue;
    if (token.Is("*") && previous != nullptr &&
        (previous->Is("select") || previous->Is("distinct") || previous->Is(",") ||
         previous->Is("."))) {
      return true;
    }
    previous = &token;
  }
  return false;
}

// The server could not tell the type of a marker: it cannot infer it, or
// an operator or function is ambiguous without it.
bool LacksTypes(std::string_view sqlState) {
  return sqlState == "42P18" || sqlState == "42725";
}

bool ChangesSchema(std::string_view text) {
  for (const Token& token : Tokenize(text)) {
    if (token.Significant()) return token.Is("create") || token.Is("alter") || token.Is("drop");
  }
  return false;
}

// The statement text without the blanks, comments and semicolons that end it.
std::string_view WithoutEnd(std::string_view text) {
  const std::vector<Token> tokens = Tokenize(text);
  std::size_t end = 0;
  std::size_t at = 0;
  for (const Token& token : tokens) {
    at += token.text.size();
    if (token.Significant() && !token.Is(";")) end = at;
  }
  return text.substr(0, end);
}

std::string QuotedName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

// Runs a catalogue query with text values for its markers.
postgres::Result Query(const postgres::Database& db, const char* sql,
                       const std::vector<std::string>& values) {
  std::vector<const char*> pointers;
  for (const std::string& value : values) pointers.push_back(value.c_str());
  return db.Check(PQexecParams(db.get(), sql, static_cast<int>(pointers.size()), nullptr,
                               pointers.data(), nullptr, nullptr, 0));
}

std::string Text(const postgres::Result& result, int row, int column) {
  return std::string(PQgetvalue(result.get(), row, column),
                     static_cast<std::size_t>(PQgetlength(result.get(), row, column)));
}

// The identity (or serial) column of a table named as a statement names it;
// no row when it has none.
constexpr const char kIdentityColumn[] =
    "SELECT a.attname FROM pg_attribute a WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 "
    "AND NOT a.attisdropped AND (a.attidentity <> '' OR pg_get_serial_sequence($1, a.attname) IS "
    "NOT NULL) ORDER BY a.attnum LIMIT 1";
// The columns of a table with the comment that spells each name as the
// classes write it.
constexpr const char kColumnSpellings[] =
    "SELECT attnum, attname, coalesce(col_description(attrelid, attnum), '') FROM pg_attribute "
    "WHERE attrelid = $1::oid AND attnum > 0";
// The columns, in order, of the table or view that a name of one or two
// parts (schema and table, as the server reads them) finds, as a statement
// naming it would: a row a column, one row with a null name for a table
// without columns, no row when the name finds none. Every call that names a
// business table asks it, so it is one statement, prepared once per
// connection. The server's own catalogues (roles and their passwords among
// them) are no caller's business table.
constexpr const char kTableColumns[] =
    "SELECT a.attname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
    "WHERE c.relname = $1 AND c.relkind IN ('r', 'v', 'm', 'p', 'f') AND "
    "CASE WHEN $2 = '' THEN pg_table_is_visible(c.oid) ELSE n.nspname = $2 END AND "
    "n.nspname NOT LIKE 'pg\\_%' AND n.nspname <> 'information_schema' ORDER BY a.attnum";
// The lock that a writing unit of work takes of its store (its database and
// schema), prepared once per connection as well.
constexpr const char kLockStore[] =
    "SELECT pg_advisory_xact_lock(hashtext(current_database() || '.' || current_schema()))";
// Words that cannot stand bare as a column name.
constexpr const char kReservedWords[] =
    "SELECT word FROM pg_get_keywords() WHERE catcode IN ('R', 'T')";

// A name part as the server reads it: a bare or bracketed one folded to
// lower case.
std::string ServerName(const NamePart& part) {
  if (!part.bare && !part.bracketed) return part.name;
  std::string folded = part.name;
  for (char& c : folded) c = ascii::ToLower(c);
  return folded;
}

struct Shape {
  std::string text;     // the shape: the classes' text with its literals lifted out
  std::string adapted;  // in the server's dialect
  std::unique_ptr<postgres::Statement> statement;
  std::optional<postgres::ColumnReader> columns;
  bool recordsIdentity = false;  // an insert whose one row of result is the backend's own
  bool changesSchema = false;    // CREATE, ALTER or DROP
  // Blanks, comments and semicolons only: nothing runs, as on SQLite (the
  // server would answer with no result at all).
  bool runsNothing = false;
};

class PostgresBackend final : public ShapedBackend {
 public:
  explicit PostgresBackend(const ConnectionString& cs) : db_(ConnectionParameters(cs)) {}

  std::string_view Provider() const override { return kProvider; }
  BackendKind Kind() const override { return BackendKind::Postgres; }
  bool Lost() const override { return db_.Lost(); }

  ResultSet Execute(std::string_view text, std::span<const BoundValue> params) override {
    Started();
    parameterizer_.Parameterize(text);
    return Run(
        ShapeOf(parameterizer_.Shape()),
        [&](postgres::Statement& statement) {
          BindSlots(parameterizer_, params, statement.MarkerCount(), kProvider, Binder{statement});
        },
        [&] {
          std::vector<Oid> types;
          for (const Variant& value : SlotValues(parameterizer_, params)) {
            types.push_back(postgres::TypeOf(value));
          }
          return types;
        },
        0);
  }

  ResultSet ExecuteShape(std::string_view text, std::span<const BoundValue> values,
                         std::size_t maxRecords, const ColumnsRead* read) override {
    Started();
    return Run(
        ShapeOf(text),
        [&](postgres::Statement& statement) {
          BindShapeValues(values, statement.MarkerCount(), kProvider, Binder{statement});
        },
        [&] {
          std::vector<Oid> types;
          for (const BoundValue& value : values) types.push_back(postgres::TypeOf(value.value));
          return types;
        },
        maxRecords, read);
  }

  // The transaction goes to the server with the first request made in it,
  // in the same round trip (Started).
  void Begin(TransactionKind kind) override {
    beginPending_ = true;
    lockPending_ = kind == TransactionKind::Writing;
  }
  // One writer at a time per store, as on an embedded store: writers wait
  // for one another here rather than fail on each other's rows later. Each
  // statement after it sees every commit before it.
  void LockForWriting() override {
    if (beginPending_) {
      lockPending_ = true;
      return;
    }
    OwnStatement(lockStore_, "orvo_lock_store", kLockStore).Run();
  }
  // A transaction that made no request has nothing on the server to end.
  void Commit() override {
    if (std::exchange(beginPending_, false)) return;
    db_.Exec("COMMIT");
  }
  void Rollback() override {
    if (std::exchange(beginPending_, false)) return;
    if (PQtransactionStatus(db_.get()) == PQTRANS_IDLE) return;
    db_.Exec("ROLLBACK");
  }

  std::optional<std::vector<std::string>> TableColumns(const std::vector<NamePart>& name) override {
    // A third part names the database, and only the connection's own is there.
    if (name.empty() || name.size() > 3) return std::nullopt;
    if (name.size() == 3) {
      Started();
      const postgres::Result current = db_.Exec("SELECT current_database()");
      if (Text(current, 0, 0) != ServerName(name.front())) return std::nullopt;
    }
    const std::string schema = name.size() >= 2 ? ServerName(name[name.size() - 2]) : "";
    // Bound values are referenced until the statement has been sent.
    const Variant table(ServerName(name.back()));
    const Variant inSchema(schema);
    const auto bound = [&] {
      postgres::Statement& statement =
          OwnStatement(tableColumns_, "orvo_table_columns", kTableColumns);
      statement.Bind(0, table);
      statement.Bind(1, inSchema);
      return &statement;
    };
    // The catalogue is asked afresh on every call, in the round trip that
    // begins the unit of work when it is the first request in it: no answer
    // is older than the transaction that relies on it, and asking costs no
    // round trip of its own.
    const postgres::Result columns = beginPending_ ? Started(bound) : bound()->Run();
    if (PQntuples(columns.get()) == 0) return std::nullopt;
    std::vector<std::string> names;
    for (int row = 0; row < PQntuples(columns.get()); ++row) {
      if (PQgetisnull(columns.get(), row, 0) == 0) names.push_back(Text(columns, row, 0));
    }
    return names;
  }

  bool NamesColumn(const NamePart& written, std::string_view declared) const override {
    // A bare or bracketed name is folded to lower case, a quoted one is
    // compared as it is.
    return ServerName(written) == declared;
  }

  bool IsKeyword(std::string_view word) const override {
    if (reserved_.empty()) {
      const postgres::Result words = db_.Exec(kReservedWords);
      for (int row = 0; row < PQntuples(words.get()); ++row) {
        reserved_.insert(Text(words, row, 0));
      }
    }
    std::string folded(word);
    for (char& c : folded) c = ascii::ToLower(c);
    return reserved_.contains(folded);
  }

 private:
  const std::string& Adapted(std::string_view shape) override { return ShapeOf(shape).adapted; }

  // What the session knew goes with it: its prepared statements first, while
  // the connection still tells that they need no deallocating.
  void Reconnect() {
    shapes_.Clear();
    tableColumns_.reset();
    lockStore_.reset();
    spellings_.clear();
    db_.Reset();
  }

  // Sends the transaction that Begin began, with the next request to the
  // server in the same round trip: BEGIN, the store's lock for a writing
  // one, and `next` (a statement of the backend's own with its values bound)
  // when given, whose result it gives. A session that the server ended since
  // the last call (a restart) is opened again first: a unit of work that has
  // sent nothing loses nothing by beginning on a new one.
  postgres::Result Started(const std::function<postgres::Statement*()>& next = {}) {
    if (!std::exchange(beginPending_, false)) return postgres::Result();
    const bool lock = std::exchange(lockPending_, false);
    try {
      return SendStart(lock, next);
    } catch (const AutomationError&) {
      if (!db_.Lost()) throw;
      Reconnect();
      return SendStart(lock, next);
    }
  }

  postgres::Result SendStart(bool lock, const std::function<postgres::Statement*()>& next) {
    postgres::Statement* locking =
        lock ? &OwnStatement(lockStore_, "orvo_lock_store", kLockStore) : nullptr;
    postgres::Statement* then = next ? next() : nullptr;
    const int count = 1 + (locking != nullptr ? 1 : 0) + (then != nullptr ? 1 : 0);
    return db_.Pipelined(count, [&](PGconn* conn) {
      return PQsendQueryParams(conn, "BEGIN", 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
             (locking == nullptr || locking->Send()) && (then == nullptr || then->Send());
    });
  }

  // A statement of the backend's own, prepared on its first use.
  postgres::Statement& OwnStatement(std::unique_ptr<postgres::Statement>& statement,
                                    const char* name, const char* sql) {
    if (!statement) statement = std::make_unique<postgres::Statement>(db_, name, sql);
    return *statement;
  }

  // Binds the markers of a statement, from 0, as BindSlots hands them over.
  struct Binder {
    postgres::Statement& statement;
    void Value(std::size_t i, const Variant& value) const { statement.Bind(i, value); }
    void Lifted(std::size_t i, const LiftedValue& literal) const {
      statement.BindLifted(i, literal);
    }
  };

  // The cached shape of `text`, adapted on its first use; its statement is
  // prepared on its first run, so that a statement the server refuses is
  // still reported with what it would have run.
  Shape& ShapeOf(std::string_view text) {
    return shapes_.Find(text, [](std::string_view shape) {
      Shape made;
      made.text = std::string(shape);
      made.adapted = AdaptStatement(shape, kPostgresSpelling);
      made.runsNothing = WithoutEnd(made.adapted).empty();
      return made;
    });
  }

  // The server sends every row; only the first `maxRecords` (0: all) are
  // converted, and of each the columns `read` names (all without it).
  template <class Bind, class Types>
  ResultSet Run(Shape& shape, Bind&& bind, Types&& types, std::size_t maxRecords,
                const ColumnsRead* read = nullptr) {
    if (shape.runsNothing) return ResultSet{};
    Prepare(shape, types);
    bind(*shape.statement);
    postgres::Result result;
    try {
      result = shape.statement->Run();
    } catch (const AutomationError&) {
      // A table that another connection changed since the statement was
      // prepared: the server will not run the old plan, so the next call
      // prepares it anew.
      if (db_.LastState() == "0A000") {
        shape.statement.reset();
        shape.columns.reset();
      }
      throw;
    }
    if (shape.changesSchema) {
      // The statements prepared before it may read what it changed.
      shapes_.Clear();
      spellings_.clear();
      return ResultSet{};
    }
    if (shape.recordsIdentity) return ResultSet{};
    return shape.columns->ReadAll(result.get(), maxRecords, read);
  }

  template <class Types>
  void Prepare(Shape& shape, Types&& types) {
    if (shape.statement) return;
    std::string sql = shape.adapted;
    shape.changesSchema = ChangesSchema(sql);
    const std::string target = InsertTarget(shape.adapted);
    if (!target.empty()) {
      sql = RecordingIdentity(WithoutEnd(shape.adapted), target);
      shape.recordsIdentity = true;
    }
    // Where the server cannot tell a marker's type from where it stands
    // ("? + ?"), the values of this first run tell it. A refusal inside a
    // transaction would end it, so the first try runs in a savepoint.
    const bool inTransaction = PQtransactionStatus(db_.get()) == PQTRANS_INTRANS;
    if (inTransaction) db_.Exec("SAVEPOINT orvo_prepare");
    std::unique_ptr<postgres::Statement> statement;
    try {
      statement =
          std::make_unique<postgres::Statement>(db_, "orvo_" + std::to_string(++prepared_), sql);
    } catch (const AutomationError&) {
      if (!LacksTypes(db_.LastState())) throw;
      if (inTransaction) db_.Exec("ROLLBACK TO SAVEPOINT orvo_prepare");
      statement = std::make_unique<postgres::Statement>(db_, "orvo_" + std::to_string(++prepared_),
                                                        sql, types());
    }
    if (inTransaction) db_.Exec("RELEASE SAVEPOINT orvo_prepare");
    shape.columns.emplace(statement->Description(),
                          ColumnNames(statement->Description(), SelectsEveryColumn(sql)));
    shape.statement = std::move(statement);
  }

  // An insert that records the id it made in orvo.identity, for "select
  // @@IDENTITY" on this connection; the setting lasts past the transaction
  // unless it is rolled back, as the id read back would.
  std::string RecordingIdentity(std::string_view insert, const std::string& table) {
    const std::optional<std::string> identity = IdentityColumn(table);
    if (!identity) {
      return "WITH orvo_insert AS (" + std::string(insert) +
             ") SELECT set_config('orvo.identity', '', false)";
    }
    const std::string column = QuotedName(*identity);
    return "WITH orvo_insert AS (" + std::string(insert) + " RETURNING " + column +
           ") SELECT set_config('orvo.identity', coalesce(max(" + column +
           ")::text, ''), false) FROM orvo_insert";
  }

  std::optional<std::string> IdentityColumn(const std::string& table) {
    const postgres::Result found = Query(db_, kIdentityColumn, {table});
    if (PQntuples(found.get()) == 0) return std::nullopt;
    return Text(found, 0, 0);
  }

  // The names of a statement's columns as the classes spell them: where the
  // statement takes every column of a table, a column the statement does not
  // name itself by the comment that spells its name (the server keeps names
  // in lower case); any other as the statement or the server names it;
  // "@@IDENTITY" is the empty name.
  std::vector<std::string> ColumnNames(const PGresult* description, bool everyColumn) {
    std::vector<std::string> names;
    for (int i = 0; i < PQnfields(description); ++i) {
      std::string name = PQfname(description, i);
      if (name == "@@IDENTITY") {
        name.clear();
      } else if (const Oid table = PQftable(description, i); everyColumn && table != InvalidOid) {
        const std::string& spelled = Spelling(table, PQftablecol(description, i), name);
        if (!spelled.empty()) name = spelled;
      }
      names.push_back(std::move(name));
    }
    return names;
  }

  // The spelling of column `number` of `table` when the result names it as
  // the table does; "" otherwise.
  const std::string& Spelling(Oid table, int number, const std::string& resultName) {
    static const std::string kNone;
    auto found = spellings_.find(table);
    if (found == spellings_.end()) {
      std::unordered_map<int, std::pair<std::string, std::string>> columns;
      const postgres::Result rows = Query(db_, kColumnSpellings, {std::to_string(table)});
      for (int row = 0; row < PQntuples(rows.get()); ++row) {
        columns[std::stoi(Text(rows, row, 0))] = {Text(rows, row, 1), Text(rows, row, 2)};
      }
      found = spellings_.emplace(table, std::move(columns)).first;
    }
    const auto column = found->second.find(number);
    if (column == found->second.end()) return kNone;
    const auto& [declared, comment] = column->second;
    if (declared != resultName || !ascii::EqualsIgnoreCase(comment, declared)) return kNone;
    return comment;
  }

  // Declared first so that the statements are deallocated before it closes.
  postgres::Database db_;
  ShapeCache<Shape> shapes_;
  std::unique_ptr<postgres::Statement> tableColumns_;
  std::unique_ptr<postgres::Statement> lockStore_;
  // Begun, but not yet sent (Started): BEGIN, and the lock of a writing unit.
  bool beginPending_ = false;
  bool lockPending_ = false;
  std::size_t prepared_ = 0;  // statements prepared so far; each has a name of its own
  // Per table: column number to its declared name and its spelling comment.
  std::unordered_map<Oid, std::unordered_map<int, std::pair<std::string, std::string>>> spellings_;
  mutable std::unordered_set<std::string> reserved_;
};

}  // namespace

std::unique_ptr<Backend> OpenPostgresBackend(const ConnectionString& connectionString, IfMissing) {
  return std::make_unique<PostgresBackend>(connectionString);
}

}  // namespace orvo::ado
