// GetDsnValue reads one value out of a data source text of the form
// key=value;key=value, the way the classes read "Language" from sDsn. The key
// is found without regard to case, also inside a longer key (XLanguage=1 is
// found for Language); the value runs to the next ";" and is not trimmed.
// Never fails: whatever cannot be read gives the empty string.
//
// Pure function; any thread.

#ifndef ORVO_STORE_DSN_VALUE_HPP_
#define ORVO_STORE_DSN_VALUE_HPP_

#include <string>
#include <string_view>

namespace orvo::store {

std::string GetDsnValue(std::string_view text, std::string_view key) noexcept;

}  // namespace orvo::store

#endif  // ORVO_STORE_DSN_VALUE_HPP_
