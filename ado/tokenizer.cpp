#include "ado/tokenizer.hpp"

#include <cstddef>

namespace orvo::ado {

namespace {

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
// Bytes of multi-byte UTF-8 sequences count as letters, so names in any
// script stay whole.
bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool IsNamePart(char c) {
  return IsNameStart(c) || IsAsciiDigit(c) || c == '$' || c == '@';
}
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Index just past a quoted run that opened at `start` with `close` as its
// closing character; a doubled closing character stands for itself.
std::size_t SkipQuoted(std::string_view text, std::size_t start, char close) {
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
  return text.size();
}

// Index just past a number that starts at `start`. An exponent belongs to the
// number only when digits follow it, so "5else" is the number 5 and a word.
std::size_t SkipNumber(std::string_view text, std::size_t start) {
  std::size_t i = start;
  auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X') && IsHexDigit(at(i + 2))) {
    i += 2;
    while (IsHexDigit(at(i))) ++i;
    return i;
  }
  while (IsAsciiDigit(at(i))) ++i;
  if (at(i) == '.') {
    ++i;
    while (IsAsciiDigit(at(i))) ++i;
  }
  if (at(i) == 'e' || at(i) == 'E') {
    std::size_t k = i + 1;
    if (at(k) == '+' || at(k) == '-') ++k;
    if (IsAsciiDigit(at(k))) {
      i = k;
      while (IsAsciiDigit(at(i))) ++i;
    }
  }
  return i;
}

std::size_t SkipPunctuation(std::string_view text, std::size_t start) {
  static constexpr std::string_view kPairs[] = {"<=", ">=", "<>", "!=", "||",
                                                "==", "!<", "!>", "<<", ">>"};
  for (std::string_view pair : kPairs) {
    if (text.substr(start, 2) == pair) return start + 2;
  }
  return start + 1;
}

}  // namespace

bool Token::Is(std::string_view word) const {
  if ((kind != TokenKind::Identifier && kind != TokenKind::Variable &&
       kind != TokenKind::Punctuation) ||
      text.size() != word.size()) {
    return false;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(word[i])) return false;
  }
  return true;
}

std::vector<Token> Tokenize(std::string_view text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  while (i < text.size()) {
    const char c = text[i];
    std::size_t end = i + 1;
    TokenKind kind = TokenKind::Punctuation;
    if (IsSpace(c)) {
      kind = TokenKind::Whitespace;
      while (end < text.size() && IsSpace(text[end])) ++end;
    } else if (c == '-' && at(i + 1) == '-') {
      kind = TokenKind::Comment;
      const std::size_t eol = text.find('\n', i);
      end = eol == std::string_view::npos ? text.size() : eol;
    } else if (c == '/' && at(i + 1) == '*') {
      kind = TokenKind::Comment;
      const std::size_t close = text.find("*/", i + 2);
      end = close == std::string_view::npos ? text.size() : close + 2;
    } else if (c == '\'') {
      kind = TokenKind::String;
      end = SkipQuoted(text, i, '\'');
    } else if ((c == 'N' || c == 'n') && at(i + 1) == '\'') {
      kind = TokenKind::String;
      end = SkipQuoted(text, i + 1, '\'');
    } else if (c == '[') {
      kind = TokenKind::BracketIdentifier;
      end = SkipQuoted(text, i, ']');
    } else if (c == '"') {
      kind = TokenKind::QuotedIdentifier;
      end = SkipQuoted(text, i, '"');
    } else if (IsAsciiDigit(c) || (c == '.' && IsAsciiDigit(at(i + 1)))) {
      kind = TokenKind::Number;
      end = SkipNumber(text, i);
    } else if (c == '@' && (IsNamePart(at(i + 1)))) {
      kind = TokenKind::Variable;
      end = i + 1;
      while (end < text.size() && IsNamePart(text[end])) ++end;
    } else if (IsNameStart(c)) {
      kind = TokenKind::Identifier;
      while (end < text.size() && IsNamePart(text[end])) ++end;
    } else if (c == '?') {
      kind = TokenKind::Marker;
    } else {
      end = SkipPunctuation(text, i);
    }
    tokens.push_back(Token{kind, text.substr(i, end - i)});
    i = end;
  }
  return tokens;
}

}  // namespace orvo::ado
