#include "ado/tokenizer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orvo::ado {
namespace {

std::vector<std::pair<TokenKind, std::string>> Significant(std::string_view text) {
  std::vector<std::pair<TokenKind, std::string>> out;
  for (const Token& t : Tokenize(text)) {
    if (t.Significant()) out.emplace_back(t.kind, std::string(t.text));
  }
  return out;
}

TEST(TokenizerTest, JoiningTheTokensGivesTheTextBack) {
  const std::string text =
      " select [a]]b],\"q\"\"x\" from T\r\n where F=N'it''s 存放' -- note [x]\n"
      "and G<>5and/* c */H=?;@@IDENTITY 'unterminated";
  std::string joined;
  for (const Token& t : Tokenize(text)) joined += t.text;
  EXPECT_EQ(joined, text);
}

TEST(TokenizerTest, QuotedRunsAndCommentsAreSingleTokens) {
  using K = TokenKind;
  const auto tokens =
      Significant("N'it''s' [a]]b] \"q\"\"x\" 'x -- y' /* [z] */ -- 5and\n@p @@IDENTITY ?");
  const std::vector<std::pair<TokenKind, std::string>> expected = {
      {K::String, "N'it''s'"},
      {K::BracketIdentifier, "[a]]b]"},
      {K::QuotedIdentifier, "\"q\"\"x\""},
      {K::String, "'x -- y'"},
      {K::Variable, "@p"},
      {K::Variable, "@@IDENTITY"},
      {K::Marker, "?"},
  };
  EXPECT_EQ(tokens, expected);
  int comments = 0;
  for (const Token& t : Tokenize("a /* [z] */ -- 5and\nb")) comments += t.kind == K::Comment;
  EXPECT_EQ(comments, 2);
}

TEST(TokenizerTest, NumbersStopWhereAWordBegins) {
  using K = TokenKind;
  EXPECT_EQ(Significant("5and"),
            (std::vector<std::pair<K, std::string>>{{K::Number, "5"}, {K::Identifier, "and"}}));
  EXPECT_EQ(
      Significant("=-5and"),
      (std::vector<std::pair<K, std::string>>{
          {K::Punctuation, "="}, {K::Punctuation, "-"}, {K::Number, "5"}, {K::Identifier, "and"}}));
  EXPECT_EQ(Significant("1.5and"),
            (std::vector<std::pair<K, std::string>>{{K::Number, "1.5"}, {K::Identifier, "and"}}));
  EXPECT_EQ(Significant("1e5"), (std::vector<std::pair<K, std::string>>{{K::Number, "1e5"}}));
  EXPECT_EQ(Significant("2E-3or"),
            (std::vector<std::pair<K, std::string>>{{K::Number, "2E-3"}, {K::Identifier, "or"}}));
  EXPECT_EQ(Significant("5else"),
            (std::vector<std::pair<K, std::string>>{{K::Number, "5"}, {K::Identifier, "else"}}));
  EXPECT_EQ(Significant("0x1F"), (std::vector<std::pair<K, std::string>>{{K::Number, "0x1F"}}));
}

TEST(TokenizerTest, NamesKeepLettersOfAnyScriptAndIsIgnoresCase) {
  const auto tokens = Tokenize("表名 FName");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].kind, TokenKind::Identifier);
  EXPECT_EQ(tokens[0].text, "表名");
  EXPECT_TRUE(tokens[2].Is("fname"));
  EXPECT_FALSE(tokens[2].Is("fnam"));
  // A quoted name is no keyword, whatever it spells.
  EXPECT_FALSE(Tokenize("[select]")[0].Is("[select]"));
}

}  // namespace
}  // namespace orvo::ado
