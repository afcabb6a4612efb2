#include "orvo/automation/conversions.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "automation/ascii.hpp"
#include "automation/number_text.hpp"
#include "orvo/automation/error.hpp"

namespace orvo {

namespace {

// Booleans are -1 and 0 as numbers.
double BooleanNumber(bool b) {
  return b ? -1.0 : 0.0;
}

double TextNumber(const std::string& text) {
  const std::optional<double> number = ParseNumericText(text);
  if (!number) throw RuntimeError(kTypeMismatch);
  return *number;
}

// The Double that a value stands for, before any rounding.
double NumberOf(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Null:
      throw RuntimeError(kInvalidUseOfNull);
    case Variant::Kind::Boolean:
      return BooleanNumber(v.AsBoolean());
    case Variant::Kind::Integer:
      return v.AsInteger();
    case Variant::Kind::Long:
      return v.AsLong();
    case Variant::Kind::Double:
      return v.AsDouble();
    case Variant::Kind::Date:
      return v.AsDate().serial;
    case Variant::Kind::String:
      return TextNumber(v.AsString());
    case Variant::Kind::Missing:
    case Variant::Kind::Bytes:
    case Variant::Kind::Object:
      break;
  }
  throw RuntimeError(kTypeMismatch);
}

// Rounds half to even ("banker's rounding") and checks the range of T.
template <class T>
T RoundToInteger(double x) {
  const double rounded = RoundHalfToEven(x);
  if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<T>::max())) {
    throw RuntimeError(kOverflow);
  }
  return static_cast<T>(rounded);
}

// Up to 15 significant digits without trailing zeros, switching to "1E+20"
// style when the exponent is 15 or more or below -4.
std::string DoubleText(double x) {
  if (!std::isfinite(x)) throw RuntimeError(kOverflow);
  if (x == 0) return "0";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

// A date without time is its date alone; a time on day 0 is the time alone.
std::string DateText(Date d) {
  const Date::Parts p = d.ToParts();
  const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
  if (!hasTime) return d.ShortText();
  if (p.year == 1899 && p.month == 12 && p.day == 30) return d.GeneralText().substr(11);
  return d.GeneralText();
}

}  // namespace

double RoundHalfToEven(double x) {
  if (!std::isfinite(x)) throw RuntimeError(kOverflow);
  // floor and the difference are exact, so the current rounding mode plays no part.
  const double floor = std::floor(x);
  const double fraction = x - floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0)) return floor + 1;
  return floor;
}

std::string CStr(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return {};
    case Variant::Kind::Null:
      throw RuntimeError(kInvalidUseOfNull);
    case Variant::Kind::Boolean:
      return v.AsBoolean() ? "True" : "False";
    case Variant::Kind::Integer:
      return std::to_string(v.AsInteger());
    case Variant::Kind::Long:
      return std::to_string(v.AsLong());
    case Variant::Kind::Double:
      return DoubleText(v.AsDouble());
    case Variant::Kind::Date:
      return DateText(v.AsDate());
    case Variant::Kind::String:
      return v.AsString();
    case Variant::Kind::Bytes: {
      const ByteSpan bytes = v.AsBytes();
      return std::string(bytes.begin(), bytes.end());
    }
    case Variant::Kind::Missing:
    case Variant::Kind::Object:
      break;
  }
  throw RuntimeError(kTypeMismatch);
}

std::int32_t CLng(const Variant& v) {
  // Ids and counts read from a store are Longs already: nothing to round.
  if (v.kind() == Variant::Kind::Long) return v.AsLong();
  return RoundToInteger<std::int32_t>(NumberOf(v));
}

std::int16_t CInt(const Variant& v) {
  return RoundToInteger<std::int16_t>(NumberOf(v));
}

double CDbl(const Variant& v) {
  return NumberOf(v);
}

bool CBool(const Variant& v) {
  if (v.kind() == Variant::Kind::String) {
    const std::string& text = v.AsString();
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin != std::string::npos) {
      const std::string_view word =
          std::string_view(text).substr(begin, text.find_last_not_of(" \t") - begin + 1);
      if (ascii::EqualsIgnoreCase(word, "True")) return true;
      if (ascii::EqualsIgnoreCase(word, "False")) return false;
    }
  }
  return NumberOf(v) != 0;
}

double Val(std::string_view text) {
  return ReadLeadingNumber(text);
}

double Val(const Variant& v) {
  if (v.IsNull()) throw RuntimeError(kInvalidUseOfNull);
  return Val(std::string_view(CStr(v)));
}

}  // namespace orvo
