// The message routines of the classes: GetLanguageText gives a message in the
// caller's language (every message is kept in one language, so it gives the
// text unchanged), and FormatMessage fills its %1, %2 ... placeholders.
//
// Pure functions; any thread.

#ifndef ORVO_STORE_MESSAGES_HPP_
#define ORVO_STORE_MESSAGES_HPP_

#include <string>
#include <string_view>
#include <vector>

#include "orvo/automation/variant.hpp"

namespace orvo::store {

std::string GetLanguageText(std::string_view text, std::string_view language);

// Raises what formatting an argument raises (a Null argument: 94).
std::string FormatMessage(std::string_view text, std::string_view language,
                          const std::vector<Variant>& arguments);

}  // namespace orvo::store

#endif  // ORVO_STORE_MESSAGES_HPP_
