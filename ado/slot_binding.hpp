// Binding the markers of a shape: each marker takes a literal that the
// parameterizer lifted out of the text, or the caller's value at its
// position. Every backend binds this way; only how a value is bound is its
// own.

#ifndef ORVO_ADO_SLOT_BINDING_HPP_
#define ORVO_ADO_SLOT_BINDING_HPP_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/bound_value.hpp"
#include "ado/parameterize.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::ado {

// Raises 0x80040E14 (source `provider`): `given` values were given for a
// statement of `expected` markers.
[[noreturn]] inline void RefuseMarkerCount(std::size_t expected, std::size_t given,
                                           std::string_view provider) {
  throw AutomationError(kErrStatementRefused, std::string(provider),
                        "The statement has " + std::to_string(expected) + " markers but " +
                            std::to_string(given) + " values were given");
}

// Calls `sink.Value(i, variant)` or `sink.Lifted(i, literal)` for every
// marker i (from 0) of the parameterizer's shape, after checking that the
// caller gave one value per marker of its own and that the prepared
// statement has `markers` markers.
template <class Sink>
void BindSlots(const Parameterizer& parameterizer, std::span<const BoundValue> params,
               std::size_t markers, std::string_view provider, Sink&& sink) {
  const std::span<const Slot> slots = parameterizer.Slots();
  std::size_t given = 0;
  for (const Slot& slot : slots) given += slot.lifted ? 0 : 1;
  if (given != params.size() || markers != slots.size()) {
    RefuseMarkerCount(given, params.size(), provider);
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].lifted) {
      sink.Lifted(i, parameterizer.Lifted(slots[i].index));
    } else {
      sink.Value(i, params[slots[i].index].value);
    }
  }
}

// Calls `sink.Value(i, value)` for every value of a statement already in
// its shape, after checking that it has one marker per value.
template <class Sink>
void BindShapeValues(std::span<const BoundValue> values, std::size_t markers,
                     std::string_view provider, Sink&& sink) {
  if (markers != values.size()) RefuseMarkerCount(markers, values.size(), provider);
  for (std::size_t i = 0; i < values.size(); ++i) sink.Value(i, values[i].value);
}

// What a backend runs for a text's shape, with the values of every marker in
// order: what an observer is told.
inline std::vector<Variant> SlotValues(const Parameterizer& parameterizer,
                                       std::span<const BoundValue> params) {
  std::vector<Variant> values;
  for (const Slot& slot : parameterizer.Slots()) {
    if (slot.lifted) {
      values.push_back(parameterizer.Lifted(slot.index).ToVariant());
    } else if (slot.index < params.size()) {
      values.push_back(params[slot.index].value);
    }
  }
  return values;
}

}  // namespace orvo::ado

#endif  // ORVO_ADO_SLOT_BINDING_HPP_
