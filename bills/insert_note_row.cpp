// InsertNoteRow of the standard and the partitioned update class: stores a
// template body for the calling user under a name and a bill type, replacing
// the body of the user's template of that name when there is one, and adds an
// assignment row for it.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

constexpr families::InsertStatements kStandard{
    .lookup =
        "select *  from T_PrintExportNote where FCreatorName='{userName}' and "
        "FScreenId='{type}' and FName='{name}'",
    .templateInsert =
        "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,"
        "FNewBillType,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
    .userNameSize = 30,
    .partitioned = false,
    .bodyUpdate = "Update T_PrintExportNote set FData = ?  Where FID={id}",
    .assignment =
        "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
        "FData) values ({type},{id},'{today}','{name}',0,{userId},'')"};

// The partitioned templates keep their user names in 20 characters; a body is
// replaced by the template's id alone.
constexpr families::InsertStatements kPartitioned{
    .lookup =
        "select *  from T_PrintExportNoteLM where FCreatorName='{userName}' and "
        "FScreenId='{type}' AND FDataFrom = {dataFrom} and FName='{name}'",
    .templateInsert =
        "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,"
        "FModifierName,FNewBillType,FCreateDate,FModifyDate,FData,FDataFrom) "
        "Values(?,?,?,?,?,?,?,?,?)",
    .userNameSize = 20,
    .partitioned = true,
    .bodyUpdate = "Update T_PrintExportNoteLM set FData = ?  Where FID={id}",
    .assignment =
        "insert into T_PrintExportLM (FBillType,FBillID,FDate,FName,FSel,FPreParerID,"
        "FData,FDataFrom) values ({type},{id},'{today}','{name}',0,{userId},'',"
        "{dataFrom})"};

}  // namespace

std::shared_ptr<Vector> clsPrintSetupUpdate::InsertNoteRow(const std::string& sDsn,
                                                           std::int32_t fClassType,
                                                           const std::string& fNoteName,
                                                           const Variant& fNoteBlob) {
  return families::InsertTemplate(*this, sDsn, kStandard, {{"type", fClassType}}, fClassType,
                                  fNoteName, fNoteBlob);
}

std::shared_ptr<Vector> clsPrintSetupUpdateLM::InsertNoteRow(const std::string& sDsn,
                                                             std::int32_t fClassType,
                                                             const std::string& fNoteName,
                                                             const Variant& fNoteBlob,
                                                             std::int32_t dataFrom) {
  return families::InsertTemplate(*this, sDsn, kPartitioned,
                                  {{"type", fClassType}, {"dataFrom", dataFrom}}, fClassType,
                                  fNoteName, fNoteBlob);
}

}  // namespace orvo
