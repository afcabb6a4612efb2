// What every fuzz target shares: a property that does not hold stops the run
// as a crash, so that libFuzzer keeps the input that broke it (crash-<sha1>)
// and scripts/fuzz fails; the message names the property and shows the input
// with its unprintable bytes escaped.

#ifndef ORVO_FUZZ_PROPERTY_HPP_
#define ORVO_FUZZ_PROPERTY_HPP_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace orvo::fuzz {

inline std::string Escaped(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\') {
      shown += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      shown += hex;
    }
  }
  return shown;
}

[[noreturn]] inline void Broken(std::string_view property, std::string_view input,
                                std::string_view detail = {}) {
  std::fprintf(stderr, "\nproperty broken: %.*s\ninput: \"%s\"\n",
               static_cast<int>(property.size()), property.data(), Escaped(input).c_str());
  if (!detail.empty()) std::fprintf(stderr, "detail: \"%s\"\n", Escaped(detail).c_str());
  std::abort();
}

inline void Expect(bool holds, std::string_view property, std::string_view input,
                   std::string_view detail = {}) {
  if (!holds) Broken(property, input, detail);
}

inline std::string_view TextOf(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace orvo::fuzz

#endif  // ORVO_FUZZ_PROPERTY_HPP_
