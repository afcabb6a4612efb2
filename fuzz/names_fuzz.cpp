// The checks of the names and values that callers pass for business tables
// (GetPictureData, UpdatePrintCount): Connection::SplitName, IsLiteral and
// IsLiteralList, and BusinessTable::Require, RequireColumn, RequireLiteral
// and RequireIdList on an in-memory SQLite database whose tables have plain
// and odd names. The input's lines are a table name, a column name, a value
// and an id list; the whole input and each line also go through the
// connection's readings alone. What must hold:
//   - what SplitName accepts is names joined by dots, as the tokenizer cuts
//     it; what IsLiteral and IsLiteralList accept is literals (and commas);
//   - placed into the statements of the members that take them, an accepted
//     name, value or list is exactly its own tokens: nothing it holds joins
//     the text around it or turns that text into something else;
//   - a check refuses with 5 and nothing else; what the checks accept runs
//     against the database, and a column reads back under the name that
//     RequireColumn gives.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ado/tokenizer.hpp"
#include "bills/sql_names.hpp"
#include "fuzz/property.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"

namespace {

using orvo::AutomationError;
using orvo::ado::Connection;
using orvo::ado::Token;
using orvo::ado::TokenKind;
using orvo::fuzz::Expect;

// A database with business tables of plain names and of names that only
// brackets or quotes can write, and the characters a bare name may hold.
Connection& Database() {
  static const std::shared_ptr<Connection> connection = [] {
    auto opened =
        Connection::Open("Provider=SQLite;Data Source=:memory:", orvo::ado::IfMissing::Create);
    for (const char* statement : {
             "create table Bills (FId integer primary key, FPrintCount integer, FPicture blob, "
             "[Order No] text, \"a\"\"b\" text, [x]]y] integer, FCode$ integer)",
             "create table [Order Lines] (FId integer, FQty integer, [select] integer)",
             "create table \"#Bills\" (FId integer, \"@x\" integer)",
             "create view BillsView as select FId, FPrintCount from Bills",
             "insert into Bills (FId, FPrintCount) values (1, 0)",
         }) {
      opened->Execute(statement);
    }
    return opened;
  }();
  return *connection;
}

struct Significant {
  TokenKind kind;
  std::string text;
  bool closed;
  bool operator==(const Significant&) const = default;
};

// The tokens of a text but its blanks.
std::vector<Significant> TokensOf(std::string_view text) {
  std::vector<Significant> tokens;
  for (const Token& t : orvo::ado::Tokenize(text)) {
    if (t.kind != TokenKind::Whitespace) tokens.push_back({t.kind, std::string(t.text), t.closed});
  }
  return tokens;
}

// A statement of pieces, some of them what a caller gave: it must read as
// the tokens of each piece one after another, blanks aside.
void ExpectOwnTokens(const std::vector<std::string_view>& pieces, std::string_view input) {
  std::string statement;
  std::vector<Significant> expected;
  for (std::string_view piece : pieces) {
    statement += piece;
    for (Significant& t : TokensOf(piece)) expected.push_back(std::move(t));
  }
  Expect(TokensOf(statement) == expected, "a checked text is its own tokens in a statement", input,
         statement);
}

bool IsLiteralToken(const Significant& t) {
  return t.kind == TokenKind::Number || (t.kind == TokenKind::String && t.closed);
}

void CheckReadings(std::string_view text) {
  const Connection& connection = Database();
  const std::vector<Token> tokens = orvo::ado::Tokenize(text);
  if (const auto parts = connection.SplitName(text)) {
    Expect(tokens.size() == parts->size() * 2 - 1, "a name is its parts joined by dots", text);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      const Token& t = tokens[i];
      if (i % 2 == 1) {
        Expect(t.kind == TokenKind::Punctuation && t.text == ".", "parts are joined by dots", text);
        continue;
      }
      const orvo::ado::NamePart& part = (*parts)[i / 2];
      Expect(t.IsName() && t.closed && part.name == t.Name() &&
                 part.bare == (t.kind == TokenKind::Identifier),
             "each part is a whole name token", text);
    }
    ExpectOwnTokens({"UPDATE ", text, " SET x = x + 1"}, text);
    ExpectOwnTokens({"select ", text, " from t\r\n where k=1"}, text);
  }
  if (connection.IsLiteral(text)) {
    const std::vector<Significant> significant = TokensOf(text);
    Expect(tokens.size() == significant.size() && !significant.empty() &&
               IsLiteralToken(significant.back()) &&
               (significant.size() == 1 ||
                (significant.size() == 2 && significant[0].kind == TokenKind::Punctuation)),
           "a literal is a number, a signed one or a quoted text", text);
    ExpectOwnTokens({"select f from t\r\n where k=", text}, text);
    ExpectOwnTokens({"select f from t\r\n where k=", text, " and j=2"}, text);
  }
  if (connection.IsLiteralList(text)) {
    bool literal = true;  // a literal is wanted next, else a comma
    for (const Significant& t : TokensOf(text)) {
      if (literal && t.kind == TokenKind::Punctuation && (t.text == "-" || t.text == "+")) continue;
      Expect(literal ? IsLiteralToken(t) : t.kind == TokenKind::Punctuation && t.text == ",",
             "an id list is literals separated by commas", text);
      literal = !literal;
    }
    Expect(!literal, "an id list ends with a literal", text);
    ExpectOwnTokens({"UPDATE t SET f = f + 1 WHERE k IN(  ", text, ")\r\n"}, text);
  }
}

