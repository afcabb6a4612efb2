#include "orvo/ado/connection.hpp"
#include "ado/bound_value.hpp"
#include "ado/shaped_statement.hpp"
#include "ado/statement_observer.hpp"

#include <algorithm>
#include <span>

#include "ado/backend.hpp"
#include "ado/errors.hpp"
#include "automation/ascii.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::ado {

namespace {

constexpr const char* kSource = "ADODB.Connection";

std::vector<Variant> ValuesOf(std::span<const BoundValue> params) {
  std::vector<Variant> values;
  values.reserve(params.size());
  for (const BoundValue& p : params) values.push_back(p.value);
  return values;
}

// Keys that any data source text may hold, whichever provider runs it: the
// provider itself and the component's own settings (the message language).
constexpr std::string_view kKeysOfEveryProvider[] = {"Provider", "Language"};

bool IsAmong(std::string_view key, std::span<const std::string_view> keys) {
  return std::any_of(keys.begin(), keys.end(),
                     [&](std::string_view known) { return ascii::EqualsIgnoreCase(known, key); });
}

// A key nobody reads is a mistake (another database's connection string, a
// misspelling); left alone it would open something other than meant.
void RefuseUnknownKeys(const ConnectionString& parsed, const BackendInfo& backend) {
  for (const std::string& key : parsed.Keys()) {
    if (IsAmong(key, kKeysOfEveryProvider) || IsAmong(key, backend.keys)) continue;
    std::string known;
    for (const auto keys :
         {std::span<const std::string_view>(kKeysOfEveryProvider), backend.keys}) {
      for (std::string_view name : keys) known += (known.empty() ? "" : ", ") + std::string(name);
    }
    throw InvalidArgumentError(kSource, "The data source text has a key that the " +
                                            std::string(backend.provider) +
                                            " provider does not know: " + QuotedForError(key) +
                                            " (it knows " + known + ")");
  }
}

// A text that is not well-formed UTF-8 would be stored as bytes that read
// back as other characters, and then name something else: it never reaches
// the database.
void RefuseMalformedValues(std::span<const BoundValue> params) {
  for (std::size_t i = 0; i < params.size(); ++i) {
    const Variant& value = params[i].value;
    if (value.kind() == Variant::Kind::String && !IsValidUtf8(value.AsString())) {
      throw RuntimeError(kInvalidProcedureCall, "The text bound to marker " +
                                                    std::to_string(i + 1) + " is not valid UTF-8.");
    }
  }
}

void RefuseMalformedText(std::string_view text, std::span<const BoundValue> params) {
  if (!IsValidUtf8(text)) {
    throw RuntimeError(kInvalidProcedureCall, "The statement text is not valid UTF-8.");
  }
  RefuseMalformedValues(params);
}

}  // namespace

std::shared_ptr<Connection> Connection::Open(std::string_view connectionString,
                                             IfMissing ifMissing) {
  const ConnectionString parsed = ConnectionString::Parse(connectionString);
  const BackendInfo* backend = FindBackend(parsed.Provider());
  if (backend == nullptr) {
    throw AutomationError(kErrProviderNotFound, kSource,
                          "Provider cannot be found. It may not be properly installed.");
  }
  RefuseUnknownKeys(parsed, *backend);
  return std::make_shared<Connection>(backend->open(parsed, ifMissing));
}

