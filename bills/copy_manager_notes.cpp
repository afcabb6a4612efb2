// CopyManagerNoteInfo of the standard and the partitioned query class: gives
// a user copies of the manager user's templates and rows of a bill type. A
// manager's row pointing to no template is written to the debug log.

#include "families/manager_copy.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "store/debug_log.hpp"

namespace orvo {

namespace {

// The row copy: the manager's row for the user, pointing to the template copy.
void BillRowValues(families::TextCommand& insert, const families::RowCopy& copy) {
  using families::Text;
  insert.Input(ado::adInteger, 0, Val(copy.templateId))
      .Input(ado::adInteger, 0, Val(Text(copy.managerRow, "FBillType")))
      .Input(ado::adInteger, 0, copy.userId)
      .Input(ado::adDate, 0, Date::Now())
      .Input(ado::adVarChar, 255, Text(copy.managerRow, "FName"))
      .Input(ado::adVarChar, 255, Text(copy.managerRow, "FData"))
      .Input(ado::adVarChar, 255, Text(copy.managerRow, "FBillTypeSub"))
      .Input(ado::adInteger, 0, Val(Text(copy.managerRow, "FSel")))
      .Input(ado::adLongVarBinary, ado::kLongBinarySize,
             copy.managerRow.Fields("FPrintSet").Value());
}

void PartitionedRowValues(families::TextCommand& insert, const families::RowCopy& copy) {
  BillRowValues(insert, copy);
  insert.Input(ado::adInteger, 0, copy.argument);
}

constexpr families::ManagerCopy kStandard{
    .managerRows =
        "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,"
        "FBillTypeSub,FSel from T_PrintExport where fbilltype={type} and "
        "FPreparerId={manager}",
    .keyColumn = "FBillType",
    .idColumn = "FBillId",
    .templateRow =
        "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,"
        "FModifyDate,FData,FNewBillType from T_PrintExportNote where fid={id}",
    .templateType = "FNewBillType",
    .templateInsert =
        "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,"
        "FNewBillType,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
    .userNameSize = 30,
    .partitioned = false,
    .existingRow =
        "select * from T_PrintExport where fbilltype={key} and FBillID={id} and "
        "FPreParerID={userId}",
    .rowInsert =
        "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,"
        "FBillTypeSub,FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?,?)",
    .rowValues = &BillRowValues,
    .reportMissingTemplate = &store::WriteDebugLog};

// A template of another partition counts as missing.
constexpr families::ManagerCopy kPartitioned{
    .managerRows =
        "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,"
        "FBillTypeSub,FSel from T_PrintExportLM where fbilltype={type} AND FDataFrom "
        "= {dataFrom} and FPreparerId={manager}",
    .keyColumn = "FBillType",
    .idColumn = "FBillId",
    .templateRow =
        "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,"
        "FModifyDate,FData,FNewBillType from T_PrintExportNoteLM where fid={id} AND "
        "FDataFrom = {dataFrom} ",
    .templateType = "FNewBillType",
    .templateInsert =
        "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FModifierName,"
        "FNewBillType,FCreateDate,FModifyDate,FData,FDataFrom) "
        "Values(?,?,?,?,?,?,?,?,?)",
    .userNameSize = 30,
    .partitioned = true,
    .existingRow =
        "select * from T_PrintExportLM where fbilltype={key} and FBillID={id} AND "
        "FDataFrom = {dataFrom} and FPreParerID={userId}",
    .rowInsert =
        "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,FData,"
        "FBillTypeSub,FSel,FPrintSet,FDataFrom)  Values(?,?,?,?,?,?,?,?,?,?)",
    .rowValues = &PartitionedRowValues,
    .reportMissingTemplate = &store::WriteDebugLog};

}  // namespace

void clsPrintSetupQuery::CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                             std::int32_t classTypeId, std::int32_t UserID,
                                             const std::string& userName) {
  families::CopyManagerTemplates(kStandard, cn, UserID, userName, {{"type", classTypeId}}, 0);
}

void clsPrintSetupQueryLM::CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn,
                                               std::int32_t classTypeId, std::int32_t UserID,
                                               const std::string& userName, std::int32_t dataFrom) {
  families::CopyManagerTemplates(kPartitioned, cn, UserID, userName,
                                 {{"type", classTypeId}, {"dataFrom", dataFrom}}, dataFrom);
}

}  // namespace orvo
