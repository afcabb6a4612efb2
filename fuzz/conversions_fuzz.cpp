// The conversions that the classes apply to outside text: numbers (CDbl,
// CLng, CInt, CBool, Val, CStr) and dates (Date::Parse, a serial's parts and
// texts). The input is read three ways: as a number text, as a date text, and
// (its first eight bytes) as a Double and as a date serial. What must hold:
//   - a conversion gives a value or raises Type mismatch (13), Overflow (6)
//     or Invalid use of Null (94); nothing else escapes;
//   - a number read from text is finite, Val reads the same number from it,
//     and formatted and read back it is the same (its text, to the 15 digits
//     that CStr gives); CLng and CInt are that number rounded half to even,
//     or Overflow outside their range, and read back from their text;
//   - Date::Parse accepts exactly the texts of its forms that name a real
//     date and time of the years 100 to 9999, and its general text reads
//     back to the same date;
//   - every serial in range has parts that make a date within half a second
//     of it.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/property.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/automation/variant.hpp"

namespace {

using orvo::AutomationError;
using orvo::Date;
using orvo::Variant;
using orvo::fuzz::Expect;

bool Expected(const AutomationError& error) {
  return error.number() == orvo::kTypeMismatch || error.number() == orvo::kOverflow ||
         error.number() == orvo::kInvalidUseOfNull;
}

// Runs a conversion: its value, or nullopt when it raised one of the errors
// a conversion may raise (whose number goes to `raised`).
template <class F>
auto Converted(F&& convert, std::string_view input, std::int32_t& raised)
    -> std::optional<decltype(convert())> {
  try {
    return convert();
  } catch (const AutomationError& error) {
    Expect(Expected(error), "a conversion raises only 6, 13 or 94", input, error.description());
    raised = error.number();
    return std::nullopt;
  }
}

// The largest Double whose 15 significant digits do not round up past the
// largest Double: 1.79769313486231E+308 reads back, 1.79769313486232E+308
// overflows.
constexpr double kLargestRoundedDown = 1.797693134862315e308;

// A normal Double's text has the 15 significant digits CStr writes; a
// subnormal one has fewer bits than that, so its text may not read back.
bool Normal(double x) {
  return x == 0 || std::fabs(x) >= std::numeric_limits<double>::min();
}

void CheckFormatted(double x, std::string_view input) {
  const std::string text = orvo::CStr(Variant(x));
  std::int32_t raised = 0;
  const std::optional<double> back =
      Converted([&] { return orvo::CDbl(Variant(text)); }, input, raised);
  if (!back) {
    // 15 digits round the largest Doubles up past the largest Double.
    Expect(raised == orvo::kOverflow && std::fabs(x) >= kLargestRoundedDown,
           "CStr of a number reads back as a number", input, text);
    return;
  }
  Expect(std::fabs(*back - x) <=
             std::max(std::fabs(x) * 1e-14, std::numeric_limits<double>::denorm_min()),
         "a number read back from CStr is close", input, text);
  if (Normal(x) && Normal(*back)) {
    Expect(orvo::CStr(Variant(*back)) == text, "a number formatted and read back is the same",
           input, text);
  }
  Expect(orvo::Val(text) == *back, "Val reads CStr's text as CDbl does", input, text);
}

template <class Integer>
void CheckWhole(const Variant& value, std::optional<double> number, std::int32_t numberRaised,
                std::string_view input) {
  std::int32_t raised = 0;
  const auto whole = Converted(
      [&] {
        if constexpr (sizeof(Integer) == 4) {
          return orvo::CLng(value);
        } else {
          return orvo::CInt(value);
        }
      },
      input, raised);
  if (!number) {
    Expect(!whole && raised == numberRaised, "a text that is no number is no whole number", input);
    return;
  }
  const double rounded = orvo::RoundHalfToEven(*number);
  const bool fits = rounded >= std::numeric_limits<Integer>::min() &&
                    rounded <= std::numeric_limits<Integer>::max();
  if (!fits) {
    Expect(!whole && raised == orvo::kOverflow, "a whole number out of range overflows", input);
    return;
  }
  Expect(whole.has_value() && *whole == rounded, "a whole number rounds half to even", input);
  Expect(orvo::CLng(Variant(orvo::CStr(Variant(static_cast<std::int32_t>(*whole))))) == *whole,
         "a whole number formatted and read back is the same", input);
}

void CheckNumberText(std::string_view text) {
  const Variant value{std::string(text)};
  std::int32_t raised = 0;
  const std::optional<double> number = Converted([&] { return orvo::CDbl(value); }, text, raised);
  if (number) {
    Expect(std::isfinite(*number), "a number read from text is finite", text);
    Expect(orvo::Val(text) == *number, "Val reads a number text as CDbl does", text);
    CheckFormatted(*number, text);
  } else {
    Expect(raised == orvo::kTypeMismatch || raised == orvo::kOverflow,
           "a text is a number, no number (13) or too large (6)", text);
  }
  CheckWhole<std::int32_t>(value, number, raised, text);
  CheckWhole<std::int16_t>(value, number, raised, text);
  std::int32_t ignored = 0;
  Converted([&] { return orvo::Val(text); }, text, ignored);
  Converted([&] { return orvo::CBool(value); }, text, ignored);
}

// The parts of a text of one of Date::Parse's forms, "YYYY-MM-DD" with an
// optional " HH:MM", " HH:MM:SS" or the same after "T"; nullopt otherwise.
std::optional<Date::Parts> DateForm(std::string_view text) {
  std::string pattern;
  for (const char c : text) pattern += c >= '0' && c <= '9' ? '9' : c;
  for (const char* form : {"9999-99-99", "9999-99-99 99:99", "9999-99-99 99:99:99",
                           "9999-99-99T99:99", "9999-99-99T99:99:99"}) {
    if (pattern != form) continue;
    const auto number = [&](std::size_t at, std::size_t count) {
      return count == 0 || text.size() < at + count
                 ? 0
                 : std::stoi(std::string(text.substr(at, count)));
    };
    return Date::Parts{number(0, 4),  number(5, 2),  number(8, 2),
                       number(11, 2), number(14, 2), number(17, 2)};
  }
  return std::nullopt;
}

std::string GeneralText(const Date::Parts& p) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

void CheckDateText(std::string_view text) {
  Date date;
  const bool accepted = Date::Parse(text, date);
  const std::optional<Date::Parts> form = DateForm(text);
  bool real = false;
  if (form) {
    const std::chrono::year_month_day day{std::chrono::year(form->year),
                                          std::chrono::month(static_cast<unsigned>(form->month)),
                                          std::chrono::day(static_cast<unsigned>(form->day))};
    real = day.ok() && form->year >= 100 && form->year <= 9999 && form->hour < 24 &&
           form->minute < 60 && form->second < 60;
  }
  Expect(accepted == real, "Date::Parse accepts exactly the real dates of its forms", text);
  if (!accepted) return;
  const std::string general = date.GeneralText();
  Expect(general == GeneralText(*form), "a date read has the parts its text wrote", text, general);
  Date back;
  Expect(Date::Parse(general, back) && back == date, "a date's text reads back to the same date",
         text, general);
}

// Seconds since 1899-12-30 of a serial: its fraction counts forward from
// the midnight of its whole part, on either side of day 0.
double Instant(double serial) {
  const double whole = std::trunc(serial);
  return whole * 86400 + std::fabs(serial - whole) * 86400;
}

void CheckSerial(double serial, std::string_view input) {
  Date::Parts parts{};
  try {
    parts = Date{serial}.ToParts();
  } catch (const AutomationError& error) {
    Expect(error.number() == orvo::kOverflow, "a serial out of range overflows", input);
    return;
  }
  const Date made =
      Date::FromParts(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second);
  Expect(std::fabs(Instant(made.serial) - Instant(serial)) <= 0.5001,
         "a serial's parts are its instant to the second", input, GeneralText(parts));
  Date back;
  Expect(Date::Parse(made.GeneralText(), back) && back == made,
         "a serial's text reads back to its date", input, made.GeneralText());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = orvo::fuzz::TextOf(data, size);
  CheckNumberText(text);
  CheckDateText(text);
  if (size >= sizeof(double)) {
    double x = 0;
    std::memcpy(&x, data, sizeof x);
    if (std::isfinite(x)) {
      CheckFormatted(x, text);
      CheckSerial(x, text);
    } else {
      std::int32_t raised = 0;
      const auto shown = Converted([&] { return orvo::CStr(Variant(x)); }, text, raised);
      Expect(!shown && raised == orvo::kOverflow, "a number that is not finite has no text", text);
    }
  }
  return 0;
}
