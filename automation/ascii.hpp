// ASCII character classes and case-insensitive comparison of ASCII names
// (member names, ProgIDs, class identifiers, data source keys, field names,
// "True"/"False", statement keywords). These are ASCII, so no locale takes
// part. Stateless; any thread.

#ifndef ORVO_AUTOMATION_ASCII_HPP_
#define ORVO_AUTOMATION_ASCII_HPP_

#include <cstddef>
#include <string_view>

namespace orvo::ascii {

constexpr char ToLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr bool IsHexDigit(char c) {
  return IsDigit(c) || (ToLower(c) >= 'a' && ToLower(c) <= 'f');
}

constexpr bool IsLetter(char c) {
  return ToLower(c) >= 'a' && ToLower(c) <= 'z';
}

constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // Most letters compared are written alike. Two that are not differ by
    // case only when they differ in the case bit alone and are letters.
    if (a[i] != b[i] && ((a[i] ^ b[i]) != 0x20 || !IsLetter(a[i]))) return false;
  }
  return true;
}

// Blank, tab, line feed, carriage return, form feed, vertical tab.
constexpr bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace orvo::ascii

#endif  // ORVO_AUTOMATION_ASCII_HPP_
