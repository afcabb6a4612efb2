#include "families/statement.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "automation/ascii.hpp"

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

// A decimal number as the database reads it written in a statement; nothing
// for any other text (empty, a name, a hexadecimal number).
std::optional<Variant> NumberOf(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool whole = true;
  bool number = true;
  bool digit = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (ascii::IsDigit(c)) {
      digit = true;
    } else if (c == '.' || c == 'e' || c == 'E' || ((c == '+' || c == '-') && i > 0)) {
      whole = false;
    } else {
      number = false;
    }
  }
  if (!number || !digit || !ascii::IsDigit(text.front())) return std::nullopt;
  if (whole) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value <= std::numeric_limits<std::int32_t>::max()) {
      return Variant(static_cast<std::int32_t>(value));
    }
    return Variant(static_cast<double>(value));
  }
  char* end = nullptr;
  const std::string copy(text);
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return std::nullopt;
  return Variant(value);
}

// Calls `text(part)` for each run of fixed text of `pattern` and
// `hole(name)` for each "{name}", in order.
template <class Text, class HoleAt>
void Walk(std::string_view pattern, Text&& text, HoleAt&& hole) {
  std::size_t at = 0;
  for (std::size_t open; (open = pattern.find('{', at)) != std::string_view::npos;) {
    const std::size_t close = pattern.find('}', open);
    if (close == std::string_view::npos) break;
    text(pattern.substr(at, open - at));
    hole(pattern.substr(open + 1, close - open - 1), open, close);
    at = close + 1;
  }
  text(pattern.substr(at));
}

bool IsWordCharacter(char c) {
  return ascii::IsLetter(c) || ascii::IsDigit(c) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

Hole::Hole(std::string_view holeName, std::int32_t number)
    : name_(holeName), kind_(Kind::Number), number_(number) {}
Hole::Hole(std::string_view holeName, Quoted text)
    : name_(holeName), kind_(Kind::Quoted), text_(text.text) {}
Hole::Hole(std::string_view holeName, Verbatim text)
    : name_(holeName), kind_(Kind::Verbatim), text_(text.text) {}

std::string Hole::Written() const {
  switch (kind_) {
    case Kind::Number:
      return std::to_string(number_);
    case Kind::Quoted:
      return QuotesDoubled(text_);
    case Kind::Verbatim:
      break;
  }
  return text_;
}

std::optional<Variant> Hole::Bound(bool quoted) const {
  if (quoted) return kind_ == Kind::Number ? Variant(std::to_string(number_)) : Variant(text_);
  switch (kind_) {
    case Kind::Number:
      return Variant(number_);
    case Kind::Verbatim:
      return NumberOf(text_);
    case Kind::Quoted:
      break;
  }
  return std::nullopt;
}

const Hole& HoleNamed(std::span<const Hole> holes, std::string_view name,
                      std::span<const Hole> more) {
  const Hole* found = nullptr;
  for (const Hole& hole : holes) {
    if (hole.Name() == name) found = &hole;
  }
  if (found != nullptr) return *found;
  for (const Hole& hole : more) {
    if (hole.Name() == name) found = &hole;
  }
  if (found == nullptr) {
    throw std::logic_error("the statement has a hole {" + std::string(name) +
                           "} that no value fills");
  }
  return *found;
}

std::string Fill(std::string_view pattern, std::span<const Hole> holes,
                 std::span<const Hole> more) {
  std::string text;
  text.reserve(pattern.size() + 32);
  Walk(
      pattern, [&](std::string_view part) { text.append(part); },
      [&](std::string_view name, std::size_t, std::size_t) {
        text.append(HoleNamed(holes, name, more).Written());
      });
  return text;
}

FilledStatement::FilledStatement(std::string_view pattern, std::span<const Hole> holes,
                                 std::span<const Hole> more)
    : pattern_(pattern), holes_(holes), more_(more) {
  shape_.reserve(pattern.size());
  values_.reserve(holes.size() + more.size());
  // A bound value takes the quotes the pattern writes around its hole: the
  // closing one is the first character of the next run of text.
  bool dropQuote = false;
  std::string_view part;
  Walk(
      pattern,
      [&](std::string_view text) {
        part = text;
        if (dropQuote && !part.empty()) part.remove_prefix(1);
        dropQuote = false;
      },
      [&](std::string_view name, std::size_t open, std::size_t close) {
        const bool quoted = open > 0 && pattern[open - 1] == '\'' && close + 1 < pattern.size() &&
                            pattern[close + 1] == '\'';
        const Hole& hole = HoleNamed(holes, name, more);
        std::optional<Variant> bound = hole.Bound(quoted);
        if (bound && quoted) part.remove_suffix(1);
        shape_.append(part);
        part = {};
        if (!bound) {
          shape_.append(hole.Written());
          return;
        }
        shape_ += '?';
        values_.push_back({ado::adVariant, std::move(*bound)});
        dropQuote = quoted;
        // A marker glued to a word ("{id}and") keeps the two apart.
        const std::size_t next = close + (quoted ? 2 : 1);
        if (next < pattern.size() && IsWordCharacter(pattern[next])) shape_ += ' ';
      });
  shape_.append(part);
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
