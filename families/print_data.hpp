// The print data read that GetNotePrintData (bills) and GetRptNotePrintData
// (reports) share: the template the calling user selected, found through a
// fixed chain of statements that falls back to the manager user's selection
// (and, with a sub-type, to anyone's); and the user's settings text. Each
// family gives its statements whole (families/statement.hpp); a chain run
// with a sub-type fills the hole {subType} with it.
//
// Runs inside the calling method's frame, on its thread; the result belongs
// to the caller.

#ifndef ORVO_FAMILIES_PRINT_DATA_HPP_
#define ORVO_FAMILIES_PRINT_DATA_HPP_

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

struct PrintDataStatements {
  std::span<const std::string_view> subTypeChain;  // tried in order when a sub-type is given
  std::span<const std::string_view> plainChain;    // and when none is
  std::string_view userSettings;                   // the settings text of the user's row
  std::string_view managerSettings;                // and of the manager user's
  std::string_view keyColumn;                      // the entry's key: bill type or report,
  std::string_view idColumn;                       // then template id
};

// An empty Dictionary when no template is found, else one entry keyed
// "<key>|<template id>" holding a Vector (settings text, template body).
// `holes` are the caller's, and SubTypeHole(FSubType) among them.
std::shared_ptr<Dictionary> ReadPrintData(component::MethodContext& context,
                                          const PrintDataStatements& statements,
                                          std::span<const Hole> holes, const std::string& FSubType);

// The hole {subType} of a read with the sub-type `FSubType`.
inline Hole SubTypeHole(const std::string& FSubType) {
  return Hole("subType", Quoted{FSubType});
}

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_PRINT_DATA_HPP_
