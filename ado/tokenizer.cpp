#include "ado/tokenizer.hpp"

#include <cstddef>

#include "orvo/automation/ascii.hpp"

namespace orvo::ado {

namespace {

// Bytes of multi-byte UTF-8 sequences count as letters, so names in any
// script stay whole.
bool IsNameStart(char c) {
  return ascii::IsLetter(c) || c == '_' || c == '#' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNamePart(char c) {
  return IsNameStart(c) || ascii::IsDigit(c) || c == '$' || c == '@';
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
  static constexpr std::string_view kPairs[] = {"<=", ">=", "<>", "!=", "||",
                                                "==", "!<", "!>", "<<", ">>"};
  for (std::string_view pair : kPairs) {
    if (text.substr(start, 2) == pair) return start + 2;
  }
  return start + 1;
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
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  while (i < text.size()) {
    const char c = text[i];
    std::size_t end = i + 1;
    TokenKind kind = TokenKind::Punctuation;
    bool closed = true;
    if (ascii::IsSpace(c)) {
      kind = TokenKind::Whitespace;
      while (end < text.size() && ascii::IsSpace(text[end])) ++end;
    } else if (c == '-' && at(i + 1) == '-') {
      kind = TokenKind::Comment;
      const std::size_t eol = text.find('\n', i);
      end = eol == std::string_view::npos ? text.size() : eol;
    } else if (c == '/' && at(i + 1) == '*') {
      kind = TokenKind::Comment;
      const std::size_t close = text.find("*/", i + 2);
      closed = close != std::string_view::npos;
      end = closed ? close + 2 : text.size();
    } else if (c == '\'') {
      kind = TokenKind::String;
      end = SkipQuoted(text, i, '\'', closed);
    } else if ((c == 'N' || c == 'n') && at(i + 1) == '\'') {
      kind = TokenKind::String;
      end = SkipQuoted(text, i + 1, '\'', closed);
    } else if (c == '[') {
      kind = TokenKind::BracketIdentifier;
      end = SkipQuoted(text, i, ']', closed);
    } else if (c == '"') {
      kind = TokenKind::QuotedIdentifier;
      end = SkipQuoted(text, i, '"', closed);
    } else if (ascii::IsDigit(c) || (c == '.' && ascii::IsDigit(at(i + 1)))) {
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
    tokens.push_back(Token{kind, text.substr(i, end - i), closed});
    i = end;
  }
}

}  // namespace orvo::ado
