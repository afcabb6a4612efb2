#include "store/tables.hpp"

namespace orvo::store {

namespace {

Column Identity() {
  return {"FId", ColumnKind::Identity};
}
Column WholeNumber(const char* name) {
  return {name, ColumnKind::WholeNumber};
}
Column Text(const char* name, int characters) {
  return {name, ColumnKind::Text, characters};
}
Column Date(const char* name) {
  return {name, ColumnKind::Date};
}
Column Binary(const char* name) {
  return {name, ColumnKind::Binary};
}

std::vector<Column> With(std::vector<Column> columns, const Column& added) {
  columns.push_back(added);
  return columns;
}

// Every text the template copies bind with a size is held to that size here,
// so that no row a caller could write stops another user's first copy.
std::vector<Table> BuildTables() {
  const std::vector<Column> billRow = {Identity(),
                                       WholeNumber("FBillType"),
                                       WholeNumber("FBillId"),
                                       WholeNumber("FPreparerId"),
                                       Date("FDate"),
                                       Text("FName", 255),
                                       Text("FData", 255),
                                       Text("FBillTypeSub", 255),
                                       WholeNumber("FSel"),
                                       Binary("FPrintSet")};
  const auto note = [](const char* billType) {
    return std::vector<Column>{Identity(),
                               Text("FName", 255),
                               Text("FScreenId", 20),
                               Text("FCreatorName", 30),
                               Text("FModifierName", 30),
                               WholeNumber(billType),
                               Date("FCreateDate"),
                               Date("FModifyDate"),
                               Binary("FData")};
  };
  const Column dataFrom = WholeNumber("FDataFrom");
  // A row table's rows of no template (0: the user's settings, -1: the bill
  // type's set) are settings; the others only point at a template.
  const std::string billSettings = "FBillId <= 0";
  return {
      {"T_PrintExport", billRow, billSettings},
      {"T_PrintExportNote", note("FNewBillType"), ""},
      {"T_PrintExportLM", With(billRow, dataFrom), billSettings},
      {"T_PrintExportNoteLM", With(note("FNewBillType"), dataFrom), ""},
      {"T_RptExcelPrintExport",
       {Identity(), WholeNumber("FRptId"), WholeNumber("FNoteId"), WholeNumber("FPreparerId"),
        Date("FDate"), Text("FName", 255), Text("FData", 255), WholeNumber("FSel"),
        Binary("FPrintSet"), Text("FTypeSub", 255)},
       "FNoteId <= 0"},
      {"T_RptExcelPrintExportNote", note("FNewRptId"), ""},
  };
}

}  // namespace

const std::vector<Table>& Tables() {
  static const std::vector<Table> tables = BuildTables();
  return tables;
}

// The access paths of the statements, so that no statement's cost grows with
// the number of users: a user's rows of a bill type or report by template
// id; the rows of a bill type by template id (its bill-type-set row) and by
// name; the selected rows of a bill type by sub-type (anyone's selection);
// templates by creator, screen id and name, and by bill type (or report) and
// name.
const std::vector<Index>& Indexes() {
  static const std::vector<Index> indexes = {
      {"IX_PrintExport_User", "T_PrintExport", "FPreparerId, FBillType, FBillId"},
      {"IX_PrintExport_Name", "T_PrintExport", "FBillType, FName"},
      {"IX_PrintExport_Type", "T_PrintExport", "FBillType, FBillId"},
      {"IX_PrintExport_Selected", "T_PrintExport", "FBillType, FSel, FBillTypeSub"},
      {"IX_PrintExportNote_Creator", "T_PrintExportNote", "FCreatorName, FScreenId, FName"},
      {"IX_PrintExportNote_Type", "T_PrintExportNote", "FNewBillType, FName"},
      {"IX_PrintExportLM_User", "T_PrintExportLM", "FPreparerId, FBillType, FDataFrom, FBillId"},
      {"IX_PrintExportLM_Name", "T_PrintExportLM", "FBillType, FName"},
      {"IX_PrintExportLM_Type", "T_PrintExportLM", "FBillType, FDataFrom, FBillId"},
      {"IX_PrintExportLM_Selected", "T_PrintExportLM", "FBillType, FSel, FBillTypeSub"},
      {"IX_PrintExportNoteLM_Creator", "T_PrintExportNoteLM", "FCreatorName, FScreenId, FName"},
      {"IX_PrintExportNoteLM_Type", "T_PrintExportNoteLM", "FNewBillType, FName"},
      {"IX_RptExcelPrintExport_User", "T_RptExcelPrintExport", "FPreparerId, FRptId, FNoteId"},
      {"IX_RptExcelPrintExport_Name", "T_RptExcelPrintExport", "FRptId, FName"},
      {"IX_RptExcelPrintExport_Selected", "T_RptExcelPrintExport", "FRptId, FSel, FTypeSub"},
      {"IX_RptExcelPrintExportNote_Creator", "T_RptExcelPrintExportNote",
       "FCreatorName, FScreenId, FName"},
      {"IX_RptExcelPrintExportNote_Type", "T_RptExcelPrintExportNote", "FNewRptId, FName"},
  };
  return indexes;
}

const std::vector<HistoryTable>& HistoryTables() {
  static const std::vector<HistoryTable> histories = [] {
    std::vector<HistoryTable> built;
    for (const Table& table : Tables()) {
      HistoryTable history{&table, {table.name + "_History", {}, {}}, {}};
      history.table.columns = {WholeNumber("FVersion"), Date("FChangedAt"), Text("FChange", 10)};
      for (Column column : table.columns) {
        if (column.kind == ColumnKind::Identity) column.kind = ColumnKind::WholeNumber;
        if (column.name == "FData" && column.kind == ColumnKind::Binary) history.body = column.name;
        history.table.columns.push_back(column);
      }
      if (!history.body.empty()) history.table.columns.push_back(WholeNumber(kBodyIsDifference));
      history.table.columns.push_back(WholeNumber(kRowVersion));
      built.push_back(std::move(history));
    }
    return built;
  }();
  return histories;
}

std::vector<Index> HistoryIndexes(const HistoryTable& history) {
  const std::string& name = history.table.name;
  return {{"IX_" + name + "_RowVersion", name, std::string("FId, ") + kRowVersion}};
}

std::string NumberRowVersions(const HistoryTable& history) {
  const std::string& name = history.table.name;
  return "UPDATE " + name + " SET " + kRowVersion +
         " = numbered.FNumber FROM (SELECT FVersion, row_number() OVER (PARTITION BY FId ORDER "
         "BY FVersion) AS FNumber FROM " +
         name + ") AS numbered WHERE numbered.FVersion = " + name + ".FVersion";
}

std::string RemoveVersionsBeyond(const HistoryTable& history, const std::string& kept) {
  const std::string& name = history.table.name;
  return "DELETE FROM " + name + " WHERE " + kRowVersion + " <= (SELECT max(newer." + kRowVersion +
         ") FROM " + name + " AS newer WHERE newer.FId = " + name + ".FId) - " + kept;
}

std::string CreateIndexStatement(const Index& index) {
  return "CREATE INDEX IF NOT EXISTS " + index.name + " ON " + index.table + " (" + index.columns +
         ")";
}

std::string FitRule(const Column& column) {
  switch (column.kind) {
    case ColumnKind::Identity:
    case ColumnKind::WholeNumber:
      return "holds a 32-bit whole number";
    case ColumnKind::Text:
      return "holds at most " + std::to_string(column.characters) + " characters";
    case ColumnKind::Date:
    case ColumnKind::Binary:
      break;
  }
  return {};
}

std::string FitName(const Table& table, const Column& column) {
  return table.name + "." + column.name + " " + FitRule(column);
}

}  // namespace orvo::store
