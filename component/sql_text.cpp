#include "component/sql_text.hpp"

namespace orvo::component {

std::string QuotesDoubled(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace orvo::component
