// InsertRptNoteRow of the standard and the report update class: stores a
// report template body for the calling user under a name, replacing the body
// of the user's template of that name, and adds an assignment row for it, as
// InsertNoteRow does for bills. The report class's new row has an empty
// sub-type.

#include <memory>
#include <string>

#include "bills/note_rows.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

std::shared_ptr<Vector> clsPrintSetupUpdate::InsertRptNoteRow(const std::string& sDsn,
                                                              std::int32_t fRptId,
                                                              const std::string& fNoteName,
                                                              const Variant& fNoteBlob) {
  return bills::InsertNoteRow(*this, sDsn, {bills::kReportFamily}, fRptId, fNoteName, fNoteBlob);
}

std::shared_ptr<Vector> clsPrintSetupUpdateRpt::InsertRptNoteRow(const std::string& sDsn,
                                                                 std::int32_t fRptId,
                                                                 const std::string& fNoteName,
                                                                 const Variant& fNoteBlob) {
  return bills::InsertNoteRow(*this, sDsn, {.family = bills::kReportFamily, .emptySubType = true},
                              fRptId, fNoteName, fNoteBlob);
}

}  // namespace orvo
