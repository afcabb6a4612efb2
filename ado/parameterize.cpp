#include "ado/parameterize.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>

#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

// The words that change where a literal stands.
enum class Word {
  Other,
  Select,
  EndsList,    // from, into, where, having, union, except, intersect, limit
  OrderGroup,  // order, group: what follows may be positions
  EndsClause,  // offset, window: a position clause ends
  Top,
  TakesMarkers,  // insert, update, delete
};

// Classifies a bare word once, by its length and its letters, without case.
Word Classify(const Token& t) {
  if (t.kind != TokenKind::Identifier || t.text.size() < 3 || t.text.size() > 9) {
    return Word::Other;
  }
  const auto is = [&](std::string_view word) { return ascii::EqualsIgnoreCase(t.text, word); };
  switch (ascii::ToLower(t.text.front())) {
    case 'd':
      return is("delete") ? Word::TakesMarkers : Word::Other;
    case 'e':
      return is("except") ? Word::EndsList : Word::Other;
    case 'f':
      return is("from") ? Word::EndsList : Word::Other;
    case 'g':
      return is("group") ? Word::OrderGroup : Word::Other;
    case 'h':
      return is("having") ? Word::EndsList : Word::Other;
    case 'i':
      if (is("into") || is("intersect")) return Word::EndsList;
      return is("insert") ? Word::TakesMarkers : Word::Other;
    case 'l':
      return is("limit") ? Word::EndsList : Word::Other;
    case 'o':
      if (is("order")) return Word::OrderGroup;
      return is("offset") ? Word::EndsClause : Word::Other;
    case 's':
      return is("select") ? Word::Select : Word::Other;
    case 't':
      return is("top") ? Word::Top : Word::Other;
    case 'u':
      if (is("union")) return Word::EndsList;
      return is("update") ? Word::TakesMarkers : Word::Other;
    case 'w':
      if (is("where")) return Word::EndsList;
      return is("window") ? Word::EndsClause : Word::Other;
    default:
      return Word::Other;
  }
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
  shape_.clear();
  lifted_.clear();
  slots_.clear();
  unquoted_.clear();
  callerMarkers_ = 0;
  levels_.assign(1, Level{});

  Lexer lexer(text);
  Token t;
  bool first = true;            // the statement's first word is still to come
  bool takesMarkers = false;    // it is a select, insert, update or delete
  Word previous = Word::Other;  // of the significant tokens before this one
  Word beforePrevious = Word::Other;
  bool previousOpens = false;  // the significant token before this one is "("
  bool afterWord = false;      // the token just before (blanks included) is a bare word
  std::size_t copied = 0;      // how much of the text the shape holds
  while (lexer.Next(t)) {
    const bool glued = afterWord;
    afterWord = t.kind == TokenKind::Identifier;
    if (!t.Significant()) continue;
    const Word word = t.kind == TokenKind::Identifier ? Classify(t) : Word::Other;
    if (first) {
      takesMarkers = word == Word::Select || word == Word::TakesMarkers;
      first = false;
    }
    Level& level = levels_.back();
    bool opens = false;
    bool lift = false;
    if (t.kind == TokenKind::Punctuation && t.text == "(") {
      // A function's parentheses stay in the list or clause they stand in;
      // a subquery opens its own with its SELECT.
      levels_.push_back(level);
      opens = true;
    } else if (t.kind == TokenKind::Punctuation && t.text == ")") {
      if (levels_.size() > 1) levels_.pop_back();
    } else if (word == Word::Select) {
      level = Level{.selectList = true, .positional = false};
    } else if (word == Word::EndsList || word == Word::OrderGroup) {
      level.selectList = false;
      level.positional = word == Word::OrderGroup;
    } else if (word == Word::EndsClause) {
      level.positional = false;
    } else if (t.kind == TokenKind::Marker) {
      slots_.push_back(Slot{false, callerMarkers_++});
    } else if (takesMarkers && !level.selectList && !level.positional) {
      const bool countOfTop =
          previous == Word::Top || (previousOpens && beforePrevious == Word::Top);
      // x'0a0b' is a byte array written as a word glued to a text.
      if (t.kind == TokenKind::String && t.closed && !glued) {
        Lift(t);
        lift = true;
      } else if (t.kind == TokenKind::Number && !countOfTop) {
        LiftedValue value;
        if (ReadNumber(t.text, value)) {
          slots_.push_back(Slot{true, lifted_.size()});
          lifted_.push_back(value);
          lift = true;
        }
      }
    }
    beforePrevious = previous;
    previous = word;
    previousOpens = opens;
    if (!lift) continue;
    const auto begin = static_cast<std::size_t>(t.text.data() - text.data());
    const std::size_t end = begin + t.text.size();
    shape_.append(text, copied, begin - copied);
    shape_ += '?';
    // A literal glued to a word ("5and") keeps the two apart.
    if (end < text.size() && (ascii::IsLetter(text[end]) || ascii::IsDigit(text[end]) ||
                              text[end] == '_' || static_cast<unsigned char>(text[end]) >= 0x80)) {
      shape_ += ' ';
    }
    copied = end;
  }
  shape_.append(text, copied, text.size() - copied);
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
