// Counting and stepping over the characters of UTF-8 text, for the limits and
// chunks that the data-access layer measures in characters.
//
// Stateless and safe to call from any thread.

#ifndef ORVO_ADO_UTF8_HPP_
#define ORVO_ADO_UTF8_HPP_

#include <cstddef>
#include <string_view>

namespace orvo::ado {

// The number of characters in `text`: its code points, each byte that
// begins none counting as one.
std::size_t CountCharacters(std::string_view text);

// The byte offset reached by stepping over up to `characters` characters of
// `text` from byte offset `from`.
std::size_t AdvanceCharacters(std::string_view text, std::size_t from, std::size_t characters);

}  // namespace orvo::ado

#endif  // ORVO_ADO_UTF8_HPP_
