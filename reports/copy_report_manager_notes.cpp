// CopyRptManagerNoteInfo of the standard query class and of the report query
// class (which also copies FTypeSub): the bill copy loop over the report
// tables. A missing template is told to an operator, not to the debug log.

#include "bills/copy_manager_notes.hpp"
#include "orvo/component/classes.hpp"
#include "store/operator_message.hpp"

namespace orvo {

namespace {

// With `subTypes`, the report class's copy: the manager rows' FTypeSub is
// read and copied, and creator and modifier names may take 30 characters
// instead of 20.
bills::ManagerCopyFamily ReportCopy(std::int32_t rptId, bool subTypes) {
  using bills::CopyValue;
  std::vector<bills::CopyParameter> row_parameters{
      {CopyValue::TemplateId, nullptr, ado::adInteger, 0},
      {CopyValue::Argument, nullptr, ado::adInteger, 0},
      {CopyValue::UserId, nullptr, ado::adInteger, 0},
      {CopyValue::Now, nullptr, ado::adDate, 0},
      {CopyValue::RowText, "FName", ado::adVarChar, 255},
      {CopyValue::RowText, "FData", ado::adVarChar, 255},
      {CopyValue::RowNumber, "FSel", ado::adInteger, 0},
      {CopyValue::RowAsIs, "FPrintSet", ado::adLongVarBinary, ado::kLongBinarySize}};
  if (subTypes) row_parameters.push_back({CopyValue::RowText, "FTypeSub", ado::adVarChar, 255});
  return {"select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel" +
              std::string(subTypes ? ",FTypeSub" : "") +
              " from T_RptExcelPrintExport where FRptId=" + std::to_string(rptId) +
              " and FPreparerId=16394",
          "FRptId",
          "FNoteId",
          "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
          "FNewRptId from T_RptExcelPrintExportNote where fid=",
          "",
          "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,FModifierName,"
          "FNewRptId,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
          bills::TemplateCopyParameters("FNewRptId", subTypes ? 30 : 20),
          "select * from T_RptExcelPrintExport where FRptId=",
          " and FNoteId=",
          "",
          "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,FSel,"
          "FPrintSet" +
              std::string(subTypes ? ",FTypeSub)  Values(?,?,?,?,?,?,?,?,?)"
                                   : ")  Values(?,?,?,?,?,?,?,?)"),
          std::move(row_parameters),
          &store::ShowOperatorMessage};
}

}  // namespace

void clsPrintSetupQuery::CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                                std::int32_t rptId, std::int32_t UserID,
                                                const std::string& userName) {
  bills::CopyManagerTemplates(ReportCopy(rptId, false), cn, UserID, userName, rptId);
}

void clsPrintSetupQueryRpt::CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                                   std::int32_t rptId, std::int32_t UserID,
                                                   const std::string& userName) {
  bills::CopyManagerTemplates(ReportCopy(rptId, true), cn, UserID, userName, rptId);
}

}  // namespace orvo
