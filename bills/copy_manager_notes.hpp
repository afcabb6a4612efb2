// The copy of the manager user's templates that CopyManagerNoteInfo (bills)
// and CopyRptManagerNoteInfo (reports) share: for each of the manager's rows
// of one bill type or report, a copy of the template it points to owned by
// the user, and a copy of the row pointing to it unless the user already has
// that row. The families differ in their statements, the values their inserts
// bind and where a missing template is reported, which a ManagerCopyFamily
// names.
//
// Runs on the connection it is given, inside whatever transaction the caller
// holds there; it calls no data context and has no handler, so its first
// failure reaches the caller as it is. Caller's thread.

#ifndef ORVO_BILLS_COPY_MANAGER_NOTES_HPP_
#define ORVO_BILLS_COPY_MANAGER_NOTES_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::bills {

// Where a value bound to one of the copy's inserts comes from. Values read
// from the store are taken as text (Null as ""), except those taken as they
// are; numbers are the numeric value of that text.
enum class CopyValue {
  RowText,       // a column of the manager's row
  RowNumber,     // the numeric value of a column of the manager's row
  RowAsIs,       // a column of the manager's row as the store gives it
  TemplateText,  // a column of the manager's template
  TemplateAsIs,  // a column of the manager's template as the store gives it
  TemplateId,    // the numeric value of the id the row copy points to
  UserId,        // the user who receives the copies
  UserName,      // that user's name
  Now,           // the current local date and time, read for each value
  Argument,      // the family's own argument: the report or the partition
};

struct CopyParameter {
  CopyValue value;
  const char* column;  // the column read, for values taken from a row or template
  ado::DataTypeEnum type;
  std::int32_t size;
};

struct ManagerCopyFamily {
  std::string managerRows;   // the manager's rows of the bill type or report
  std::string keyColumn;     // the bill type or report column of those rows
  std::string idColumn;      // their template id column
  std::string templateHead;  // the template query up to the id
  std::string templateTail;  // and after it
  std::string templateInsert;
  std::vector<CopyParameter> templateParameters;
  std::string duplicateHead;  // the check for the user's row, up to the key
  std::string duplicateId;    // between the key and the id
  std::string duplicateTail;  // between the id and the user's condition
  std::string rowInsert;
  std::vector<CopyParameter> rowParameters;
  // Tells someone that a manager's row points to no template.
  void (*reportMissingTemplate)(std::string_view text);
};

// The parameters of a template copy: name, screen id, creator and modifier
// (`nameSize` characters each), the bill type or report column named, the two
// dates and the body.
std::vector<CopyParameter> TemplateCopyParameters(const char* newTypeColumn, std::int32_t nameSize);

// Raises 91 when `cn` is null.
void CopyManagerTemplates(const ManagerCopyFamily& family,
                          const std::shared_ptr<ado::Connection>& cn, std::int32_t UserID,
                          const std::string& userName, std::int32_t argument);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_COPY_MANAGER_NOTES_HPP_
