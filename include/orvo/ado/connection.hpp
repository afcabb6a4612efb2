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

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/export.hpp"

namespace orvo::ado {

// What the library's own layers hand a connection: ado/backend.hpp,
// ado/shaped_statement.hpp, ado/statement_observer.hpp, ado/types.hpp.
class Backend;
class ColumnsRead;
class Recordset;
class ShapedStatement;
class StatementObserver;
struct BoundValue;
struct ResultSet;

// What opening a data source does when its database does not exist yet. Only
// what sets up a store asks to create one; a call that names a missing
// database fails rather than work on an empty one.
enum class IfMissing { Fail, Create };

// A failure of a unit of work that running it again may not meet: the
// database ended the transaction to let another one go on (a serialisation
// failure, a deadlock). The transaction is lost; the unit of work may run
// again from its start.
class ORVO_EXPORT TransientError : public AutomationError {
 public:
  explicit TransientError(const AutomationError& error) : AutomationError(error) {}
};

// One part of a name that a caller passes, as a connection reads it.
struct NamePart {
  std::string name;        // without its quotes: [a]]b] is a]b
  bool bare;               // written without brackets or quotes, so possibly a keyword
  bool bracketed = false;  // written [so]: compared as a bare name is, whatever it holds
};

class ORVO_EXPORT Connection : public Dispatch {
 public:
  // Opens a connection to a data source text; raises the backend's error
  // (number 0x80004005 and the provider as source) when it cannot be opened
  // or its database does not exist (unless `ifMissing` asks to create it),
  // 0x800A0E7A "Provider cannot be found" for an unknown provider, and
  // 0x800A0BB9 for a malformed text or a key the provider does not read.
  static std::shared_ptr<Connection> Open(std::string_view connectionString,
                                          IfMissing ifMissing = IfMissing::Fail);

  ORVO_INTERNAL explicit Connection(std::unique_ptr<Backend> backend);
  ~Connection() override;

  const ClassInfo& TypeInfo() const override;

  // Runs a statement text. A statement that returns rows gives an open
  // recordset positioned on its first row; any other gives a closed one.
  // `options` is accepted as the classes pass it (-1) and otherwise ignored.
  std::shared_ptr<Recordset> Execute(std::string_view text, std::int32_t options = -1);

  // Runs a statement given in its shape; the observer sees its text as its
  // caller wrote it, and no parameters, as for Execute of that text. The
  // recordset holds at most `maxRecords` of its rows, all of them for 0
  // (ADO's MaxRecords): a caller that reads the first row only reads no more.
  // With `read`, it holds only the values of the columns that `read` names.
  // The recordset is detached (no ActiveConnection): the library's reads
  // take their rows and never reach the connection through it.
  ORVO_INTERNAL std::shared_ptr<Recordset> Execute(const ShapedStatement& statement,
                                                   std::size_t maxRecords = 0,
                                                   const ColumnsRead* read = nullptr);
  // The same, the rows given by value: a read that keeps them for the length
  // of a call costs no object of its own.
  ORVO_INTERNAL Recordset Read(const ShapedStatement& statement, std::size_t maxRecords = 0,
                               const ColumnsRead* read = nullptr);

  // Runs a statement with values for its "?" markers, already converted to
  // their parameter types. Used by Command.
  ORVO_INTERNAL std::shared_ptr<Recordset> ExecuteWith(std::string_view text,
                                                       const std::vector<BoundValue>& params);

  // "SQLite" or "PostgreSQL": the source of the backend's errors.
  std::string_view Provider() const;
  BackendKind Kind() const;

  // What the checks of names that callers pass ask of the database, answered
  // by the backend; the observer sees no statement for them.
  // The columns of the table or view named by `name` (its parts as SplitName
  // gives them: the table, or its schema and the table); nullopt when there
  // is none.
  ORVO_INTERNAL std::optional<std::vector<std::string>> TableColumns(
      const std::vector<NamePart>& name);
  // Whether `written` names the column declared as `declared`, as the
  // database compares names (on some, a quoted name keeps its case).
  ORVO_INTERNAL bool NamesColumn(const NamePart& written, std::string_view declared) const;
  // True when `word`, written bare in a statement, is a keyword or a value
  // (null, true) rather than a name.
  ORVO_INTERNAL bool IsKeyword(std::string_view word) const;

  // How this connection reads the names and values that callers pass for
  // business tables: with the tokenizer that adapts every statement, so that
  // a check of a caller's text and the database never read it differently.
  // The parts of `text` when it is names joined by "." and nothing else (no
  // blanks, no comments), each a bare name or a closed [bracketed] or
  // "quoted" one holding no NUL; nullopt otherwise.
  ORVO_INTERNAL std::optional<std::vector<NamePart>> SplitName(std::string_view text) const;
  // Whether `text` is one literal value and nothing else: a number with an
  // optional sign, or a text between single quotes whose quotes are doubled.
  ORVO_INTERNAL bool IsLiteral(std::string_view text) const;
  // Whether `text` is one or more literals separated by commas, blanks
  // allowed between them: what may stand between the parentheses of IN.
  ORVO_INTERNAL bool IsLiteralList(std::string_view text) const;

  // Lets this connection read stores made by earlier versions of the library
  // (on SQLite, text columns declaring the former "ORVO_CI" collation). Only
  // the schema upgrade needs it.
  ORVO_INTERNAL void AcceptEarlierSchemas();

  // Transactions belong to the host's units of work; the classes never call these.
  void BeginTrans(TransactionKind kind = TransactionKind::Reading);
  void CommitTrans();
  // Inside a transaction begun for reading that has written nothing yet:
  // takes the write lock, waiting for another writer as a writing
  // transaction does as it begins. What the transaction read before may have
  // changed by then: read again what the writes depend on.
  void LockForWriting();
  // A rollback that fails leaves the connection broken: whether its
  // transaction is still open is not known, so it must not be used again.
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }
  // Whether a failed rollback left this connection in a state no later call
  // may rely on, or the connection to the database is gone; a pool replaces
  // such a connection.
  bool Broken() const;

  void SetObserver(std::shared_ptr<StatementObserver> observer) { observer_ = std::move(observer); }
  const std::shared_ptr<StatementObserver>& Observer() const { return observer_; }

 private:
  // A recordset of what a statement gave back, attached to this connection
  // when it has rows.
  ORVO_INTERNAL std::shared_ptr<Recordset> Rows(ResultSet result);

  std::unique_ptr<Backend> backend_;
  std::shared_ptr<StatementObserver> observer_;
  bool inTransaction_ = false;
  bool broken_ = false;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_CONNECTION_HPP_
