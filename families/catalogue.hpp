// The template catalogue that GetNoteInfo (bills) and GetRptNoteInfo
// (reports) share: the calling user's assignment rows of one bill type or
// report, after a first-use copy of the manager user's when the user has
// none; else the manager user's rows; else, for each name, anyone's rows that
// point to its newest template; and the user's option text, else the manager
// user's. Each family gives its statements whole (families/statement.hpp).
//
// Runs inside the calling method's frame, on its thread; the result belongs
// to the caller.

#ifndef ORVO_FAMILIES_CATALOGUE_HPP_
#define ORVO_FAMILIES_CATALOGUE_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

struct CatalogueStatements {
  std::string_view userList;       // the calling user's assignment rows ({user})
  std::string_view managerList;    // the manager user's ({manager})
  std::string_view newestList;     // for each name, anyone's rows of its newest template
  std::string_view userOption;     // the option text of the user's settings row
  std::string_view managerOption;  // and of the manager user's
};

// Gives the calling user copies of the manager user's templates, on the
// working connection and inside the method's unit of work.
using CopyManagerTemplates = std::function<void(const std::shared_ptr<ado::Connection>& cn,
                                                std::int32_t userId, const std::string& userName)>;

// {"Data": a Vector of one row Dictionary per listed row, "Option": text}.
std::shared_ptr<Dictionary> ReadCatalogue(component::MethodContext& context,
                                          const CatalogueStatements& statements,
                                          std::span<const Hole> holes,
                                          const CopyManagerTemplates& copy);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_CATALOGUE_HPP_
