// Backend is the one small interface behind which each database lives: it runs
// a statement text as the classes wrote it (adapting it to its own dialect),
// reads every row of the result, and keeps a transaction. A backend maps its
// database's failures to AutomationErrors: 0x80040E14 for a statement the
// database refuses, 0x80040E2F for a constraint violation, 0x80004005 for any
// other failure, with its provider name as source and the database's own
// message as description.
//
// A backend object is one database connection, used on one thread at a time.

#ifndef ORVO_ADO_BACKEND_HPP_
#define ORVO_ADO_BACKEND_HPP_

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/bound_value.hpp"
#include "ado/columns_read.hpp"
#include "ado/connection_string.hpp"
#include "ado/statement_observer.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::ado {

class Backend {
 public:
  virtual ~Backend() = default;

  // "SQLite", "PostgreSQL": the source of this backend's errors.
  virtual std::string_view Provider() const = 0;
  virtual BackendKind Kind() const = 0;
  // Whether the connection to the database is gone (a server restarted, a
  // network cut): nothing more can run on it, and a pool replaces it.
  virtual bool Lost() const { return false; }

  // Runs one statement with values for its "?" markers in order. A backend
  // lifts the literals of the text into markers of its own, so that one
  // prepared statement serves every text of one shape.
  virtual ResultSet Execute(std::string_view text, std::span<const BoundValue> params) = 0;

  // Lets this connection read what stores made by earlier versions of the
  // library declare, so that the schema upgrade can rebuild them. A backend
  // whose stores never declared anything of the library's own does nothing.
  virtual void AcceptEarlierSchemas() {}

  virtual void Begin(TransactionKind kind) = 0;
  // Inside a reading transaction that has written nothing: takes the write
  // lock that a writing one takes as it begins. What the transaction read
  // before may have changed by then.
  virtual void LockForWriting() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;

  // Runs a statement already in its shape: `values` for its markers, in
  // order; nothing in it is lifted out. Reads at most `maxRecords` of its
  // rows, all of them for 0 (ADO's MaxRecords), and of each row the columns
  // that `read` names, every column when it is null.
  virtual ResultSet ExecuteShape(std::string_view shape, std::span<const BoundValue> values,
                                 std::size_t maxRecords, const ColumnsRead* read) = 0;
  // What this backend runs for that shape: adapted to its dialect.
  virtual RanStatement RanShape(std::string_view shape, std::span<const BoundValue> values) = 0;

  // What this backend runs for `text` with `params`: the text adapted to its
  // dialect, with its literals lifted out as markers, and the values bound to
  // every marker in order. What the connection's observer is told; Execute
  // does the same work again, so it is asked only when someone observes.
  virtual RanStatement Ran(std::string_view text, std::span<const BoundValue> params) = 0;

  // Schema questions that the checks of names callers pass ask; answered
  // without running a statement of the caller's.

  // The columns of the table or view named by `name` (its parts: the table,
  // or its schema and the table, or its database, schema and table), as the
  // database declares them; nullopt when the database has no such table or
  // view of its callers (its own bookkeeping tables do not count).
  virtual std::optional<std::vector<std::string>> TableColumns(
      const std::vector<NamePart>& name) = 0;
  // Whether `written`, standing in a statement, names the column that the
  // database declares as `declared`.
  virtual bool NamesColumn(const NamePart& written, std::string_view declared) const = 0;
  // True when `word`, written bare in a statement, is a keyword or a value of
  // the database (null, true) rather than a name.
  virtual bool IsKeyword(std::string_view word) const = 0;
};

// Opens a backend for a parsed data source text; each backend folder provides
// one of these.
using BackendOpener = std::unique_ptr<Backend> (*)(const ConnectionString&, IfMissing);

// A backend built into the library: its provider name, how to open it, and
// the data source keys it reads. A data source text naming the provider may
// hold these keys and those that every provider accepts, and no others.
struct BackendInfo {
  std::string_view provider;
  BackendOpener open;
  std::span<const std::string_view> keys;
  // The key whose value names a database file, relative to the current
  // directory unless absolute; "" when the database is not a file.
  std::string_view fileKey;
};

// The backend of a provider name (any case), or null when none is built in.
const BackendInfo* FindBackend(std::string_view provider);

}  // namespace orvo::ado

#endif  // ORVO_ADO_BACKEND_HPP_
