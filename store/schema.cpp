#include "orvo/store/schema.hpp"
#include "ado/statement_observer.hpp"

#include <algorithm>
#include <functional>
#include <string_view>

#include "automation/ascii.hpp"

#include "orvo/automation/error.hpp"
#include "store/backend_schema.hpp"
#include "store/filling.hpp"
#include "store/postgres/schema_postgres.hpp"
#include "store/sqlite/schema_sqlite.hpp"
#include "store/tables.hpp"
#include "store/writing_transaction.hpp"

namespace orvo::store {

const BackendSchema& SchemaOf(const ado::Connection& connection) {
  switch (connection.Kind()) {
    case ado::BackendKind::Sqlite:
      return sqlite::Schema();
    case ado::BackendKind::Postgres:
      return postgres::Schema();
  }
  throw AutomationError(
      ado::kErrFailure, kLibraryName,
      "No schema is known for the provider " + std::string(connection.Provider()) + ".");
}

namespace {

void RefuseNewer(int stored, int current) {
  if (stored <= current) return;
  throw AutomationError(ado::kErrFailure, kLibraryName,
                        "The store has schema version " + std::to_string(stored) +
                            ", newer than the version " + std::to_string(current) +
                            " that this library knows; it was left as it was.");
}

}  // namespace

const std::vector<std::string>& TableNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> spelled;
    for (const Table& table : Tables()) spelled.push_back(table.name);
    return spelled;
  }();
  return names;
}

bool IsStoreTable(std::string_view table) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> kept = TableNames();
    for (const HistoryTable& history : HistoryTables()) kept.push_back(history.table.name);
    kept.emplace_back(kHistorySettings);
    kept.emplace_back(kHistoryVersionCounter);
    return kept;
  }();
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& name) { return ascii::EqualsIgnoreCase(name, table); });
}

std::vector<std::string> ObjectNames(ado::Connection& connection) {
  return SchemaOf(connection).ObjectNames(connection);
}

std::string_view BinaryColumnType(const ado::Connection& connection) {
  return SchemaOf(connection).BinaryType();
}

namespace {

// Brings the store current in one writing transaction and, when `fill` is
// given, runs it in that transaction after the schema is made, so that a
// failure of either leaves the store as it was.
SchemaOutcome BringCurrent(ado::Connection& connection, const std::function<void()>* fill) {
  const BackendSchema& schema = SchemaOf(connection);
  const int current = schema.CurrentVersion();
  const int found = schema.StoredVersion(connection);
  RefuseNewer(found, current);
  // A current, complete store is only read, so that a store the process may
  // only read still passes.
  if (fill == nullptr && found == current && schema.Complete(connection)) {
    return {SchemaOutcome::Action::Current, current, current};
  }
  // A store that cannot be upgraded is refused before anything of it
  // changes, its journal mode included.
  if (found != 0 && found < current) schema.CheckUpgrade(connection, found);

  schema.PrepareChange(connection);
  return InWritingTransaction(connection, [&] {
    // Read again under the write lock: another process may have created or
    // upgraded the store in the meantime.
    const int stored = schema.StoredVersion(connection);
    RefuseNewer(stored, current);
    SchemaOutcome outcome{SchemaOutcome::Action::Current, current, stored};
    if (stored == 0) {
      outcome.action = SchemaOutcome::Action::Created;
      schema.Create(connection);
    } else if (stored < current) {
      outcome.action = SchemaOutcome::Action::Upgraded;
      schema.Upgrade(connection, stored);
    } else {
      schema.Create(connection);
    }
    schema.RecordVersion(connection);
    if (fill != nullptr) (*fill)();
    return outcome;
  });
}

}  // namespace

SchemaOutcome CreateSchema(ado::Connection& connection) {
  return BringCurrent(connection, nullptr);
}

SchemaOutcome CreateSchemaThen(ado::Connection& connection, const std::function<void()>& fill) {
  return BringCurrent(connection, &fill);
}

int NewestSchemaVersion() {
  return std::max(sqlite::Schema().CurrentVersion(), postgres::Schema().CurrentVersion());
}

SchemaOutcome CreateStore(std::string_view dataSource,
                          const std::shared_ptr<ado::StatementObserver>& observer) {
  const std::shared_ptr<ado::Connection> connection =
      ado::Connection::Open(dataSource, ado::IfMissing::Create);
  connection->SetObserver(observer);
  return CreateSchema(*connection);
}

}  // namespace orvo::store
