#include "orvo/host/collections.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(UtilityTest, FormatTextFillsOnlyPlaceholdersThatHaveAnArgument) {
  std::vector<Variant> ten;
  for (std::int32_t i = 1; i <= 10; ++i) ten.emplace_back(i * 100);
  const std::vector<Variant> a{Variant("a")};
  const struct {
    std::string text;
    std::vector<Variant> args;
    std::string expected;
  } cases[] = {
      {"已经存在名为[%1]的条码打印模板！", {Variant("ABC")}, "已经存在名为[ABC]的条码打印模板！"},
      {"%10|%1|%2", ten, "1000|100|200"},
      // With fewer arguments %10 names the missing tenth, not the first and a "0".
      {"%10 %1", a, "%10 a"},
      {"100% sure, %x, %0, %", a, "100% sure, %x, %0, %"},
      {"%99999999999999999999999", a, "%99999999999999999999999"},
      {"%%1", a, "%a"},
      {"%2-%1-%2", {Variant(std::int32_t{7}), Variant(true)}, "True-7-True"},
      {"[%1]", {Variant("%2")}, "[%2]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utility::FormatText(c.text, c.args), c.expected) << c.text;
}

}  // namespace
}  // namespace orvo
