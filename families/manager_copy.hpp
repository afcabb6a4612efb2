// The copy of the manager user's templates that CopyManagerNoteInfo (bills)
// and CopyRptManagerNoteInfo (reports) share: for each of the manager's rows
// of one bill type or report, a copy of the template it points to owned by
// the user, and a copy of the row pointing to it unless the user already has
// that row. Each family gives its statements whole (families/statement.hpp)
// and the values of its row copy.
//
// Runs on the connection it is given, inside whatever transaction the caller
// holds there; it calls no data context and has no handler, so its first
// failure reaches the caller as it is. Caller's thread.

#ifndef ORVO_FAMILIES_MANAGER_COPY_HPP_
#define ORVO_FAMILIES_MANAGER_COPY_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "families/statement.hpp"
#include "families/text_command.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::families {

// What a row copy is made of.
struct RowCopy {
  ado::Recordset& managerRow;   // the manager's row, positioned
  std::string_view templateId;  // the id the copy points to, as text
  std::int32_t userId;          // the user who gets the copy
  std::int32_t argument;        // the family's own argument: the partition or the report
};

struct ManagerCopy {
  std::string_view managerRows;   // the manager user's rows of the bill type or report
  std::string_view keyColumn;     // the bill type or report column of those rows
  std::string_view idColumn;      // their template id column
  std::string_view templateRow;   // the template a row points to ({id})
  std::string_view templateType;  // the template's own bill type or report column
  std::string_view templateInsert;
  std::int32_t userNameSize;     // characters of the copy's creator and modifier
  bool partitioned;              // template copies take the partition as a ninth value
  std::string_view existingRow;  // the user's row of that key and id ({key}, {id}, {userId})
  std::string_view rowInsert;
  void (*rowValues)(TextCommand& insert, const RowCopy& copy);
  // Tells someone that a manager's row points to no template.
  void (*reportMissingTemplate)(std::string_view text);
};

// A column of the current row as text, Null as "".
std::string Text(ado::Recordset& rows, std::string_view column);

// Raises 91 when `cn` is null. `holes` fill the family's own holes of
// managerRows, templateRow and existingRow (the bill type or report, the
// partition); `argument` reaches rowValues.
void CopyManagerTemplates(const ManagerCopy& family, const std::shared_ptr<ado::Connection>& cn,
                          std::int32_t UserID, const std::string& userName,
                          const std::vector<Hole>& holes, std::int32_t argument);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_MANAGER_COPY_HPP_
