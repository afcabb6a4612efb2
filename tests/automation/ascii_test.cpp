#include "automation/ascii.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace orvo::ascii {
namespace {

// Every pair of bytes, against the definition: equal, or the same ASCII
// letter in the other case. Bytes past ASCII, and the pairs that differ in
// the case bit alone without being letters ('@' and '`', '[' and '{', '_'
// and DEL), never compare equal.
TEST(AsciiTest, EqualsIgnoreCaseFoldsAsciiLettersOnly) {
  for (int x = 0; x < 256; ++x) {
    for (int y = 0; y < 256; ++y) {
      const std::string a(1, static_cast<char>(x));
      const std::string b(1, static_cast<char>(y));
      const bool letters =
          x < 128 && y < 128 && std::isalpha(x) != 0 && std::tolower(x) == std::tolower(y);
      EXPECT_EQ(EqualsIgnoreCase(a, b), x == y || letters) << x << " " << y;
    }
  }
}

TEST(AsciiTest, EqualsIgnoreCaseComparesWholeNames) {
  EXPECT_TRUE(EqualsIgnoreCase("FBillType", "fbilltype"));
  EXPECT_TRUE(EqualsIgnoreCase("", ""));
  EXPECT_FALSE(EqualsIgnoreCase("FBillType", "FBillTyp"));
  EXPECT_FALSE(EqualsIgnoreCase("FData", "FDate"));
  EXPECT_FALSE(EqualsIgnoreCase("F_Id", "F\x7fId"));
}

}  // namespace
}  // namespace orvo::ascii
