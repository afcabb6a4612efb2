// DeleteNoteRow of the standard and the partitioned update class: deletes one
// of the calling user's templates of a bill type with the user's assignment
// rows that point at it.

#include "families/template_writes.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

constexpr families::DeleteStatements kStandard{
    .templateDelete =
        "Delete From T_PrintExportNote Where FCreatorName='{userName}' and "
        "FNewBillType={type} And FId={id}",
    .rowsDelete =
        "Delete From T_PrintExport Where FPreparerID={userId} and FBillType={type} And "
        "FBillId={id}"};

constexpr families::DeleteStatements kPartitioned{
    .templateDelete =
        "Delete From T_PrintExportNoteLM Where FCreatorName='{userName}' and "
        "FNewBillType={type} AND FDataFrom = {dataFrom} And FId={id}",
    .rowsDelete =
        "Delete From T_PrintExportLM Where FPreparerID={userId} and FBillType={type} AND "
        "FDataFrom = {dataFrom} And FBillId={id}"};

}  // namespace

bool clsPrintSetupUpdate::DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                        std::int32_t FID) {
  return families::DeleteTemplate(*this, sDsn, kStandard, {{"type", fClassType}}, FID);
}

bool clsPrintSetupUpdateLM::DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                          std::int32_t FID, std::int32_t dataFrom) {
  return families::DeleteTemplate(*this, sDsn, kPartitioned,
                                  {{"type", fClassType}, {"dataFrom", dataFrom}}, FID);
}

}  // namespace orvo
