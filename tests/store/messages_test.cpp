#include "store/messages.hpp"

#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"
#include "support/error_of.hpp"

namespace orvo::store {
namespace {

using orvo::testing::ErrorOf;

constexpr const char* kDuplicateBarcode = "已经存在名为[%1]的条码打印模板！";

TEST(FormatMessageTest, PutsNumberedArgumentsAsTextInEveryLanguage) {
  for (const char* language : {"CHS", "CHT", "ENG", ""}) {
    EXPECT_EQ(GetLanguageText(kDuplicateBarcode, language), kDuplicateBarcode) << language;
    EXPECT_EQ(FormatMessage(kDuplicateBarcode, language, {Variant("ABC")}),
              "已经存在名为[ABC]的条码打印模板！")
        << language;
  }
  EXPECT_EQ(FormatMessage("%2 before %1", "CHS", {Variant("one"), Variant(2)}), "2 before one");
  EXPECT_EQ(FormatMessage("[%1]", "CHS", {Variant(std::int16_t{-7})}), "[-7]");
}

TEST(FormatMessageTest, ANullArgumentFails) {
  EXPECT_EQ(ErrorOf([&] { FormatMessage(kDuplicateBarcode, "CHS", {Variant::Null()}); }).number(),
            kInvalidUseOfNull);
}

}  // namespace
}  // namespace orvo::store
