#include "store/dsn_value.hpp"

#include "automation/ascii.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace orvo::store {

namespace {

std::size_t FindIgnoringCase(std::string_view haystack, std::string_view needle) {
  auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                        [](char a, char b) { return ascii::ToLower(a) == ascii::ToLower(b); });
  return it == haystack.end() ? std::string_view::npos
                              : static_cast<std::size_t>(it - haystack.begin());
}

// The position of a byte offset in the 16-bit characters the routine counts
// in: one for each character, two for those outside the basic plane.
std::size_t Utf16Units(std::string_view text, std::size_t bytes) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < bytes; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

std::string GetDsnValue(std::string_view text, std::string_view key) noexcept {
  try {
    std::string s(text);
    if (s.empty() || s.back() != ';') s += ';';
    const std::string k = std::string(key) + "=";
    const std::size_t at = FindIgnoringCase(s, k);
    if (at == std::string::npos) return {};
    // Positions beyond a 16-bit integer overflow before anything is reached.
    constexpr auto kMaxPosition =
        static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max());
    if (Utf16Units(s, at) + 1 > kMaxPosition) return {};
    const std::string_view rest = std::string_view(s).substr(at);
    const std::size_t end = rest.find(';');
    if (end == std::string_view::npos || Utf16Units(rest, end) + 1 > kMaxPosition) return {};
    if (end < k.size()) return {};
    return std::string(rest.substr(k.size(), end - k.size()));
  } catch (...) {
    return {};
  }
}

}  // namespace orvo::store
