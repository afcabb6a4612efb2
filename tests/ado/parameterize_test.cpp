#include "ado/parameterize.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo::ado {
namespace {

// The shape of a text and its markers, each a lifted literal as the database
// reads it or "?n" for the caller's n-th value.
std::string Shaped(std::string_view text) {
  Parameterizer parameterizer;
  parameterizer.Parameterize(text);
  std::string shown = parameterizer.Shape() + " |";
  for (const Slot& slot : parameterizer.Slots()) {
    if (!slot.lifted) {
      shown += " ?" + std::to_string(slot.index);
      continue;
    }
    const LiftedValue& value = parameterizer.Lifted(slot.index);
    switch (value.kind) {
      case LiftedValue::Kind::Integer:
        shown += " " + std::to_string(value.integer);
        break;
      case LiftedValue::Kind::Real:
        shown += " " + std::to_string(value.real);
        break;
      case LiftedValue::Kind::Text:
        shown += " '" + std::string(value.text) + "'";
        break;
    }
  }
  return shown;
}

TEST(ParameterizeTest, LiftsTheValuesOfAStatementAndLeavesWhatDecidesItsMeaning) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Values in conditions, sets and value lists, the caller's markers kept
      // in their order among them.
      {"select a from t where b=28 and c='O''Neil' and d=? and e=-1.5",
       "select a from t where b=? and c=? and d=? and e=-? | 28 'O'Neil' ?0 1.500000"},
      {"Update t set a='x',b=2 where c IN(  1, 2)\r\n",
       "Update t set a=?,b=? where c IN(  ?, ?)\r\n | 'x' 2 1 2"},
      {"insert into t (a,b) values (7,'y')", "insert into t (a,b) values (?,?) | 7 'y'"},
      // A select list names the result's columns; ORDER BY and GROUP BY may
      // give positions; a TOP's count becomes a LIMIT.
      {"select 1, 'k' from t where a=3 group by 1 order by 2 desc",
       "select 1, 'k' from t where a=? group by 1 order by 2 desc | 3"},
      {"select top 5 a from t where b=1", "select top 5 a from t where b=? | 1"},
      {"select a from t where b in (select 1 from u where c=2)",
       "select a from t where b in (select 1 from u where c=?) | 2"},
      // What the database reads otherwise than a value stays as written.
      {"select a from t where b=x'00ff' and c=0x10 and d=99999999999999999999",
       "select a from t where b=x'00ff' and c=0x10 and d=99999999999999999999 |"},
      {"select a from \"t 1\" where [b 2]='v' -- 3\n",
       "select a from \"t 1\" where [b 2]=? -- 3\n | 'v'"},
      {"create table t (a int default 5)", "create table t (a int default 5) |"},
      {"PRAGMA user_version=3", "PRAGMA user_version=3 |"},
      // A text the tokenizer cannot close is left for the database to refuse.
      {"select a from t where b='open", "select a from t where b='open |"},
  };
  for (const auto& [text, shape] : cases) EXPECT_EQ(Shaped(text), shape) << text;
}

}  // namespace
}  // namespace orvo::ado
