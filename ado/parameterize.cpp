#include "ado/parameterize.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>

#include "orvo/automation/ascii.hpp"

namespace orvo::ado {

namespace {

// Where a literal stands, per level of parentheses.
struct Level {
  bool selectList = false;  // between SELECT and what ends its list
  bool positional = false;  // in ORDER BY or GROUP BY
};

bool EndsSelectList(const Token& t) {
  static constexpr std::string_view kWords[] = {"from",  "into",  "where",  "group",     "having",
                                                "order", "union", "except", "intersect", "limit"};
  if (t.kind != TokenKind::Identifier) return false;
  for (std::string_view word : kWords) {
    if (t.Is(word)) return true;
  }
  return false;
}

bool EndsPositional(const Token& t) {
  static constexpr std::string_view kWords[] = {"having", "limit",     "offset", "union",
                                                "except", "intersect", "window"};
  if (t.kind != TokenKind::Identifier) return false;
  for (std::string_view word : kWords) {
    if (t.Is(word)) return true;
  }
  return false;
}

// Only these statements take markers.
bool TakesMarkers(const Token& first) {
  return first.Is("select") || first.Is("insert") || first.Is("update") || first.Is("delete");
}

// The value of a decimal number token as the database reads it; false for a
// number that stays in the text (hexadecimal, or whole but past 64 bits).
bool ReadNumber(std::string_view text, LiftedValue& value) {
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return false;
  bool whole = true;
  for (char c : text) whole = whole && ascii::IsDigit(c);
  if (whole) {
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value.integer);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value.kind = LiftedValue::Kind::Integer;
    return true;
  }
  value.kind = LiftedValue::Kind::Real;
  value.real = std::strtod(std::string(text).c_str(), nullptr);
  return true;
}

}  // namespace

Variant LiftedValue::ToVariant() const {
  switch (kind) {
    case Kind::Integer:
      if (integer >= std::numeric_limits<std::int32_t>::min() &&
          integer <= std::numeric_limits<std::int32_t>::max()) {
        return Variant(static_cast<std::int32_t>(integer));
      }
      return Variant(static_cast<double>(integer));
    case Kind::Real:
      return Variant(real);
    case Kind::Text:
      break;
  }
  return Variant(text);
}

void Parameterizer::Parameterize(std::string_view text) {
  Tokenize(text, tokens_);
  shape_.clear();
  lifted_.clear();
  slots_.clear();
  unquoted_.clear();
  callerMarkers_ = 0;

  bool takesMarkers = false;
  for (const Token& token : tokens_) {
    if (!token.Significant()) continue;
    takesMarkers = TakesMarkers(token);
    break;
  }

  std::vector<Level> levels(1);
  const Token* previous = nullptr;  // the significant tokens before this one
  const Token* beforePrevious = nullptr;
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    bool lifted = false;
    if (t.Significant()) {
      Level& level = levels.back();
      if (t.Is("(")) {
        // A function's parentheses stay in the list or clause they stand in;
        // a subquery opens its own with its SELECT.
        levels.push_back(level);
      } else if (t.Is(")")) {
        if (levels.size() > 1) levels.pop_back();
      } else if (t.Is("select")) {
        level = Level{.selectList = true};
      } else if (EndsSelectList(t)) {
        level.selectList = false;
        level.positional = false;
        if ((t.Is("order") || t.Is("group")) && i + 1 < tokens_.size()) level.positional = true;
      } else if (EndsPositional(t)) {
        level.positional = false;
      } else if (t.kind == TokenKind::Marker) {
        slots_.push_back(Slot{false, callerMarkers_++});
      } else if (takesMarkers && !level.selectList && !level.positional) {
        const bool countOfTop = (previous != nullptr && previous->Is("top")) ||
                                (previous != nullptr && previous->Is("(") &&
                                 beforePrevious != nullptr && beforePrevious->Is("top"));
        // x'0a0b' is a byte array written as a word glued to a text.
        const bool glued = i > 0 && tokens_[i - 1].kind == TokenKind::Identifier;
        if (t.kind == TokenKind::String && t.closed && !glued) {
          Lift(t);
          lifted = true;
        } else if (t.kind == TokenKind::Number && !countOfTop) {
          LiftedValue value;
          if (ReadNumber(t.text, value)) {
            slots_.push_back(Slot{true, lifted_.size()});
            lifted_.push_back(value);
            lifted = true;
          }
        }
      }
      beforePrevious = previous;
      previous = &t;
    }
    if (!lifted) {
      shape_.append(t.text);
      continue;
    }
    shape_ += '?';
    // A literal glued to a word ("5and") keeps the two apart.
    if (i + 1 < tokens_.size() && (tokens_[i + 1].kind == TokenKind::Identifier ||
                                   tokens_[i + 1].kind == TokenKind::Number)) {
      shape_ += ' ';
    }
  }
}

void Parameterizer::Lift(const Token& token) {
  // 'text' or N'text'; a doubled quote stands for one.
  std::string_view inner = token.text.substr(token.text.front() == '\'' ? 1 : 2);
  inner.remove_suffix(1);
  LiftedValue value;
  value.kind = LiftedValue::Kind::Text;
  if (inner.find('\'') == std::string_view::npos) {
    value.text = inner;
  } else {
    std::string& own = unquoted_.emplace_back();
    for (std::size_t i = 0; i < inner.size(); ++i) {
      own += inner[i];
      if (inner[i] == '\'') ++i;
    }
    value.text = own;
  }
  slots_.push_back(Slot{true, lifted_.size()});
  lifted_.push_back(value);
}

}  // namespace orvo::ado
