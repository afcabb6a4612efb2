// DeleteNoteRow of the standard and the partitioned update class: deletes one
// of the calling user's templates of a bill type with the user's assignment
// rows that point at it. The report classes' DeleteRptNoteRow runs the same
// steps on their own tables.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "component/sql_text.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace bills {

bool DeleteNoteRow(PrintSetupObject& self, const std::string& sDsn, const NoteRows& rows,
                   std::int32_t type, std::int32_t FID) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    const NoteFamily& family = rows.family;
    const std::int32_t user = context.UserID();
    const std::string user_name = context.UserName();
    const std::string of_type = std::to_string(type) + rows.Partition();
    // The template goes only when it is the user's; the user's rows that
    // point at it go in any case.
    context.Connection().Execute(std::string("Delete From ") + family.noteTable +
                                 " Where FCreatorName='" + component::QuotesDoubled(user_name) +
                                 "' and " + family.noteType + "=" + of_type +
                                 " And FId=" + std::to_string(FID));
    context.Connection().Execute(std::string("Delete From ") + family.rowTable +
                                 " Where FPreparerID=" + std::to_string(user) + " and " +
                                 family.rowType + "=" + of_type + " And " + family.deleteLink +
                                 "=" + std::to_string(FID));
    return true;
  });
}

}  // namespace bills

bool clsPrintSetupUpdate::DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                        std::int32_t FID) {
  return bills::DeleteNoteRow(*this, sDsn, {bills::kBillFamily}, fClassType, FID);
}

bool clsPrintSetupUpdateLM::DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                          std::int32_t FID, std::int32_t dataFrom) {
  return bills::DeleteNoteRow(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom}, fClassType,
                              FID);
}

}  // namespace orvo
