// Case-insensitive comparison of ASCII names (member names, ProgIDs, class
// identifiers, data source keys, field names, "True"/"False"). These names are
// ASCII, so no locale takes part. Stateless; any thread.

#ifndef ORVO_AUTOMATION_ASCII_HPP_
#define ORVO_AUTOMATION_ASCII_HPP_

#include <string_view>

namespace orvo::ascii {

constexpr char ToLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToLower(a[i]) != ToLower(b[i])) return false;
  }
  return true;
}

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace orvo::ascii

#endif  // ORVO_AUTOMATION_ASCII_HPP_
