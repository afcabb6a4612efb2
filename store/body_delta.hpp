// A template body that the history keeps as its difference from a newer body
// of the same template: what stays the same is copied from the newer body,
// only what a designer changed is kept. A compacted history keeps its bodies
// this way; restoring and listing a version build the whole body again.
//
// The difference names the body it was made against by its length and hash,
// and the body it gives the same way, so a difference applied to any other
// body is refused, never turned into a body nobody saved.
//
// Layout, numbers as unsigned LEB128 unless said otherwise:
//   "ORD1"
//   the newer body's length, then its FNV-1a 64 hash (8 bytes, little-endian)
//   the kept body's length, then its hash
//   steps to the end:  (length << 1 | 1), offset  copies `length` bytes of the
//                                                 newer body from `offset`
//                      (length << 1), bytes       gives these `length` bytes
//
// Pure functions; any thread.

#ifndef ORVO_STORE_BODY_DELTA_HPP_
#define ORVO_STORE_BODY_DELTA_HPP_

#include <cstdint>
#include <optional>
#include <span>

#include "orvo/automation/variant.hpp"

namespace orvo::store {

// The difference that gives `body` from `newer`. It may be longer than
// `body` itself when the two have little in common.
Bytes DifferenceOf(std::span<const std::uint8_t> newer, std::span<const std::uint8_t> body);

// The body that `difference` gives from `newer`. Raises 0x80004005 when
// `difference` is not one, or was made against another body, or does not
// give the body it names.
Bytes BodyFrom(std::span<const std::uint8_t> newer, std::span<const std::uint8_t> difference);

// The length of the body that `difference` gives, read from its head without
// building the body; empty when the head is not a difference's.
std::optional<std::uint64_t> BodyLengthOf(std::span<const std::uint8_t> difference);

}  // namespace orvo::store

#endif  // ORVO_STORE_BODY_DELTA_HPP_
