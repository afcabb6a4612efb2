#include "bills/sql_names.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "ado/tokenizer.hpp"
#include "orvo/automation/ascii.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/store/schema.hpp"

namespace orvo::bills {

namespace {

using ado::Token;
using ado::TokenKind;

// The server's limit: database, schema and table.
constexpr std::size_t kMostTableNameParts = 3;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// "TableName must be a table name, not \"x y\"."
[[noreturn]] void Refuse(std::string_view argument, const std::string& expected,
                         const std::string& given) {
  throw RuntimeError(kInvalidProcedureCall,
                     std::string(argument) + " must " + expected + ", not " + given + ".");
}

// The parts of `text` when it is at most `most` names joined by dots and
// nothing else; raises 5, saying that it must be `what`, otherwise.
std::vector<std::string> NameParts(const ado::Connection& connection, std::string_view argument,
                                   std::string_view text, std::size_t most,
                                   const std::string& what) {
  const std::vector<Token> tokens = ado::Tokenize(text);
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    const bool wellPlaced = i % 2 == 1 ? token.Is(".") : token.IsName() && token.closed;
    if (!wellPlaced) Refuse(argument, "be " + what, Quoted(text));
    if (i % 2 == 1) continue;
    if (token.kind == TokenKind::Identifier && connection.IsKeyword(token.text)) {
      Refuse(argument, "be " + what, "the keyword " + Quoted(token.text));
    }
    parts.push_back(token.Name());
  }
  if (parts.empty() || tokens.size() % 2 == 0 || parts.size() > most) {
    Refuse(argument, "be " + what, Quoted(text));
  }
  return parts;
}

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

BusinessTable BusinessTable::Require(ado::Connection& connection, std::string_view argument,
                                     std::string_view name) {
  const std::vector<std::string> parts =
      NameParts(connection, argument, name, kMostTableNameParts, "a table name");
  // The store's own tables hold every user's templates and who may see them:
  // no caller reads or counts them as business rows.
  if (store::IsStoreTable(parts.back())) Refuse(argument, "name an existing table", Quoted(name));
  std::optional<std::vector<std::string>> columns = connection.TableColumns(parts);
  if (!columns) Refuse(argument, "name an existing table", Quoted(name));
  return BusinessTable(connection, std::string(name), std::move(*columns));
}

std::string BusinessTable::RequireColumn(std::string_view argument, std::string_view name) const {
  std::string column = NameParts(*connection_, argument, name, 1, "a column name").front();
  const bool exists = std::any_of(columns_.begin(), columns_.end(), [&](const std::string& c) {
    return ascii::EqualsIgnoreCase(c, column);
  });
  if (!exists) Refuse(argument, "name a column of " + name_, Quoted(name));
  return column;
}

void RequireLiteral(std::string_view argument, std::string_view value) {
  const std::vector<Token> tokens = ado::Tokenize(value);
  std::size_t pos = 0;
  if (!ReadLiteral(tokens, pos) || pos != tokens.size()) {
    Refuse(argument, "be a number or a text between single quotes", Quoted(value));
  }
}

void RequireIdList(std::string_view argument, std::string_view ids) {
  std::vector<Token> tokens = ado::Tokenize(ids);
  std::erase_if(tokens, [](const Token& t) { return t.kind == TokenKind::Whitespace; });
  std::size_t pos = 0;
  bool wellFormed = ReadLiteral(tokens, pos);
  while (wellFormed && pos < tokens.size()) {
    wellFormed = tokens[pos++].Is(",") && ReadLiteral(tokens, pos);
  }
  if (!wellFormed) {
    Refuse(argument, "be numbers or texts between single quotes, separated by commas", Quoted(ids));
  }
}

}  // namespace orvo::bills
