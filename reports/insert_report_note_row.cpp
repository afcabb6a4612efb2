// InsertRptNoteRow of the standard and the report update class: stores a
// report template body for the calling user under a name, replacing the body
// of the user's template of that name, and adds an assignment row for it. The
// report class's new row has an empty sub-type.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

constexpr families::InsertStatements kStandard{
    .lookup =
        "select *  from T_RptExcelPrintExportNote where FCreatorName='{userName}' and "
        "FScreenId='{report}' and FName='{name}'",
    .templateInsert =
        "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,"
        "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) "
        "Values(?,?,?,?,?,?,?,?)",
    .userNameSize = 30,
    .partitioned = false,
    .bodyUpdate = "Update T_RptExcelPrintExportNote set FData = ?  Where FID={id}",
    .assignment =
        "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,"
        "FData) values ({report},{id},'{today}','{name}',0,{userId},'')"};

constexpr families::InsertStatements kReportClass{
    .lookup = kStandard.lookup,
    .templateInsert = kStandard.templateInsert,
    .userNameSize = 30,
    .partitioned = false,
    .bodyUpdate = kStandard.bodyUpdate,
    .assignment =
        "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,"
        "FData,FTypeSub) values ({report},{id},'{today}','{name}',0,{userId},'','')"};

}  // namespace

std::shared_ptr<Vector> clsPrintSetupUpdate::InsertRptNoteRow(const std::string& sDsn,
                                                              std::int32_t fRptId,
                                                              const std::string& fNoteName,
                                                              const Variant& fNoteBlob) {
  return families::InsertTemplate(*this, sDsn, kStandard, {{"report", fRptId}}, fRptId, fNoteName,
                                  fNoteBlob);
}

std::shared_ptr<Vector> clsPrintSetupUpdateRpt::InsertRptNoteRow(const std::string& sDsn,
                                                                 std::int32_t fRptId,
                                                                 const std::string& fNoteName,
                                                                 const Variant& fNoteBlob) {
  return families::InsertTemplate(*this, sDsn, kReportClass, {{"report", fRptId}}, fRptId,
                                  fNoteName, fNoteBlob);
}

}  // namespace orvo