Connection::Connection(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

Connection::~Connection() {
  // A connection dropped inside a transaction keeps none of its work.
  if (inTransaction_) {
    try {
      backend_->Rollback();
    } catch (...) {
      // The database ends the transaction itself when the handle closes.
    }
  }
}

const ClassInfo& Connection::TypeInfo() const {
  static const ClassInfo info{"Connection", "", "_Connection", "", "ADODB.Connection", {}, nullptr};
  return info;
}

std::shared_ptr<Recordset> Connection::Execute(std::string_view text, std::int32_t /*options*/) {
  return ExecuteWith(text, {});
}

std::shared_ptr<Recordset> Connection::ExecuteWith(std::string_view text,
                                                   const std::vector<BoundValue>& params) {
  // Hold the observer for the whole statement, even if it replaces itself.
  const std::shared_ptr<StatementObserver> observer = observer_;
  RefuseMalformedText(text, params);
  ResultSet result;
  try {
    if (observer) {
      observer->BeforeExecute(text, ValuesOf(params));
      observer->Adapted(text, backend_->Ran(text, params));
    }
    result = backend_->Execute(text, params);
  } catch (const AutomationError& error) {
    if (observer) observer->AfterExecute(text, &error);
    throw;
  }
  if (observer) observer->AfterExecute(text, nullptr);
  return Rows(std::move(result));
}

std::shared_ptr<Recordset> Connection::Rows(ResultSet result) {
  const bool hasRows = result.hasRows;
  auto recordset = std::make_shared<Recordset>(std::move(result));
  if (hasRows) {
    recordset->SetActiveConnection(std::static_pointer_cast<Connection>(weak_from_this().lock()));
  }
  return recordset;
}

std::shared_ptr<Recordset> Connection::Execute(const ShapedStatement& statement,
                                               std::size_t maxRecords, const ColumnsRead* read) {
  return std::make_shared<Recordset>(Read(statement, maxRecords, read));
}

Recordset Connection::Read(const ShapedStatement& statement, std::size_t maxRecords,
                           const ColumnsRead* read) {
  const std::shared_ptr<StatementObserver> observer = observer_;
  std::span<const BoundValue> values = statement.Values();
  if (statement.ShapeKnownWellFormed()) {
    RefuseMalformedValues(values);
  } else {
    RefuseMalformedText(statement.Shape(), values);
  }
  ResultSet result;
  std::string text;
  try {
    if (observer) {
      text = statement.Text();
      observer->BeforeExecute(text, {});
      observer->Adapted(text, backend_->RanShape(statement.Shape(), values));
    }
    result = backend_->ExecuteShape(statement.Shape(), values, maxRecords, read);
  } catch (const AutomationError& error) {
    if (observer) observer->AfterExecute(text, &error);
    throw;
  }
  if (observer) observer->AfterExecute(text, nullptr);
  return Recordset(std::move(result));
}

std::string_view Connection::Provider() const {
  return backend_->Provider();
}

BackendKind Connection::Kind() const {
  return backend_->Kind();
}

std::optional<std::vector<std::string>> Connection::TableColumns(
    const std::vector<NamePart>& name) {
  return backend_->TableColumns(name);
}

bool Connection::NamesColumn(const NamePart& written, std::string_view declared) const {
  return backend_->NamesColumn(written, declared);
}

bool Connection::Broken() const {
  return broken_ || backend_->Lost();
}

bool Connection::IsKeyword(std::string_view word) const {
  return backend_->IsKeyword(word);
}

void Connection::AcceptEarlierSchemas() {
  backend_->AcceptEarlierSchemas();
}

void Connection::BeginTrans(TransactionKind kind) {
  if (inTransaction_) {
    throw AutomationError(kErrFailure, kSource,
                          "A transaction is already open on this connection.");
  }
  if (observer_) observer_->BeforeTransaction(TransactionStep::Begin);
  backend_->Begin(kind);
  inTransaction_ = true;
}

void Connection::CommitTrans() {
  if (!inTransaction_) {
    throw AutomationError(kErrFailure, kSource, "No transaction is open on this connection.");
  }
  // A commit that fails leaves the transaction open, for the caller to roll back.
  if (observer_) observer_->BeforeTransaction(TransactionStep::Commit);
  backend_->Commit();
  inTransaction_ = false;
}

void Connection::LockForWriting() {
  if (inTransaction_) backend_->LockForWriting();
}

void Connection::RollbackTrans() {
  if (!inTransaction_) {
    throw AutomationError(kErrFailure, kSource, "No transaction is open on this connection.");
  }
  try {
    if (observer_) observer_->BeforeTransaction(TransactionStep::Rollback);
    backend_->Rollback();
  } catch (...) {
    broken_ = true;
    throw;
  }
  inTransaction_ = false;
}

}  // namespace orvo::ado
