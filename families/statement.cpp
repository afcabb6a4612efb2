#include "families/statement.hpp"

#include <stdexcept>

namespace orvo::families {

namespace {

std::string QuotesDoubled(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace

Hole::Hole(std::string_view holeName, std::int32_t number)
    : name(holeName), value(std::to_string(number)) {}
Hole::Hole(std::string_view holeName, Quoted text)
    : name(holeName), value(QuotesDoubled(text.text)) {}
Hole::Hole(std::string_view holeName, Verbatim text) : name(holeName), value(text.text) {}

const Hole& HoleNamed(std::span<const Hole> holes, std::string_view name) {
  const Hole* found = nullptr;
  for (const Hole& hole : holes) {
    if (hole.name == name) found = &hole;
  }
  if (found == nullptr) {
    throw std::logic_error("the statement has a hole {" + std::string(name) +
                           "} that no value fills");
  }
  return *found;
}

std::string Fill(std::string_view pattern, std::span<const Hole> holes) {
  std::string text;
  text.reserve(pattern.size() + 32);
  std::size_t at = 0;
  for (std::size_t open; (open = pattern.find('{', at)) != std::string_view::npos;) {
    const std::size_t close = pattern.find('}', open);
    if (close == std::string_view::npos) break;
    text.append(pattern.substr(at, open - at));
    text.append(HoleNamed(holes, pattern.substr(open + 1, close - open - 1)).value);
    at = close + 1;
  }
  text.append(pattern.substr(at));
  return text;
}

bool HasHole(std::string_view pattern, std::string_view name) {
  for (std::size_t open = pattern.find('{'); open != std::string_view::npos;
       open = pattern.find('{', open + 1)) {
    if (pattern.substr(open + 1).starts_with(name) &&
        pattern.substr(open + 1 + name.size()).starts_with('}')) {
      return true;
    }
  }
  return false;
}

}  // namespace orvo::families
