#include "ado/utf8.hpp"

#include "orvo/automation/conversions.hpp"

namespace orvo::ado {

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += Utf8CharacterLength(text, at)) ++count;
  return count;
}

std::size_t AdvanceCharacters(std::string_view text, std::size_t from, std::size_t characters) {
  std::size_t at = from;
  for (; at < text.size() && characters > 0; --characters) at += Utf8CharacterLength(text, at);
  return at;
}

}  // namespace orvo::ado
