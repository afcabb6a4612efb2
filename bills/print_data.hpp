// The print data read that GetNotePrintData (bills) and GetRptNotePrintData
// (reports) share: the template the calling user selected, found through a
// fixed chain of statements that falls back to the manager user's selection
// and, with a sub-type, to any user's; and the user's settings text. The
// families differ only in tables, columns, the sub-type column and the
// partition, which a PrintDataFamily names.
//
// Runs inside the calling method's frame, on its thread; the result belongs
// to the caller.

#ifndef ORVO_BILLS_PRINT_DATA_HPP_
#define ORVO_BILLS_PRINT_DATA_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "component/frame.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::bills {

struct PrintDataFamily {
  // The join of assignment rows (i) and templates (c), ending in one blank.
  std::string join;
  // " Where i.FBillType=<t>": the bill type or report condition.
  std::string where;
  // "i.FBillTypeSub", or "" for a class whose statements leave sub-types out.
  std::string subTypeColumn;
  // What follows a sub-type condition: " and i.FSel=1" or " And i.FSel=1".
  std::string selectedAfterSubType;
  // " AND i.FDataFrom = <d> AND c.FDataFrom = <d>", or "".
  std::string partition;
  // The settings statement up to its owner condition.
  std::string settingsHead;
  // The columns of the entry's key: bill type or report, then template id.
  std::string keyColumn;
  std::string idColumn;
};

// An empty Dictionary when no template is found, else one entry keyed
// "<key>|<template id>" holding a Vector (settings text, template body).
std::shared_ptr<Dictionary> ReadPrintData(component::MethodContext& context,
                                          const PrintDataFamily& family,
                                          const std::string& FSubType);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_PRINT_DATA_HPP_
