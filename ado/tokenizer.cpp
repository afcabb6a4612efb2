#include "ado/tokenizer.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

// The classes of a byte, looked up once per byte of every statement run.
// Bytes of multi-byte UTF-8 sequences count as letters, so names in any
// script stay whole.
enum : std::uint8_t { kSpace = 1, kNameStart = 2, kNamePart = 4 };

// The blanks that every backend's database reads as blanks: a vertical tab
// is none to SQLite and the server, so it is no blank here either.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    const bool start = ascii::IsLetter(ch) || ch == '_' || ch == '#' || c >= 0x80;
    std::uint8_t bits = 0;
    if (IsBlank(ch)) bits |= kSpace;
    if (start) bits |= kNameStart;
    if (start || ascii::IsDigit(ch) || ch == '$' || ch == '@') bits |= kNamePart;
    classes[static_cast<std::size_t>(c)] = bits;
  }
  return classes;
}();

bool Is(char c, std::uint8_t bits) {
  return (kClasses[static_cast<unsigned char>(c)] & bits) != 0;
}
bool IsNamePart(char c) {
  return Is(c, kNamePart);
}

// Index just past a quoted run that opened at `start` with `close` as its
// closing character; a doubled closing character stands for itself. Clears
// `closed` when the text ends first.
std::size_t SkipQuoted(std::string_view text, std::size_t start, char close, bool& closed) {
  std::size_t i = start + 1;
  while (i < text.size()) {
    if (text[i] == close) {
      if (i + 1 < text.size() && text[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  closed = false;
  return text.size();
}

// Index just past a number that starts at `start`. An exponent belongs to the
// number only when digits follow it, so "5else" is the number 5 and a word.
std::size_t SkipNumber(std::string_view text, std::size_t start) {
  std::size_t i = start;
  auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X') && ascii::IsHexDigit(at(i + 2))) {
    i += 2;
    while (ascii::IsHexDigit(at(i))) ++i;
    return i;
  }
  while (ascii::IsDigit(at(i))) ++i;
  if (at(i) == '.') {
    ++i;
    while (ascii::IsDigit(at(i))) ++i;
  }
  if (at(i) == 'e' || at(i) == 'E') {
    std::size_t k = i + 1;
    if (at(k) == '+' || at(k) == '-') ++k;
    if (ascii::IsDigit(at(k))) {
      i = k;
      while (ascii::IsDigit(at(i))) ++i;
    }
  }
  return i;
}

std::size_t SkipPunctuation(std::string_view text, std::size_t start) {
  // The operators of two characters: <= >= <> != || == !< !> << >>.
  if (start + 1 >= text.size()) return start + 1;
  const char first = text[start];
  const char second = text[start + 1];
  const bool pair =
      ((first == '<' || first == '>' || first == '!' || first == '=') && second == '=') ||
      (first == '<' && (second == '>' || second == '<')) ||
      (first == '!' && (second == '<' || second == '>')) || (first == '|' && second == '|') ||
      (first == '>' && second == '>');
  return start + (pair ? 2 : 1);
}

}  // namespace

bool Token::Is(std::string_view word) const {
  return (kind == TokenKind::Identifier || kind == TokenKind::Variable ||
          kind == TokenKind::Punctuation) &&
         ascii::EqualsIgnoreCase(text, word);
}

std::string Token::Name() const {
  if (kind == TokenKind::Identifier) return std::string(text);
  const char close = kind == TokenKind::BracketIdentifier ? ']' : '"';
  std::string_view inner = text.substr(1);
  if (closed) inner.remove_suffix(1);
  std::string name;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    name += inner[i];
    if (inner[i] == close && i + 1 < inner.size() && inner[i + 1] == close) ++i;
  }
  return name;
}

std::vector<Token> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  Tokenize(text, tokens);
  return tokens;
}

void Tokenize(std::string_view text, std::vector<Token>& tokens) {
  tokens.clear();
  Lexer lexer(text);
  for (Token token; lexer.Next(token);) tokens.push_back(token);
}

bool Lexer::Next(Token& token) {
  if (at_ >= text_.size()) return false;
  const std::string_view text = text_;
  const std::size_t i = at_;
  const auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  const char c = text[i];
  std::size_t end = i + 1;
  TokenKind kind = TokenKind::Punctuation;
  bool closed = true;
  if (Is(c, kSpace)) {
    kind = TokenKind::Whitespace;
    while (end < text.size() && Is(text[end], kSpace)) ++end;
  } else if (Is(c, kNameStart)) {
    if ((c == 'N' || c == 'n') && at(i + 1) == '\'') {
      kind = TokenKind::String;
      end = SkipQuoted(text, i + 1, '\'', closed);
    } else {
      kind = TokenKind::Identifier;
      while (end < text.size() && IsNamePart(text[end])) ++end;
    }
  } else if (ascii::IsDigit(c) || (c == '.' && ascii::IsDigit(at(i + 1)))) {
    kind = TokenKind::Number;
    end = SkipNumber(text, i);
  } else {
    switch (c) {
      case '\'':
        kind = TokenKind::String;
        end = SkipQuoted(text, i, '\'', closed);
        break;
      case '[':
        kind = TokenKind::BracketIdentifier;
        end = SkipQuoted(text, i, ']', closed);
        break;
      case '"':
        kind = TokenKind::QuotedIdentifier;
        end = SkipQuoted(text, i, '"', closed);
        break;
      case '?':
        kind = TokenKind::Marker;
        break;
      case '-':
        if (at(i + 1) == '-') {
          kind = TokenKind::Comment;
          const std::size_t eol = text.find('\n', i);
          end = eol == std::string_view::npos ? text.size() : eol;
        }
        break;
      case '/':
        if (at(i + 1) == '*') {
          kind = TokenKind::Comment;
          const std::size_t close = text.find("*/", i + 2);
          closed = close != std::string_view::npos;
          end = closed ? close + 2 : text.size();
        }
        break;
      case '@':
        if (IsNamePart(at(i + 1))) {
          kind = TokenKind::Variable;
          while (end < text.size() && IsNamePart(text[end])) ++end;
        }
        break;
      default:
        end = SkipPunctuation(text, i);
        break;
    }
  }
  token = Token{kind, text.substr(i, end - i), closed};
  at_ = end;
  return true;
}

}  // namespace orvo::ado
