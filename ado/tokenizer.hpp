// The tokenizer that the dialect adapter works on: it cuts a statement text
// written for the original database server into tokens that cover every byte
// of the text, so that joining the tokens gives the text back exactly. Quoted
// texts, quoted names and comments are single tokens, which is what keeps the
// rewrites away from anything the caller put between quotes.
//
// Tokens are views into the text passed in; the caller keeps that text alive
// while it uses them. Stateless and safe to call from any thread.

#ifndef ORVO_ADO_TOKENIZER_HPP_
#define ORVO_ADO_TOKENIZER_HPP_

#include <string>
#include <string_view>
#include <vector>

namespace orvo::ado {

enum class TokenKind {
  Whitespace,
  Comment,            // -- to the end of the line, or /* ... */
  Identifier,         // a bare name or keyword: select, FName, #temp
  BracketIdentifier,  // [name], "]]" standing for "]"
  QuotedIdentifier,   // "name", "" standing for "
  String,             // 'text' or N'text', '' standing for '
  Number,             // 12, 1.5, .5, 1e5, 0x1F
  Variable,           // @name or @@name
  Marker,             // ? (a parameter marker)
  Punctuation,        // operators, commas, parentheses, dots, semicolons
};

struct Token {
  TokenKind kind;
  std::string_view text;
  // False for a quoted text, quoted name or block comment that the statement
  // text ends inside of.
  bool closed;

  // Whitespace and comments carry no meaning for the statement.
  bool Significant() const { return kind != TokenKind::Whitespace && kind != TokenKind::Comment; }
  // An identifier, variable or punctuation whose text equals `word`, ignoring
  // ASCII case.
  bool Is(std::string_view word) const;
  // A bare, bracketed or quoted name (a bare one may also be a keyword).
  bool IsName() const {
    return kind == TokenKind::Identifier || kind == TokenKind::BracketIdentifier ||
           kind == TokenKind::QuotedIdentifier;
  }
  // The name that a name token stands for, its quotes removed: [a]]b] is a]b.
  std::string Name() const;
};

// Reads the tokens of a text one after another, without keeping them: what
// every statement run goes through. Tokenize collects what it reads.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}
  // The next token, into `token`; false at the end of the text.
  bool Next(Token& token);

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Cuts `text` into tokens. An unterminated quote or comment runs to the end of
// the text and is marked not closed; nothing closes it.
std::vector<Token> Tokenize(std::string_view text);
// The same into `tokens`, which it clears first: a caller that tokenizes
// every statement it runs keeps one vector for all of them.
void Tokenize(std::string_view text, std::vector<Token>& tokens);

}  // namespace orvo::ado

#endif  // ORVO_ADO_TOKENIZER_HPP_
