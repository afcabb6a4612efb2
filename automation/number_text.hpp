// Reading numbers from text the way the classes' language does, shared by the
// conversions (which want the whole text to be a number) and Val (which reads
// the leading number of a text). Decimal numbers have an optional sign,
// digits with at most one decimal point and an optional exponent written with
// E or D; "&H" and "&O" introduce hexadecimal and octal whole numbers, which
// are read as 16-bit values when they fit in 16 bits and as 32-bit values
// otherwise (so "&HFFFF" is -1 and "&HFFFFFFFF" is -1). Thousands separators
// and currency signs are not part of a number.
//
// Stateless; any thread. Both raise Overflow (6) for a number too large for a
// Double or a hexadecimal/octal number over 32 bits.

#ifndef ORVO_AUTOMATION_NUMBER_TEXT_HPP_
#define ORVO_AUTOMATION_NUMBER_TEXT_HPP_

#include <optional>
#include <string_view>

namespace orvo {

// The number that the whole text is, blanks (spaces, tabs) at either end
// aside; nullopt when the text is no number.
std::optional<double> ParseNumericText(std::string_view text);

// The number at the start of the text, blanks (spaces, tabs, line feeds,
// carriage returns) being skipped wherever they stand; 0 when there is none.
double ReadLeadingNumber(std::string_view text);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_NUMBER_TEXT_HPP_
