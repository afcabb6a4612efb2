// The conversion functions with the semantics that the classes were written
// against: CLng and CInt round half to even and raise Overflow (6) outside
// their range; Null raises "Invalid use of Null" (94); text that is not a
// number raises "Type mismatch" (13); Empty converts to 0, "" or False.
//
// Stateless and safe to call from any thread.

#ifndef ORVO_AUTOMATION_CONVERSIONS_HPP_
#define ORVO_AUTOMATION_CONVERSIONS_HPP_

#include <cstdint>
#include <string>
#include <string_view>

#include "orvo/automation/variant.hpp"
#include "orvo/export.hpp"

namespace orvo {

// Text of a value: numbers in decimal (Doubles with up to 15 significant
// digits, "1E+20" style for large or small ones), Booleans "True"/"False",
// Dates as their general date text, Bytes as the text they hold.
ORVO_EXPORT std::string CStr(const Variant& v);
ORVO_EXPORT std::int32_t CLng(const Variant& v);
ORVO_EXPORT std::int16_t CInt(const Variant& v);
ORVO_EXPORT double CDbl(const Variant& v);
// Numbers are true when not 0; texts "True"/"False" (any case) or numeric text.
ORVO_EXPORT bool CBool(const Variant& v);

// A number rounded half to even to a whole number, as CLng and CInt round,
// whatever the floating-point rounding mode; an infinite or NaN one raises
// Overflow (6). For whole-number types that have no conversion of their own.
ORVO_EXPORT double RoundHalfToEven(double x);

// The leading number of a text: blanks (spaces, tabs, line feeds) are skipped
// wherever they stand, reading stops at the first character that cannot
// continue the number, and a text without one gives 0. "&H" and "&O" prefixes
// read hexadecimal and octal whole numbers.
ORVO_EXPORT double Val(std::string_view text);
// Val of the text of a value (Null raises 94).
ORVO_EXPORT double Val(const Variant& v);
// Literal and std::string texts convert equally well to std::string_view and
// to Variant; these overloads pick the text reading.
inline double Val(const char* text) {
  return Val(std::string_view(text));
}
inline double Val(const std::string& text) {
  return Val(std::string_view(text));
}

// Whether `text` is well-formed UTF-8: every character whole, in its shortest
// form, no surrogate (U+D800 to U+DFFF) and nothing past U+10FFFF. Texts that
// reach the store must be; a text that is not would be read back changed.
ORVO_EXPORT bool IsValidUtf8(std::string_view text);
// The number of bytes of the character that begins at byte `at` of `text`
// (`at` < size): its well-formed sequence, or 1 for a byte that begins none,
// so that malformed text still counts one character per stray byte.
ORVO_EXPORT std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_CONVERSIONS_HPP_
