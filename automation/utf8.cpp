#include <cstdint>
#include <cstring>
#include <string_view>

#include "orvo/automation/conversions.hpp"

namespace orvo {

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  // The length a lead byte announces, and the range its second byte must lie
  // in so that the form is the shortest one, no surrogate and no code point
  // past U+10FFFF.
  std::size_t length = 0;
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  if (text.size() - at < length) return 1;
  if (byte(at + 1) < low || byte(at + 1) > high) return 1;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 1;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  // Statement texts are mostly ASCII: 32 of its bytes at a time, then eight,
  // and the last few with the eight that end the text (those before them
  // are whole characters already).
  const auto allAscii = [&](std::size_t at) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, text.data() + at, sizeof eight);
    return (eight & 0x8080808080808080u) == 0;
  };
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t left = text.size() - at;
    if (left >= 32 && allAscii(at) && allAscii(at + 8) && allAscii(at + 16) && allAscii(at + 24)) {
      at += 32;
      continue;
    }
    if (left >= 8 && allAscii(at)) {
      at += 8;
      continue;
    }
    if (left < 8 && text.size() >= 8 && allAscii(text.size() - 8)) return true;
    if (static_cast<std::uint8_t>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = Utf8CharacterLength(text, at);
    if (length == 1) return false;
    at += length;
  }
  return true;
}

}  // namespace orvo
