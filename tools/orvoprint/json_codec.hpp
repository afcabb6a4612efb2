// The JSON encodings of the command line: how values are printed and how
// arguments are read. A Dictionary is an object in insertion order, a Vector
// an array, Booleans true/false, numbers numbers, Null null, Empty
// {"$empty":true}, Bytes {"$binary":"<base64>"}, a Date
// {"$date":"YYYY-MM-DDTHH:MM:SS"}. Reading accepts the same encodings, so a
// value printed by one call can be passed to the next. Beside them, the check
// that a text argument is UTF-8.
//
// Pure functions; any thread.

#ifndef ORVO_TOOLS_ORVOPRINT_JSON_CODEC_HPP_
#define ORVO_TOOLS_ORVOPRINT_JSON_CODEC_HPP_

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "orvo/automation/variant.hpp"

namespace orvoprint {

using OrderedJson = nlohmann::ordered_json;

// The deepest that arrays and objects may nest in a value read: far beyond
// any argument a member takes, and shallow enough that reading a value never
// exhausts the stack.
inline constexpr int kMaxJsonDepth = 64;

std::string Base64Encode(orvo::ByteSpan bytes);
// Throws std::invalid_argument for text that is not base64.
orvo::Bytes Base64Decode(std::string_view text);

OrderedJson ToJson(const orvo::Variant& value);

// Objects become Dictionaries and arrays Vectors, except the "$" encodings.
// Throws std::invalid_argument for an encoding it cannot read, for a number
// that is not finite and for arrays and objects nested deeper than
// kMaxJsonDepth.
orvo::Variant FromJson(const OrderedJson& json);

}  // namespace orvoprint

#endif  // ORVO_TOOLS_ORVOPRINT_JSON_CODEC_HPP_
