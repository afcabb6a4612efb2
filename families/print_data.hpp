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

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/columns_read.hpp"
#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

// The columns read of the chosen template's row: its body ("FBlob"), the
// entry's key (bill type or report) and the template id. The chains select
// the whole assignment row besides; only these are copied out of it.
class ChosenColumns {
 public:
  ChosenColumns(std::string_view keyColumn, std::string_view idColumn)
      : key_(keyColumn), id_(idColumn), read_{kBody, keyColumn, idColumn} {}

  static constexpr std::string_view kBody = "fblob";
  std::string_view Key() const { return key_; }
  std::string_view Id() const { return id_; }
  const ado::ColumnsRead& Read() const { return read_; }

 private:
  std::string_view key_;
  std::string_view id_;
  ado::ColumnsRead read_;
};

struct PrintDataStatements {
  std::span<const std::string_view> subTypeChain;  // tried in order when a sub-type is given
  std::span<const std::string_view> plainChain;    // and when none is
  std::string_view userSettings;                   // the settings text of the user's row
  std::string_view managerSettings;                // and of the manager user's
  const ChosenColumns* chosen;                     // what is read of the chosen row
};

// An empty Dictionary when no template is found, else one entry keyed
// "<key>|<template id>" holding a Vector (settings text, template body).
// `holes` are the caller's, and SubTypeHole(FSubType) among them.
std::shared_ptr<Dictionary> ReadPrintData(component::MethodContext& context,
                                          const PrintDataStatements& statements,
                                          std::span<const Hole> holes, const std::string& FSubType);

// The key "<key>|<template id>" of an entry of print data, and of a user's
// current templates, written out without a text of its own: the result's
// Dictionary keeps its own copy.
class EntryKey {
 public:
  EntryKey(std::int32_t key, std::int32_t id);
  std::string_view Text() const { return {text_.data(), size_}; }

 private:
  std::array<char, 24> text_;  // two signed 32-bit numbers and the bar
  std::size_t size_;
};

// The hole {subType} of a read with the sub-type `FSubType`.
inline Hole SubTypeHole(const std::string& FSubType) {
  return Hole("subType", Quoted{FSubType});
}

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_PRINT_DATA_HPP_
