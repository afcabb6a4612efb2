#include "orvo/host/collections.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(UtilityTest, ValueOrDefaultReplacesOnlyNull) {
  EXPECT_EQ(Utility::ValueOrDefault(Variant::Null(), ""), Variant(""));
  EXPECT_EQ(Utility::ValueOrDefault(Variant("x"), ""), Variant("x"));
  EXPECT_TRUE(Utility::ValueOrDefault(Variant(), "").IsEmpty());
  EXPECT_EQ(Utility::ValueOrDefault(Variant(std::int32_t{0}), ""), Variant(std::int32_t{0}));
}

TEST(UtilityTest, FormatTextKeepsChineseTextIntact) {
  EXPECT_EQ(Utility::FormatText("已经存在名为[%1]的条码打印模板！", {Variant("ABC")}),
            "已经存在名为[ABC]的条码打印模板！");
}

TEST(UtilityTest, FormatTextReadsAllDigitsOfAPlaceholder) {
  std::vector<Variant> ten;
  for (std::int32_t i = 1; i <= 10; ++i) ten.emplace_back(i * 100);
  EXPECT_EQ(Utility::FormatText("%10|%1|%2", ten), "1000|100|200");
  // With fewer arguments %10 names the missing tenth, not the first and a "0".
  EXPECT_EQ(Utility::FormatText("%10 %1", {Variant("a")}), "%10 a");
}

TEST(UtilityTest, FormatTextKeepsWhatIsNoFilledPlaceholder) {
  EXPECT_EQ(Utility::FormatText("%1 and %2", {Variant("one")}), "one and %2");
  EXPECT_EQ(Utility::FormatText("100% sure, %x, %0, %", {Variant("a")}), "100% sure, %x, %0, %");
  EXPECT_EQ(Utility::FormatText("%99999999999999999999999", {Variant("a")}),
            "%99999999999999999999999");
  EXPECT_EQ(Utility::FormatText("%%1", {Variant("a")}), "%a");
}

TEST(UtilityTest, FormatTextUsesTheTextOfEachArgument) {
  EXPECT_EQ(Utility::FormatText("%2-%1-%2", {Variant(std::int32_t{7}), Variant(true)}),
            "True-7-True");
  EXPECT_EQ(Utility::FormatText("[%1]", {Variant("%2")}), "[%2]");
}

}  // namespace
}  // namespace orvo
