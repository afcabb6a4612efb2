// DeleteRptNoteRow of the standard and the report update class: deletes one
// of the calling user's report templates of a report with the user's
// assignment rows that point at it. The two members are the same: neither
// touches a sub-type.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

constexpr families::DeleteStatements kReports{
    .templateDelete =
        "Delete From T_RptExcelPrintExportNote Where FCreatorName='{userName}' and "
        "FNewRptId={report} And FId={id}",
    .rowsDelete =
        "Delete From T_RptExcelPrintExport Where FPreparerID={userId} and "
        "FRptId={report} And FNoteId={id}"};

}  // namespace

bool clsPrintSetupUpdate::DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                           std::int32_t FID) {
  return families::DeleteTemplate(*this, sDsn, kReports, {{"report", fRptId}}, FID);
}

bool clsPrintSetupUpdateRpt::DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                              std::int32_t FID) {
  return families::DeleteTemplate(*this, sDsn, kReports, {{"report", fRptId}}, FID);
}

}  // namespace orvo
