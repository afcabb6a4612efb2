#include "orvo/store/schema.hpp"

#include <string_view>

#include "orvo/ado/recordset.hpp"
#include "orvo/automation/error.hpp"
#include "store/sqlite/schema_sqlite.hpp"

namespace orvo::store {

const std::vector<std::string>& TableNames() {
  static const std::vector<std::string> names = {
      "T_PrintExport",       "T_PrintExportNote",     "T_PrintExportLM",
      "T_PrintExportNoteLM", "T_RptExcelPrintExport", "T_RptExcelPrintExportNote",
  };
  return names;
}

void CreateSchema(ado::Connection& connection) {
  const std::vector<std::string>* statements = nullptr;
  if (connection.Provider() == "SQLite") statements = &sqlite::SchemaStatements();
  if (statements == nullptr) {
    throw AutomationError(
        ado::kErrFailure, kLibraryName,
        "No schema is known for the provider " + std::string(connection.Provider()) + ".");
  }
  for (const std::string& statement : *statements) connection.Execute(statement);
}

void CreateStore(std::string_view dataSource,
                 const std::shared_ptr<ado::StatementObserver>& observer) {
  const std::shared_ptr<ado::Connection> connection =
      ado::Connection::Open(dataSource, ado::IfMissing::Create);
  connection->SetObserver(observer);
  CreateSchema(*connection);
}

}  // namespace orvo::store
