// UpdateUserRptNoteData of the standard and the report update class: stores
// the calling user's option text for a report in the settings row and the
// user's choice among its templates in the assignment rows, as
// UpdateUserNoteData does for bills. The report class's new settings row has
// an empty sub-type.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

Variant clsPrintSetupUpdate::UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                                   const std::shared_ptr<Dictionary>& modiData) {
  return bills::UpdateUserNoteData(*this, sDsn, {bills::kReportFamily},
                                   &clsPrintSetupUpdate::GetSplitItem, fRptId, modiData);
}

Variant clsPrintSetupUpdateRpt::UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                                      const std::shared_ptr<Dictionary>& modiData) {
  return bills::UpdateUserNoteData(*this, sDsn,
                                   {.family = bills::kReportFamily, .emptySubType = true},
                                   &clsPrintSetupUpdateRpt::GetSplitItem, fRptId, modiData);
}

}  // namespace orvo
