// The stateless helpers of the collection library.
//
// FormatText scans bytes: "%" and the digits are ASCII and never occur inside
// a multi-byte UTF-8 sequence, so any UTF-8 text passes through intact.

#include <cstddef>
#include <limits>

#include "automation/ascii.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

Variant Utility::ValueOrDefault(const Variant& value, const Variant& defaultValue) {
  return value.IsNull() ? defaultValue : value;
}

std::string Utility::FormatText(std::string_view text, const std::vector<Variant>& args) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c != '%' || pos + 1 >= text.size() || !ascii::IsDigit(text[pos + 1])) {
      out.push_back(c);
      ++pos;
      continue;
    }
    // All the digits belong to the placeholder: "%10" is the tenth argument,
    // never the first followed by "0". A number too large for any argument
    // list saturates and so stays as written.
    std::size_t end = pos + 1;
    std::size_t n = 0;
    constexpr std::size_t kSaturated = std::numeric_limits<std::size_t>::max() / 10 - 1;
    while (end < text.size() && ascii::IsDigit(text[end])) {
      if (n < kSaturated) n = n * 10 + static_cast<std::size_t>(text[end] - '0');
      ++end;
    }
    if (n >= 1 && n <= args.size()) {
      out += CStr(args[n - 1]);
    } else {
      out.append(text.substr(pos, end - pos));
    }
    pos = end;
  }
  return out;
}

}  // namespace orvo
