#include "store/sqlite/schema_sqlite.hpp"

namespace orvo::store::sqlite {

namespace {

// Columns shared by the two bill row tables; the partitioned one adds FDataFrom.
constexpr const char* kBillRowColumns =
    "FId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " FBillType INTEGER,"
    " FBillId INTEGER,"
    " FPreparerId INTEGER,"
    " FDate DATETIME,"
    " FName VARCHAR(255) COLLATE ORVO_CI,"
    " FData VARCHAR(255) COLLATE ORVO_CI,"
    " FBillTypeSub VARCHAR(255) COLLATE ORVO_CI,"
    " FSel INTEGER,"
    " FPrintSet BLOB";

// Template names are bound with up to 510 characters when a body is replaced.
constexpr const char* kBillNoteColumns =
    "FId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " FName VARCHAR(510) COLLATE ORVO_CI,"
    " FScreenId VARCHAR(20) COLLATE ORVO_CI,"
    " FCreatorName VARCHAR(30) COLLATE ORVO_CI,"
    " FModifierName VARCHAR(30) COLLATE ORVO_CI,"
    " FNewBillType INTEGER,"
    " FCreateDate DATETIME,"
    " FModifyDate DATETIME,"
    " FData BLOB";

std::vector<std::string> Build() {
  const std::string bill_row = kBillRowColumns;
  const std::string bill_note = kBillNoteColumns;
  return {
      "CREATE TABLE IF NOT EXISTS T_PrintExport (" + bill_row + ")",
      "CREATE TABLE IF NOT EXISTS T_PrintExportNote (" + bill_note + ")",
      "CREATE TABLE IF NOT EXISTS T_PrintExportLM (" + bill_row + ", FDataFrom INTEGER)",
      "CREATE TABLE IF NOT EXISTS T_PrintExportNoteLM (" + bill_note + ", FDataFrom INTEGER)",
      "CREATE TABLE IF NOT EXISTS T_RptExcelPrintExport ("
      "FId INTEGER PRIMARY KEY AUTOINCREMENT,"
      " FRptId INTEGER,"
      " FNoteId INTEGER,"
      " FPreparerId INTEGER,"
      " FDate DATETIME,"
      " FName VARCHAR(255) COLLATE ORVO_CI,"
      " FData VARCHAR(255) COLLATE ORVO_CI,"
      " FSel INTEGER,"
      " FPrintSet BLOB,"
      " FTypeSub VARCHAR(255) COLLATE ORVO_CI)",
      "CREATE TABLE IF NOT EXISTS T_RptExcelPrintExportNote ("
      "FId INTEGER PRIMARY KEY AUTOINCREMENT,"
      " FName VARCHAR(510) COLLATE ORVO_CI,"
      " FScreenId VARCHAR(20) COLLATE ORVO_CI,"
      " FCreatorName VARCHAR(30) COLLATE ORVO_CI,"
      " FModifierName VARCHAR(30) COLLATE ORVO_CI,"
      " FNewRptId INTEGER,"
      " FCreateDate DATETIME,"
      " FModifyDate DATETIME,"
      " FData BLOB)",
      // The access paths of the statements: a user's rows of a bill type or
      // report by template id; templates by creator, screen id and name, and
      // by bill type (or report) and name.
      "CREATE INDEX IF NOT EXISTS IX_PrintExport_User"
      " ON T_PrintExport (FPreparerId, FBillType, FBillId)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExport_Name ON T_PrintExport (FBillType, FName)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportNote_Creator"
      " ON T_PrintExportNote (FCreatorName, FScreenId, FName)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportNote_Type"
      " ON T_PrintExportNote (FNewBillType, FName)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportLM_User"
      " ON T_PrintExportLM (FPreparerId, FBillType, FDataFrom, FBillId)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportLM_Name ON T_PrintExportLM (FBillType, FName)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportNoteLM_Creator"
      " ON T_PrintExportNoteLM (FCreatorName, FScreenId, FName)",
      "CREATE INDEX IF NOT EXISTS IX_PrintExportNoteLM_Type"
      " ON T_PrintExportNoteLM (FNewBillType, FName)",
      "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExport_User"
      " ON T_RptExcelPrintExport (FPreparerId, FRptId, FNoteId)",
      "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExportNote_Creator"
      " ON T_RptExcelPrintExportNote (FCreatorName, FScreenId, FName)",
      "CREATE INDEX IF NOT EXISTS IX_RptExcelPrintExportNote_Type"
      " ON T_RptExcelPrintExportNote (FNewRptId, FName)",
  };
}

}  // namespace

const std::vector<std::string>& SchemaStatements() {
  static const std::vector<std::string> statements = Build();
  return statements;
}

}  // namespace orvo::store::sqlite
