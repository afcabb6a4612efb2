#include "automation/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

#include "automation/ascii.hpp"
#include "orvo/automation/error.hpp"

namespace orvo {

namespace {

// Exponents beyond this are out of any Double's reach either way; clamping
// keeps the arithmetic on them from overflowing.
constexpr long long kExponentClamp = 1'000'000;

int DigitValue(char c, int base) {
  int value = -1;
  if (ascii::IsDigit(c)) value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// A number written as a mantissa ("12.50", ".5", "3.") and a decimal exponent
// ("+07", "-3", or empty). Too large for a Double raises Overflow; too small
// gives 0.
double DecimalValue(bool negative, std::string_view mantissa, std::string_view exponent) {
  std::string text(mantissa);
  if (!exponent.empty()) {
    text += 'e';
    text += exponent;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Decide by the decimal magnitude whether the number is huge or tiny.
    long long exp = 0;
    bool expNegative = false;
    for (char c : exponent) {
      if (c == '-') expNegative = true;
      if (ascii::IsDigit(c) && exp < kExponentClamp) exp = exp * 10 + (c - '0');
    }
    if (expNegative) exp = -exp;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    const long long magnitude = first < point ? static_cast<long long>(point - first) - 1
                                              : -static_cast<long long>(first - point);
    if (magnitude + exp >= 0) throw RuntimeError(kOverflow);
    return 0;
  }
  if (error != std::errc() || end != text.data() + text.size()) throw RuntimeError(kTypeMismatch);
  // -0 reads as 0, as the language has no negative zero.
  return negative && value != 0 ? -value : value;
}

// A hexadecimal or octal whole number from its digits.
double RadixValue(std::string_view digits, int base) {
  std::uint64_t value = 0;
  for (char c : digits) {
    value =
        value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(DigitValue(c, base));
    if (value > 0xFFFF'FFFFu) throw RuntimeError(kOverflow);
  }
  if (value <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

int RadixOf(char marker) {
  if (marker == 'H' || marker == 'h') return 16;
  if (marker == 'O' || marker == 'o') return 8;
  return 0;
}

// Walks a text for Val, stepping over blanks wherever they stand.
class BlankSkippingCursor {
 public:
  explicit BlankSkippingCursor(std::string_view text) : text_(text) {}

  // The next character that is not a blank, or '\0' at the end.
  char Peek() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void Advance() {
    Peek();
    if (pos_ < text_.size()) ++pos_;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<double> ParseNumericText(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return std::nullopt;
  text = text.substr(begin, text.find_last_not_of(" \t") - begin + 1);

  if (text.front() == '&') {
    const int base = text.size() > 2 ? RadixOf(text[1]) : 0;
    if (base == 0) return std::nullopt;
    const std::string_view digits = text.substr(2);
    for (char c : digits) {
      if (DigitValue(c, base) < 0) return std::nullopt;
    }
    return RadixValue(digits, base);
  }

  std::size_t pos = 0;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  const std::size_t mantissaBegin = pos;
  bool point = false, digit = false;
  for (; pos < text.size(); ++pos) {
    if (ascii::IsDigit(text[pos])) {
      digit = true;
    } else if (text[pos] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digit) return std::nullopt;
  const std::string_view mantissa = text.substr(mantissaBegin, pos - mantissaBegin);
  std::string_view exponent;
  if (pos < text.size()) {
    const char marker = ascii::ToLower(text[pos]);
    if (marker != 'e' && marker != 'd') return std::nullopt;
    exponent = text.substr(pos + 1);
    const std::size_t digits =
        exponent.empty() || (exponent[0] != '+' && exponent[0] != '-') ? 0 : 1;
    if (exponent.size() == digits) return std::nullopt;
    for (std::size_t i = digits; i < exponent.size(); ++i) {
      if (!ascii::IsDigit(exponent[i])) return std::nullopt;
    }
  }
  return DecimalValue(negative, mantissa, exponent);
}

double ReadLeadingNumber(std::string_view text) {
  BlankSkippingCursor cursor(text);
  if (cursor.Peek() == '&') {
    cursor.Advance();
    const int base = RadixOf(cursor.Peek());
    if (base == 0) return 0;
    cursor.Advance();
    std::string digits;
    while (DigitValue(cursor.Peek(), base) >= 0) {
      digits += cursor.Peek();
      cursor.Advance();
    }
    return RadixValue(digits, base);
  }

  bool negative = false;
  if (cursor.Peek() == '+' || cursor.Peek() == '-') {
    negative = cursor.Peek() == '-';
    cursor.Advance();
  }
  std::string mantissa;
  bool point = false, digit = false;
  for (;; cursor.Advance()) {
    const char c = cursor.Peek();
    if (ascii::IsDigit(c)) {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    mantissa += c;
  }
  if (!digit) return 0;

  // An exponent counts only when a digit follows its letter (and sign).
  std::string exponent;
  const char marker = ascii::ToLower(cursor.Peek());
  if (marker == 'e' || marker == 'd') {
    cursor.Advance();
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
      exponent += cursor.Peek();
      cursor.Advance();
    }
    while (ascii::IsDigit(cursor.Peek())) {
      exponent += cursor.Peek();
      cursor.Advance();
    }
    if (exponent.empty() || !ascii::IsDigit(exponent.back())) exponent.clear();
  }
  return DecimalValue(negative, mantissa, exponent);
}

}  // namespace orvo
