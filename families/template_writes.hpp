// The template writes that the bill and the report update classes share: a
// template stored for the calling user with its assignment row, the user's
// option text and choices, and a template deleted with the user's rows that
// point at it. Each family gives its statements whole
// (families/statement.hpp); the holes of the bill type or report and of the
// partition are the caller's, the others these routines fill.
//
// Each routine runs a whole method in its frame, on the instance's thread;
// what it returns is new and belongs to the caller.

#ifndef ORVO_FAMILIES_TEMPLATE_WRITES_HPP_
#define ORVO_FAMILIES_TEMPLATE_WRITES_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

// A method that may write: its unit of work begins as a writing transaction
// and is completed when the method reaches its end.
inline constexpr component::MethodConvention kWriting{.writes = true};

// The name of every settings row (it says: stores the page settings).
inline constexpr std::string_view kSettingsRowName = "存放页面设置信息";

struct InsertStatements {
  // The user's template of the name: {userName}, {name} and the type's holes.
  std::string_view lookup;
  std::string_view templateInsert;
  std::int32_t userNameSize;    // characters of the creator and modifier parameters
  bool partitioned;             // the insert takes the partition as its ninth value
  std::string_view bodyUpdate;  // the body of template {id}
  std::string_view assignment;  // {id}, {today}, {name}, {userId}: the new row
};

// Stores a body under a name for the calling user (replacing the body of the
// user's template of that name) and adds an assignment row for it. Returns
// the template id, `key`, the name and the body.
std::shared_ptr<Vector> InsertTemplate(PrintSetupObject& self, const std::string& sDsn,
                                       const InsertStatements& statements,
                                       const std::vector<Hole>& holes, std::int32_t key,
                                       const std::string& fNoteName, const Variant& fNoteBlob);

struct ChoiceStatements {
  std::string_view settingsRow;     // the user's settings row ({userId})
  std::string_view settingsInsert;  // {today}, {userId}, {option}
  std::string_view settingsUpdate;  // {option}, {userId}
  std::string_view choiceRow;       // the user's row of template {id}
  std::string_view choiceInsert;    // {id}, {today}, {name}, {sel}, {userId}, {subType}
  std::string_view choiceUpdate;    // {subType}, {sel}, {id}, {userId}
};

// Stores the user's option text in the settings row and each choice of
// "Data" in the user's assignment row of that template, adding missing rows.
Variant StoreChoices(PrintSetupUpdateObject& self, const std::string& sDsn,
                     const ChoiceStatements& statements, const std::vector<Hole>& holes,
                     const std::shared_ptr<Dictionary>& modiData);

struct DeleteStatements {
  std::string_view templateDelete;  // the user's template {id}, by {userName}
  std::string_view rowsDelete;      // the user's rows pointing at it, by {userId}
};

// Deletes the calling user's template `FID` and the user's rows that point
// at it; true once both deletes have run.
bool DeleteTemplate(PrintSetupObject& self, const std::string& sDsn,
                    const DeleteStatements& statements, const std::vector<Hole>& holes,
                    std::int32_t FID);

// The dictionary a caller passed; 91 when none was.
const Dictionary& Required(const std::shared_ptr<Dictionary>& dictionary);

// `holes` with `more` after them.
std::vector<Hole> With(std::vector<Hole> holes, std::initializer_list<Hole> more);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_TEMPLATE_WRITES_HPP_
