// What the update classes' template writes have in common. A template family
// names its tables and columns in its own way (the bill statements even spell
// one column several ways), the partitioned class adds its partition to every
// statement, and the report class gives the rows it creates an empty
// sub-type; NoteRows carries these fragments for one class, so that adding a
// template, storing a user's choices and deleting a template are each written
// once for bills and reports alike.
//
// The operations run a whole method in its frame, on the instance's thread;
// what they return is new and belongs to the caller.

#ifndef ORVO_BILLS_NOTE_ROWS_HPP_
#define ORVO_BILLS_NOTE_ROWS_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "component/frame.hpp"
#include "orvo/ado/command.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::bills {

// A method that may write: its unit of work begins as a writing transaction
// and is completed when the method reaches its end.
inline constexpr component::MethodConvention kWriting{.writes = true};

// The name of every settings row (it says: stores the page settings).
inline constexpr const char* kSettingsRowName = "存放页面设置信息";

// Tables and columns as one family's statements spell them.
struct NoteFamily {
  const char* rowTable;       // assignment and settings rows
  const char* noteTable;      // template bodies
  const char* noteType;       // a template's bill type or report
  const char* rowType;        // a row's bill type or report, in inserts and deletes
  const char* choiceType;     // the same, in the statements that store choices
  const char* rowLink;        // a row's template id, in inserts and choices
  const char* deleteLink;     // the same, in deletes
  const char* subType;        // the sub-type for which a template is chosen
  const char* selAfterSub;    // what follows the sub-type's value in a choice update
  std::int32_t userNameSize;  // characters of the creator and modifier parameters
};

extern const NoteFamily kBillFamily;
extern const NoteFamily kPartitionedBillFamily;
extern const NoteFamily kReportFamily;

// What one class writes with.
struct NoteRows {
  const NoteFamily& family;
  // The partition of the partitioned class.
  std::optional<std::int32_t> dataFrom = std::nullopt;
  // The report class fills the sub-type of the rows it adds with the empty text.
  bool emptySubType = false;

  // " AND FDataFrom = N" for the partitioned class, empty otherwise.
  std::string Partition() const;
  // `text` for the partitioned class, empty otherwise.
  std::string IfPartitioned(std::string_view text) const;
  // ",N", the partition as the last value of an insert; empty otherwise.
  std::string PartitionValue() const;
  // Appends the partitioned class's FDataFrom parameter to a command.
  void AppendPartition(ado::Command& command) const;
  // The insert of an unselected settings or assignment row of `user`, dated
  // today, with `name` and `data` between quotes.
  std::string RowInsert(std::int32_t type, std::int32_t link, std::string_view name,
                        std::int32_t user, std::string_view data) const;
};

// Appends an input parameter with the empty name and its value.
void AppendInput(ado::Command& command, ado::DataTypeEnum type, std::int32_t size, Variant value);

// The dictionary a caller passed; 91 when none was.
const Dictionary& Required(const std::shared_ptr<Dictionary>& dictionary);

// Stores a body under a name for the calling user (replacing the body of the
// user's template of that name) and adds an assignment row for it. Returns
// the template id, the type, the name and the body.
std::shared_ptr<Vector> InsertNoteRow(PrintSetupObject& self, const std::string& sDsn,
                                      const NoteRows& rows, std::int32_t type,
                                      const std::string& fNoteName, const Variant& fNoteBlob);

// The class's own GetSplitItem.
using SplitItem = std::string (*)(const std::string& text, const std::string& separator,
                                  std::int16_t index);

// Stores the user's option text in the settings row and each choice of
// "Data" in the user's assignment row of that template, adding missing rows.
Variant UpdateUserNoteData(PrintSetupObject& self, const std::string& sDsn, const NoteRows& rows,
                           SplitItem split, std::int32_t type,
                           const std::shared_ptr<Dictionary>& modiData);

// Deletes the calling user's template `FID` of the type and the user's rows
// that point at it; true once both deletes have run.
bool DeleteNoteRow(PrintSetupObject& self, const std::string& sDsn, const NoteRows& rows,
                   std::int32_t type, std::int32_t FID);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_NOTE_ROWS_HPP_
