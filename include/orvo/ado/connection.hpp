// Connection is an open database connection of the data-access layer: it runs
// statement texts written for the original database server (adapting them to
// the backend's dialect), reports every statement to an optional observer, and
// gives the host its transactions. Which backend runs is chosen by the
// connection string's provider; nothing above this layer knows it.
//
// A connection is used on one thread at a time. Recordsets it returns are
// fully read and stay readable after the connection is gone.

#ifndef ORVO_ADO_CONNECTION_HPP_
#define ORVO_ADO_CONNECTION_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::ado {

class Backend;
class Recordset;

// A data source text: key=value pairs separated by ";", keys without regard
// to case. "Provider" picks the backend (SQLite when absent). A value may be
// quoted with " or ' (the quote doubled inside) to hold a ";". An entry
// without "=" or without a key, an unclosed quote and text after a closing
// quote are refused with 0x800A0BB9; a key given twice keeps its last value.
class ConnectionString {
 public:
  static ConnectionString Parse(std::string_view text);

  // The value of a key (any case), or "" when absent.
  std::string Get(std::string_view key) const;
  bool Has(std::string_view key) const;
  // Every key given, as the text first spells it, in the order given.
  std::vector<std::string> Keys() const;
  // The provider named, "SQLite" when none is.
  std::string Provider() const;
  const std::string& Text() const { return text_; }

 private:
  struct Entry {
    std::string key;  // as written
    std::string value;
  };
  const Entry* Find(std::string_view key) const;
  Entry* Find(std::string_view key);

  std::string text_;
  std::vector<Entry> entries_;
};

// What opening a data source does when its database does not exist yet. Only
// what sets up a store asks to create one; a call that names a missing
// database fails rather than work on an empty one.
enum class IfMissing { Fail, Create };

// The steps of a transaction that a connection takes for its host.
enum class TransactionStep { Begin, Commit, Rollback };

// Sees every statement before it runs, the text the backend runs for it, and
// its outcome after. BeforeExecute may throw an AutomationError to make the
// statement fail with that error, which is the seam that fault tests use;
// BeforeTransaction is the same seam for the steps of a transaction.
class StatementObserver {
 public:
  virtual ~StatementObserver() = default;
  // `text` is the statement as the caller wrote it; `params` the values bound
  // to its markers, after conversion to their parameter types.
  virtual void BeforeExecute(std::string_view text, const std::vector<Variant>& params) = 0;
  // After BeforeExecute and before the statement runs: `ran` is the text that
  // the backend runs for `text`, adapted to its database's dialect.
  virtual void Adapted(std::string_view /*text*/, std::string_view /*ran*/) {}
  // `error` is null when the statement succeeded.
  virtual void AfterExecute(std::string_view text, const AutomationError* error) = 0;
  // Before the connection begins, commits or rolls back a transaction; may
  // throw to make that step fail. Statement traces leave these out.
  virtual void BeforeTransaction(TransactionStep /*step*/) {}
};

class Connection : public Dispatch {
 public:
  // Opens a connection to a data source text; raises the backend's error
  // (number 0x80004005 and the provider as source) when it cannot be opened
  // or its database does not exist (unless `ifMissing` asks to create it),
  // 0x800A0E7A "Provider cannot be found" for an unknown provider, and
  // 0x800A0BB9 for a malformed text or a key the provider does not read.
  static std::shared_ptr<Connection> Open(std::string_view connectionString,
                                          IfMissing ifMissing = IfMissing::Fail);

  explicit Connection(std::unique_ptr<Backend> backend);
  ~Connection() override;

  const ClassInfo& TypeInfo() const override;

  // Runs a statement text. A statement that returns rows gives an open
  // recordset positioned on its first row; any other gives a closed one.
  // `options` is accepted as the classes pass it (-1) and otherwise ignored.
  std::shared_ptr<Recordset> Execute(std::string_view text, std::int32_t options = -1);

  // Runs a statement with values for its "?" markers, already converted to
  // their parameter types. Used by Command.
  std::shared_ptr<Recordset> ExecuteWith(std::string_view text,
                                         const std::vector<BoundValue>& params);

  // "SQLite" or "PostgreSQL": the source of the backend's errors.
  std::string_view Provider() const;

  // What the checks of names that callers pass ask of the database, answered
  // by the backend; the observer sees no statement for them.
  // The columns of the table or view named by `name` (its parts without
  // quotes: the table, or its schema and the table); nullopt when there is none.
  std::optional<std::vector<std::string>> TableColumns(const std::vector<std::string>& name);
  // True when `word`, written bare in a statement, is a keyword or a value
  // (null, true) rather than a name.
  bool IsKeyword(std::string_view word) const;

  // Lets this connection read stores made by earlier versions of the library
  // (on SQLite, text columns declaring the former "ORVO_CI" collation). Only
  // the schema upgrade needs it.
  void AcceptEarlierSchemas();

  // Transactions belong to the host's units of work; the classes never call these.
  void BeginTrans(TransactionKind kind = TransactionKind::Reading);
  void CommitTrans();
  // A rollback that fails leaves the connection broken: whether its
  // transaction is still open is not known, so it must not be used again.
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }
  // Whether a failed rollback left this connection in a state no later call
  // may rely on; a pool replaces such a connection.
  bool Broken() const { return broken_; }

  void SetObserver(std::shared_ptr<StatementObserver> observer) { observer_ = std::move(observer); }
  const std::shared_ptr<StatementObserver>& Observer() const { return observer_; }

 private:
  std::unique_ptr<Backend> backend_;
  std::shared_ptr<StatementObserver> observer_;
  bool inTransaction_ = false;
  bool broken_ = false;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_CONNECTION_HPP_
