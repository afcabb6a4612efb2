#include "orvo/automation/conversions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "automation/error_matchers.hpp"

namespace orvo {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A table row: an input and what its conversion yields or the error number it raises.
std::pair<Variant, Variant> Row(Variant in, Variant want) {
  return {std::move(in), std::move(want)};
}
using Rows = std::initializer_list<std::pair<Variant, Variant>>;

// Each input must convert to exactly the row's value, kind included.
template <typename Convert>
void ExpectValues(Convert convert, Rows rows) {
  for (const auto& [in, want] : rows) {
    const Variant got(convert(in));
    EXPECT_EQ(got, want) << CStr(in) << " gave " << got.KindName() << " " << CStr(got) << ", not "
                         << want.KindName() << " " << CStr(want);
  }
}

template <typename Convert>
void ExpectErrors(Convert convert, Rows rows) {
  int row = 0;
  for (const auto& [in, number] : rows) {
    SCOPED_TRACE("error row " + std::to_string(++row));
    EXPECT_RUNTIME_ERROR(convert(in), number.AsLong());
  }
}

TEST(CLngTest, RoundsHalfToEvenWithinTheRange) {
  ExpectValues(CLng,
               {Row(0.5, 0), Row(1.5, 2), Row(2.5, 2), Row(-2.5, -2), Row(-3.5, -4), Row("2.5", 2),
                Row(Date{45000.5}, 45000), Row(Date{45001.5}, 45002), Row(2147483647.4, 2147483647),
                Row(-2147483648.5, -2147483647 - 1), Row("-2147483648", -2147483647 - 1),
                Row(Variant(), 0), Row(true, -1), Row(2147483647, 2147483647),
                Row(-2147483647 - 1, -2147483647 - 1), Row(std::int16_t{-7}, -7)});
  ExpectErrors(CLng, {Row(2147483647.5, 6), Row(-2147483649.0, 6), Row("2147483648", 6),
                      Row(std::numeric_limits<double>::quiet_NaN(), 6), Row(kInfinity, 6),
                      Row(Variant::Null(), 94), Row(Variant::Missing(), 13), Row(Bytes{1}, 13),
                      Row(std::shared_ptr<Dispatch>(), 13)});
}

TEST(CLngTest, NumericText) {
  ExpectValues(CLng, {Row(" \t42 \t", 42), Row("+7", 7), Row(".5", 0), Row("5.", 5),
                      Row("1.5E3", 1500), Row("1.5d+3", 1500), Row("25e-1", 2), Row("&H1F", 31),
                      Row("&hff", 255), Row("&O17", 15), Row("1E-400", 0),
                      // Hexadecimal numbers that fit 16 bits are Integers, as in the language.
                      Row("&HFFFF", -1), Row("&H10000", 65536), Row("&HFFFFFFFF", -1)});
  ExpectErrors(CLng, {Row("&H100000000", 6), Row("1E400", 6)});
  for (const char* text : {"", "   ", "12abc", "abc", "1,000", "1.2.3", "+", "-", ".", "1e", "1e+",
                           "- 5", "&H", "&HFG", "&O8", "&X1", "$5", "1 2"}) {
    EXPECT_RUNTIME_ERROR(CLng(text), 13);
  }
}

TEST(CIntCDblCBoolTest, RangesAndTexts) {
  EXPECT_EQ(CInt(-32768.0), -32768);
  EXPECT_EQ(CInt(32766.5), 32766);
  EXPECT_EQ(CInt("-2.5"), -2);
  ExpectErrors(CInt, {Row(32767.5, 6), Row("32768", 6), Row(100000, 6), Row(Variant::Null(), 94)});

  ExpectValues(CDbl, {Row(" -1.25E2 ", -125.0), Row(true, -1.0), Row(Date{1.75}, 1.75),
                      Row("1.7976931348623157E308", std::numeric_limits<double>::max())});
  ExpectErrors(CDbl, {Row("1.8E308", 6), Row("x", 13), Row(Variant::Null(), 94)});

  ExpectValues(CBool, {Row(-0.5, true), Row(0.0, false), Row(Variant(), false), Row(" tRUE ", true),
                       Row("FALSE", false), Row("-1", true), Row("0.5", true), Row("0", false)});
  ExpectErrors(CBool, {Row("yes", 13), Row("", 13), Row("Truex", 13), Row(Variant::Null(), 94),
                       Row(Variant::Missing(), 13)});
}

TEST(CStrTest, ScalarsDatesAndDoubles) {
  ExpectValues(CStr, {Row(Variant(), ""), Row(true, "True"), Row(false, "False"),
                      Row(std::int16_t{-32768}, "-32768"), Row(-2147483647 - 1, "-2147483648"),
                      Row(Date::FromParts(2026, 1, 2), "2026-01-02"),
                      Row(Date::FromParts(2026, 1, 2, 13, 5, 9), "2026-01-02 13:05:09"),
                      Row(Date{0.75}, "18:00:00"), Row(Date{0}, "1899-12-30"),
                      Row(Date{-0.25}, "06:00:00")});
  EXPECT_EQ(CStr(Bytes{'a', 'b', 0, 'c'}), std::string("ab\0c", 4));
  ExpectErrors(CStr, {Row(Variant::Null(), 94), Row(Variant::Missing(), 13),
                      Row(std::shared_ptr<Dispatch>(), 13)});
  // Doubles show fifteen significant digits.
  ExpectValues(CStr,
               {Row(2.5, "2.5"), Row(-3.0, "-3"), Row(-0.0, "0"), Row(1.0 / 3, "0.333333333333333"),
                Row(2.0 / 3, "0.666666666666667"), Row(0.1 + 0.2, "0.3"),
                Row(100000000000000.0, "100000000000000"), Row(1e15, "1E+15"),
                Row(123456789012345678.0, "1.23456789012346E+17"), Row(0.0001, "0.0001"),
                Row(0.00001, "1E-05"), Row(1.5e-7, "1.5E-07"), Row(-1.5e-300, "-1.5E-300")});
  EXPECT_RUNTIME_ERROR(CStr(kInfinity), 6);
}

TEST(ValTest, ReadsTheLeadingNumber) {
  const auto val = [](const Variant& v) { return Val(v); };
  ExpectValues(val, {Row("  1 2x", 12.0), Row(" 1 2 . 5", 12.5), Row("\t-\n3\r", -3.0),
                     Row("+4", 4.0), Row("1.2.3", 1.2), Row("1,000", 1.0), Row("12e+", 12.0),
                     Row("12ex", 12.0), Row("1e3x", 1000.0), Row("1 E - 2", 0.01),
                     Row("2d2", 200.0), Row("&hFFzz", 255.0), Row("&O19", 1.0), Row("&HFFFF", -1.0),
                     Row(true, 0.0), Row(Date::FromParts(2026, 5, 6), 2026.0)});
  ExpectErrors(val, {Row("1E400", 6), Row("&H123456789", 6), Row(Variant::Null(), 94)});
  // Without a number the result is 0, never -0.
  for (const char* text : {"", "x", "-", ".", "+.", "&", "&H", "&Z1", "e5", "  ", "-0"}) {
    EXPECT_EQ(Val(text), 0) << text;
    EXPECT_FALSE(std::signbit(Val(text))) << text;
  }
}

TEST(Utf8Test, AcceptsEveryScalarValueAndRefusesEveryMalformedSequence) {
  for (const char* text : {"", "Invoice A4", "\xC3\xA9", "\xE5\xAD\x98", "\xED\x9F\xBF",
                           "\xEE\x80\x80", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(IsValidUtf8(text)) << text;
  }
  // Overlong, surrogates, above U+10FFFF, no lead byte, cut short, a
  // continuation without its lead.
  for (const char* text :
       {"\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBF",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xF8\x90\x80\x80", "\xFF", "\xE5\xAD", "caf\xC3",
        "\xF0\x9F\x98 ", "\x80", "\xC3\xA9\xA9"}) {
    EXPECT_FALSE(IsValidUtf8(text)) << text;
  }
  // Long ASCII texts are read in blocks: a stray byte is found at any
  // position, and a character that spans two blocks is whole.
  const std::string ascii(80, 'a');
  for (std::size_t at = 0; at < ascii.size(); ++at) {
    std::string stray = ascii;
    stray[at] = '\x80';
    EXPECT_FALSE(IsValidUtf8(stray)) << at;
    std::string spanning = ascii;
    spanning.replace(at, 2, "\xC3\xA9");
    EXPECT_TRUE(IsValidUtf8(spanning)) << at;
    EXPECT_FALSE(IsValidUtf8(ascii.substr(0, at) + "\xE5\xAD")) << at;
  }
  // Each byte that begins no character counts as one.
  EXPECT_EQ(Utf8CharacterLength("\xF0\x9F\x98\x80x", 0), 4u);
  EXPECT_EQ(Utf8CharacterLength("\xE5\xADx", 0), 1u);
  EXPECT_EQ(Utf8CharacterLength("\x80\x80", 1), 1u);
}

}  // namespace
}  // namespace orvo