// Whether a text holds a hexadecimal number past 64 bits, which is a number
// to the checks but too big for SQLite, which refuses the statement.
bool HoldsTooBigHexadecimal(std::string_view text) {
  for (const Token& t : orvo::ado::Tokenize(text)) {
    if (t.kind == TokenKind::Number && t.text.size() > 18 && (t.text[1] == 'x' || t.text[1] == 'X'))
      return true;
  }
  return false;
}

// Runs a statement built from checked texts; the database must read it.
std::shared_ptr<orvo::ado::Recordset> Runs(const std::string& statement, std::string_view input) {
  try {
    return Database().Execute(statement);
  } catch (const AutomationError& error) {
    if (error.number() == orvo::ado::kErrStatementRefused && HoldsTooBigHexadecimal(statement)) {
      return nullptr;
    }
    orvo::fuzz::Broken("what the checks accept runs", input,
                       statement + ": " + error.description());
  }
}

bool Refused(const AutomationError& error, std::string_view input) {
  Expect(error.number() == orvo::kInvalidProcedureCall, "a check refuses with 5", input,
         error.description());
  return true;
}

void CheckBusinessTable(std::string_view input, const std::vector<std::string_view>& lines) {
  Connection& connection = Database();
  const std::string table(lines[0]);
  std::optional<orvo::bills::BusinessTable> business;
  try {
    business = orvo::bills::BusinessTable::Require(connection, "TableName", table);
  } catch (const AutomationError& error) {
    Refused(error, input);
  }
  if (business) Runs("select count(*) from " + table, input);
  if (business && lines.size() > 1) {
    const std::string column(lines[1]);
    try {
      const std::string name = business->RequireColumn("FieldName", column);
      const auto read = Runs("select " + column + " from " + table + "\r\n where 1=0", input);
      Expect(read && read->Fields(0).Name() == name,
             "a column reads back under the name RequireColumn gives", input, name);
    } catch (const AutomationError& error) {
      Refused(error, input);
    }
  }
  if (lines.size() > 2) {
    try {
      orvo::bills::RequireLiteral(connection, "PrimaryKeyValue", lines[2]);
      Runs("select FId from Bills\r\n where FId=" + std::string(lines[2]), input);
    } catch (const AutomationError& error) {
      Refused(error, input);
    }
  }
  if (lines.size() > 3) {
    try {
      orvo::bills::RequireIdList(connection, "InterIDs", lines[3]);
      Runs("UPDATE Bills SET FPrintCount = FPrintCount + 1 WHERE FId IN(  " +
               std::string(lines[3]) + ")\r\n",
           input);
    } catch (const AutomationError& error) {
      Refused(error, input);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = orvo::fuzz::TextOf(data, size);
  CheckReadings(text);
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at <= text.size() && lines.size() < 4;) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    CheckReadings(lines.back());
    at = end + 1;
  }
  // The late-bound entry refuses a text that is not UTF-8 before any member
  // runs, so only UTF-8 reaches the checks from a caller.
  if (orvo::IsValidUtf8(text)) CheckBusinessTable(text, lines);
  return 0;
}
