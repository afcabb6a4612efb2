#include "store/dsn_value.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvo::store {
namespace {

TEST(GetDsnValueTest, FindsTheKeyWithoutRegardToCaseAndSuppliesTheFinalSemicolon) {
  EXPECT_EQ(GetDsnValue("Provider=X;Language=CHS", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue("Provider=X;Language=CHS", "language"), "CHS");
  EXPECT_EQ(GetDsnValue("Provider=X;LANGUAGE=CHS;", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue("Provider=X;Language=CHS", "Provider"), "X");
}

TEST(GetDsnValueTest, AnAbsentKeyOrAnEmptyTextGivesTheEmptyString) {
  EXPECT_EQ(GetDsnValue("Provider=X;Language=CHS", "Host"), "");
  EXPECT_EQ(GetDsnValue("", "Language"), "");
  EXPECT_EQ(GetDsnValue(";", "Language"), "");
  // The key must be followed by "=": a bare word is no key.
  EXPECT_EQ(GetDsnValue("Language;Provider=X", "Language"), "");
  EXPECT_EQ(GetDsnValue("Provider=X;Language=", "Language"), "");
}

TEST(GetDsnValueTest, TheFirstOccurrenceWinsEvenInsideALongerKey) {
  EXPECT_EQ(GetDsnValue("XLanguage=1;Language=2", "Language"), "1");
  EXPECT_EQ(GetDsnValue("Language=1;Language=2", "Language"), "1");
}

TEST(GetDsnValueTest, TheValueRunsToTheNextSemicolonAsWritten) {
  EXPECT_EQ(GetDsnValue("Provider=X;Language= CHS ;Data Source=a.db", "Language"), " CHS ");
  EXPECT_EQ(GetDsnValue("Password=a=b;User ID=sa", "Password"), "a=b");
  EXPECT_EQ(GetDsnValue("Data Source=/tmp/a b.db", "data source"), "/tmp/a b.db");
  EXPECT_EQ(GetDsnValue("Language=简体中文;Provider=X", "Language"), "简体中文");
}

TEST(GetDsnValueTest, AKeyHoldingASemicolonEndsBeforeItsValueAndGivesTheEmptyString) {
  // "1;b=" is found in "a=1;b=2;", but the first ";" after it lies inside
  // the key itself, so there is no value between the key and it.
  EXPECT_EQ(GetDsnValue("a=1;b=2", "1;b"), "");
  EXPECT_EQ(GetDsnValue("a=1;b=2", ";b"), "");
}

// Positions are counted in characters and held in 16 bits: a key found past
// position 32767, or a value ending past it, overflows and gives "".
TEST(GetDsnValueTest, PositionsBeyondSixteenBitsGiveTheEmptyString) {
  // "Language=" begins at character 32767 (counted from 1): still readable.
  const std::string last = std::string(32765, 'x') + ";Language=CHS";
  EXPECT_EQ(GetDsnValue(last, "Language"), "CHS");
  // One character further and the position overflows.
  const std::string beyond = std::string(32766, 'x') + ";Language=CHS";
  EXPECT_EQ(GetDsnValue(beyond, "Language"), "");
  // A value whose ";" lies past the limit cannot be read either.
  const std::string longValue = "Language=" + std::string(40000, 'v') + ";Provider=X";
  EXPECT_EQ(GetDsnValue(longValue, "Language"), "");
  EXPECT_EQ(GetDsnValue(longValue, "Provider"), "");
}

TEST(GetDsnValueTest, PositionsCountSixteenBitCharactersNotBytes) {
  // 32765 Chinese characters are 98295 bytes, yet the key still begins at
  // character 32767.
  std::string text;
  for (int i = 0; i < 32765; ++i) text += "中";
  EXPECT_EQ(GetDsnValue(text + ";Language=CHS", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue(text + "中;Language=CHS", "Language"), "");
  // Data source texts are UTF-16 to their callers: a character outside the
  // basic plane takes two positions.
  std::string wide;
  for (int i = 0; i < 16382; ++i) wide += "😀";
  EXPECT_EQ(GetDsnValue(wide + "x;Language=CHS", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue(wide + "😀;Language=CHS", "Language"), "");
}

}  // namespace
}  // namespace orvo::store
