// CopyRptManagerNoteInfo of the standard query class and of the report query
// class (which also copies FTypeSub): gives a user copies of the manager
// user's report templates and rows of a report. A manager's row pointing to
// no template is told to an operator, not to the debug log.

#include "families/manager_copy.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "store/operator_message.hpp"

namespace orvo {

namespace {

// The row copy: the manager's row for the user, pointing to the template copy.
void ReportRowValues(families::TextCommand& insert, const families::RowCopy& copy) {
  using families::Text;
  insert.Input(ado::adInteger, 0, Val(copy.templateId))
      .Input(ado::adInteger, 0, copy.argument)
      .Input(ado::adInteger, 0, copy.userId)
      .Input(ado::adDate, 0, Date::Now())
      .Input(ado::adVarChar, 255, Text(copy.managerRow, "FName"))
      .Input(ado::adVarChar, 255, Text(copy.managerRow, "FData"))
      .Input(ado::adInteger, 0, Val(Text(copy.managerRow, "FSel")))
      .Input(ado::adLongVarBinary, ado::kLongBinarySize,
             copy.managerRow.Fields("FPrintSet").Value());
}

void ReportClassRowValues(families::TextCommand& insert, const families::RowCopy& copy) {
  ReportRowValues(insert, copy);
  insert.Input(ado::adVarChar, 255, families::Text(copy.managerRow, "FTypeSub"));
}

// The standard class's template copies keep creator names in 20 characters.
constexpr families::ManagerCopy kStandard{
    .managerRows =
        "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel from "
        "T_RptExcelPrintExport where FRptId={report} and FPreparerId={manager}",
    .keyColumn = "FRptId",
    .idColumn = "FNoteId",
    .templateRow =
        "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,"
        "FModifyDate,FData,FNewRptId from T_RptExcelPrintExportNote where fid={id}",
    .templateType = "FNewRptId",
    .templateInsert =
        "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,"
        "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) "
        "Values(?,?,?,?,?,?,?,?)",
    .userNameSize = 20,
    .partitioned = false,
    .existingRow =
        "select * from T_RptExcelPrintExport where FRptId={key} and FNoteId={id} and "
        "FPreParerID={userId}",
    .rowInsert =
        "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,"
        "FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?)",
    .rowValues = &ReportRowValues,
    .reportMissingTemplate = &store::ShowOperatorMessage};

// The report class reads and copies the sub-type, and keeps creator names in
// 30 characters.
constexpr families::ManagerCopy kReportClass{
    .managerRows =
        "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel,"
        "FTypeSub from T_RptExcelPrintExport where FRptId={report} and "
        "FPreparerId={manager}",
    .keyColumn = "FRptId",
    .idColumn = "FNoteId",
    .templateRow = kStandard.templateRow,
    .templateType = "FNewRptId",
    .templateInsert = kStandard.templateInsert,
    .userNameSize = 30,
    .partitioned = false,
    .existingRow = kStandard.existingRow,
    .rowInsert =
        "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,"
        "FSel,FPrintSet,FTypeSub)  Values(?,?,?,?,?,?,?,?,?)",
    .rowValues = &ReportClassRowValues,
    .reportMissingTemplate = &store::ShowOperatorMessage};

}  // namespace

void clsPrintSetupQuery::CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                                std::int32_t rptId, std::int32_t UserID,
                                                const std::string& userName) {
  families::CopyManagerTemplates(kStandard, cn, UserID, userName, {{"report", rptId}}, rptId);
}

void clsPrintSetupQueryRpt::CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                                   std::int32_t rptId, std::int32_t UserID,
                                                   const std::string& userName) {
  families::CopyManagerTemplates(kReportClass, cn, UserID, userName, {{"report", rptId}}, rptId);
}

}  // namespace orvo
