// DeleteRptNoteRow of the standard and the report update class: deletes one
// of the calling user's report templates of a report with the user's
// assignment rows that point at it, as DeleteNoteRow does for bills. The two
// members are the same: neither touches a sub-type.

#include <string>

#include "bills/note_rows.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

bool clsPrintSetupUpdate::DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                           std::int32_t FID) {
  return bills::DeleteNoteRow(*this, sDsn, {bills::kReportFamily}, fRptId, FID);
}

bool clsPrintSetupUpdateRpt::DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                              std::int32_t FID) {
  return bills::DeleteNoteRow(*this, sDsn, {bills::kReportFamily}, fRptId, FID);
}

}  // namespace orvo
