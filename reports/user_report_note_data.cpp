// UpdateUserRptNoteData of the standard and the report update class: stores
// the calling user's option text for a report in the settings row and the
// user's choice among its templates in the assignment rows, adding the rows
// that are missing. The report class's new settings row has an empty
// sub-type.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A choice's update separates its two assignments with "', FSel=", one blank
// more than the bill statement writes.
constexpr families::ChoiceStatements kStandard{
    .settingsRow =
        "select * from T_RptExcelPrintExport where FRptId={report} and FNoteId=0 and "
        "FPreParerID={userId}",
    .settingsInsert =
        "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
        "FPreParerID,FData) values ({report},0,'{today}','存放页面设置信息',0,"
        "{userId},'{option}')",
    .settingsUpdate =
        "Update T_RptExcelPrintExport set Fdata='{option}' where FRptId={report} "
        "and FNoteId=0 and FPreParerID={userId}",
    .choiceRow =
        "select * from T_RptExcelPrintExport  where FRptId={report} and FNoteId={id} "
        "and FPreParerID={userId}",
    .choiceInsert =
        "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
        "FPreParerID,FData,FTypeSub)values({report},{id},'{today}','{name}',{sel},"
        "{userId},'','{subType}')",
    .choiceUpdate =
        "Update T_RptExcelPrintExport set FTypeSub='{subType}', FSel={sel} where "
        "FRptId={report} and FNoteId={id}and FPreParerID={userId}"};

constexpr families::ChoiceStatements kReportClass{
    .settingsRow = kStandard.settingsRow,
    .settingsInsert =
        "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
        "FPreParerID,FData,FTypeSub) values ({report},0,'{today}','存放页面设置信息',"
        "0,{userId},'{option}','')",
    .settingsUpdate = kStandard.settingsUpdate,
    .choiceRow = kStandard.choiceRow,
    .choiceInsert = kStandard.choiceInsert,
    .choiceUpdate = kStandard.choiceUpdate};

}  // namespace

Variant clsPrintSetupUpdate::UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                                   const std::shared_ptr<Dictionary>& modiData) {
  return families::StoreChoices(*this, sDsn, kStandard, {{"report", fRptId}}, modiData);
}

Variant clsPrintSetupUpdateRpt::UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                                      const std::shared_ptr<Dictionary>& modiData) {
  return families::StoreChoices(*this, sDsn, kReportClass, {{"report", fRptId}}, modiData);
}

}  // namespace orvo
