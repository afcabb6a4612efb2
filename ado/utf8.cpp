#include "ado/utf8.hpp"

namespace orvo::ado {

namespace {
// Continuation bytes (10xxxxxx) never start a character.
bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
}
}  // namespace

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if (StartsCharacter(c)) ++count;
  }
  return count;
}

std::size_t AdvanceCharacters(std::string_view text, std::size_t from, std::size_t characters) {
  std::size_t i = from;
  while (i < text.size() && characters > 0) {
    ++i;
    while (i < text.size() && !StartsCharacter(text[i])) ++i;
    --characters;
  }
  return i;
}

}  // namespace orvo::ado
