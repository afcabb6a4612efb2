// Text values that the classes place between single quotes in a statement
// text have each embedded quote doubled, so that a name such as O'Brien is
// stored and found as written and no value can end the quoted text early. A
// value without a quote comes back unchanged, so the statement reads exactly
// as the classes build it.
//
// Pure function; any thread.

#ifndef ORVO_COMPONENT_SQL_TEXT_HPP_
#define ORVO_COMPONENT_SQL_TEXT_HPP_

#include <string>
#include <string_view>

namespace orvo::component {

// `text` with every ' written as ''; the caller writes the enclosing quotes.
std::string QuotesDoubled(std::string_view text);

}  // namespace orvo::component

#endif  // ORVO_COMPONENT_SQL_TEXT_HPP_
