// The template catalogue that GetNoteInfo (bills) and GetRptNoteInfo
// (reports) share: the calling user's assignment rows of one bill type or
// report, a first-use copy of the manager user's when the user has none, then
// the manager user's rows, then the newest template of every name; and the
// user's option text. The families differ only in their tables, columns and
// partition, which a CatalogueFamily names.
//
// Runs inside the calling method's frame, on its thread; the result belongs
// to the caller.

#ifndef ORVO_BILLS_NOTE_INFO_HPP_
#define ORVO_BILLS_NOTE_INFO_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "component/frame.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::bills {

struct CatalogueFamily {
  std::string table;                 // the row table
  std::vector<std::string> columns;  // the select list, as the rows' keys spell them
  std::string keyColumn;             // the bill type or report column
  std::string idColumn;              // the template id column
  std::string partition;             // " AND FDataFrom = <d>", or "" outside the LM family
  std::string joinPartition;         // " AND a.FDataFrom = <d>", or ""
};

// Gives the calling user copies of the manager user's templates, on the
// working connection and inside the method's unit of work.
using CopyManagerTemplates = std::function<void(const std::shared_ptr<ado::Connection>& cn,
                                                std::int32_t userId, const std::string& userName)>;

// {"Data": a Vector of one row Dictionary per listed row, "Option": text}.
std::shared_ptr<Dictionary> ReadCatalogue(component::MethodContext& context,
                                          const CatalogueFamily& family, std::int32_t key,
                                          const CopyManagerTemplates& copy);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_NOTE_INFO_HPP_
