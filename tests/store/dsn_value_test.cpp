#include "store/dsn_value.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvo::store {
namespace {

TEST(GetDsnValueTest, GivesWhatFollowsTheFirstOccurrenceOfTheKeyUpToTheNextSemicolon) {
  struct Case {
    std::string text, key, value;
  };
  const Case cases[] = {
      {"Provider=X;Language=CHS", "Language", "CHS"},  // the final ";" is supplied
      {"Provider=X;LANGUAGE=CHS;", "language", "CHS"},
      {"Provider=X;Language=CHS", "Provider", "X"},
      {"Provider=X;Language=CHS", "Host", ""},
      {"", "Language", ""},
      {"Language;Provider=X", "Language", ""},  // a bare word is no key
      {"Provider=X;Language=", "Language", ""},
      {"XLanguage=1;Language=2", "Language", "1"},  // even inside a longer key
      {"Provider=X;Language= CHS ;Data Source=a.db", "Language", " CHS "},
      {"Password=a=b;User ID=sa", "Password", "a=b"},
      {"Language=简体中文;Provider=X", "Language", "简体中文"},
      {"a=1;b=2", "1;b", ""},  // the first ";" after the key lies inside it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetDsnValue(c.text, c.key), c.value) << c.text << " / " << c.key;
  }
}

// Positions are counted in UTF-16 characters and held in 16 bits: a key found
// past position 32767, or a value ending past it, gives "".
TEST(GetDsnValueTest, PositionsBeyondSixteenBitsGiveTheEmptyString) {
  EXPECT_EQ(GetDsnValue(std::string(32765, 'x') + ";Language=CHS", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue(std::string(32766, 'x') + ";Language=CHS", "Language"), "");
  EXPECT_EQ(GetDsnValue("Language=" + std::string(40000, 'v') + ";P=X", "Language"), "");
  // Not bytes: a character outside the basic plane takes two positions.
  std::string wide;
  for (int i = 0; i < 16382; ++i) wide += "😀";
  EXPECT_EQ(GetDsnValue(wide + "x;Language=CHS", "Language"), "CHS");
  EXPECT_EQ(GetDsnValue(wide + "😀;Language=CHS", "Language"), "");
}

}  // namespace
}  // namespace orvo::store
