#include <algorithm>
#include <string>

#include "ado/tokenizer.hpp"
#include "orvo/ado/connection.hpp"

namespace orvo::ado {

namespace {

// Reads a literal at tokens[pos], leaving pos after it; false when none is there.
bool ReadLiteral(const std::vector<Token>& tokens, std::size_t& pos) {
  std::size_t at = pos;
  const bool sign = at < tokens.size() && (tokens[at].Is("-") || tokens[at].Is("+"));
  if (sign) ++at;
  if (at >= tokens.size()) return false;
  const Token& token = tokens[at];
  const bool number = token.kind == TokenKind::Number;
  const bool text = !sign && token.kind == TokenKind::String && token.closed;
  if (!number && !text) return false;
  pos = at + 1;
  return true;
}

}  // namespace

// How a connection reads the names and values that callers pass: with the
// tokenizer that adapts every statement.

std::optional<std::vector<NamePart>> Connection::SplitName(std::string_view text) const {
  const std::vector<Token> tokens = Tokenize(text);
  if (tokens.size() % 2 == 0) return std::nullopt;
  std::vector<NamePart> parts;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (i % 2 == 1) {
      if (!token.Is(".")) return std::nullopt;
      continue;
    }
    if (!token.IsName() || !token.closed) return std::nullopt;
    std::string name = token.Name();
    // The databases read a name only up to a NUL, so one holding a NUL
    // would be looked up as another.
    if (name.find('\0') != std::string::npos) return std::nullopt;
    parts.push_back({std::move(name), token.kind == TokenKind::Identifier,
                     token.kind == TokenKind::BracketIdentifier});
  }
  return parts;
}

bool Connection::IsLiteral(std::string_view text) const {
  const std::vector<Token> tokens = Tokenize(text);
  std::size_t pos = 0;
  return ReadLiteral(tokens, pos) && pos == tokens.size();
}

bool Connection::IsLiteralList(std::string_view text) const {
  std::vector<Token> tokens = Tokenize(text);
  std::erase_if(tokens, [](const Token& t) { return t.kind == TokenKind::Whitespace; });
  std::size_t pos = 0;
  bool wellFormed = ReadLiteral(tokens, pos);
  while (wellFormed && pos < tokens.size()) {
    wellFormed = tokens[pos++].Is(",") && ReadLiteral(tokens, pos);
  }
  return wellFormed;
}

}  // namespace orvo::ado
