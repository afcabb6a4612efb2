#include "families/statement.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvo::families {
namespace {

TEST(StatementTest, HolesTakeNumbersQuotedTextsAndVerbatimTextsAsTheyStand) {
  EXPECT_EQ(Fill("select * from T where FName='{name}' and FBillType={type} and FSel={sel}",
                 {{"type", -28}, {"name", Quoted{"O'Brien {type}"}}, {"sel", Verbatim{"1.5"}}}),
            "select * from T where FName='O''Brien {type}' and FBillType=-28 and FSel=1.5");
  // A hole may stand twice; blanks around it are the pattern's own.
  EXPECT_EQ(Fill(" {f} = {f} + 1 ", {{"f", Verbatim{"[Count]"}}}), " [Count] = [Count] + 1 ");
  EXPECT_EQ(Fill("no holes", {}), "no holes");
  EXPECT_THROW(Fill("FPreparerId={user}", {{"type", 1}}), std::logic_error);
  EXPECT_TRUE(HasHole("a={user} and b={users}", "user"));
  EXPECT_FALSE(HasHole("a={users}", "user"));
}

}  // namespace
}  // namespace orvo::families
