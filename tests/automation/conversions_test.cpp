#include "orvo/automation/conversions.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "automation/error_matchers.hpp"

namespace orvo {
namespace {

TEST(CLngTest, RoundsHalfToEven) {
  EXPECT_EQ(CLng(0.5), 0);
  EXPECT_EQ(CLng(1.5), 2);
  EXPECT_EQ(CLng(2.5), 2);
  EXPECT_EQ(CLng(3.5), 4);
  EXPECT_EQ(CLng(-2.5), -2);
  EXPECT_EQ(CLng(-3.5), -4);
  EXPECT_EQ(CLng(2.4999), 2);
  EXPECT_EQ(CLng(2.5001), 3);
  EXPECT_EQ(CLng(-0.4), 0);
  EXPECT_EQ(CLng("2.5"), 2);
  EXPECT_EQ(CLng("3.5"), 4);
}

TEST(CLngTest, RangeEdges) {
  EXPECT_EQ(CLng(2147483647.0), 2147483647);
  EXPECT_EQ(CLng(2147483647.4), 2147483647);
  EXPECT_RUNTIME_ERROR(CLng(2147483647.5), 6);
  EXPECT_EQ(CLng(-2147483648.5), -2147483647 - 1);
  EXPECT_RUNTIME_ERROR(CLng(-2147483649.0), 6);
  EXPECT_RUNTIME_ERROR(CLng("2147483648"), 6);
  EXPECT_EQ(CLng("-2147483648"), -2147483647 - 1);
  EXPECT_RUNTIME_ERROR(CLng(std::numeric_limits<double>::quiet_NaN()), 6);
  EXPECT_RUNTIME_ERROR(CLng(std::numeric_limits<double>::infinity()), 6);
}

TEST(CLngTest, OtherKinds) {
  EXPECT_EQ(CLng(Variant()), 0);
  EXPECT_EQ(CLng(true), -1);
  EXPECT_EQ(CLng(false), 0);
  EXPECT_EQ(CLng(std::int16_t{-5}), -5);
  EXPECT_EQ(CLng(Date{45000.5}), 45000);  // half to even
  EXPECT_EQ(CLng(Date{45001.5}), 45002);
  EXPECT_RUNTIME_ERROR(CLng(Variant::Null()), 94);
  EXPECT_RUNTIME_ERROR(CLng(Variant::Missing()), 13);
  EXPECT_RUNTIME_ERROR(CLng(Bytes{1}), 13);
  EXPECT_RUNTIME_ERROR(CLng(std::shared_ptr<Dispatch>()), 13);
}

TEST(CLngTest, NumericText) {
  EXPECT_EQ(CLng(" \t42 \t"), 42);
  EXPECT_EQ(CLng("+7"), 7);
  EXPECT_EQ(CLng("-7"), -7);
  EXPECT_EQ(CLng(".5"), 0);
  EXPECT_EQ(CLng("5."), 5);
  EXPECT_EQ(CLng("1.5E3"), 1500);
  EXPECT_EQ(CLng("1.5d+3"), 1500);
  EXPECT_EQ(CLng("25e-1"), 2);
  EXPECT_EQ(CLng("&H1F"), 31);
  EXPECT_EQ(CLng("&hff"), 255);
  EXPECT_EQ(CLng("&O17"), 15);
  // Hexadecimal numbers that fit 16 bits are Integers, as in the language.
  EXPECT_EQ(CLng("&HFFFF"), -1);
  EXPECT_EQ(CLng("&H10000"), 65536);
  EXPECT_EQ(CLng("&HFFFFFFFF"), -1);
  EXPECT_RUNTIME_ERROR(CLng("&H100000000"), 6);
  EXPECT_RUNTIME_ERROR(CLng("1E400"), 6);
  EXPECT_EQ(CLng("1E-400"), 0);
}

TEST(CLngTest, TextThatIsNoNumberIsTypeMismatch) {
  const char* bad[] = {"",   "   ", "12abc", "abc", "1,000", "1.2.3", "+",   "-",  ".",
                       "1e", "1e+", "- 5",   "&H",  "&HFG",  "&O8",   "&X1", "$5", "1 2"};
  for (const char* text : bad) {
    EXPECT_RUNTIME_ERROR(CLng(text), 13);
  }
}

TEST(CIntTest, SixteenBitRange) {
  EXPECT_EQ(CInt(32767.0), 32767);
  EXPECT_EQ(CInt(-32768.0), -32768);
  EXPECT_EQ(CInt(32766.5), 32766);
  EXPECT_RUNTIME_ERROR(CInt(32767.5), 6);
  EXPECT_RUNTIME_ERROR(CInt("32768"), 6);
  EXPECT_RUNTIME_ERROR(CInt(100000), 6);
  EXPECT_EQ(CInt("-2.5"), -2);
  EXPECT_RUNTIME_ERROR(CInt(Variant::Null()), 94);
}

TEST(CDblTest, NoRounding) {
  EXPECT_EQ(CDbl("2.5"), 2.5);
  EXPECT_EQ(CDbl(" -1.25E2 "), -125);
  EXPECT_EQ(CDbl(7), 7);
  EXPECT_EQ(CDbl(true), -1);
  EXPECT_EQ(CDbl(Variant()), 0);
  EXPECT_EQ(CDbl(Date{1.75}), 1.75);
  EXPECT_EQ(CDbl("1.7976931348623157E308"), std::numeric_limits<double>::max());
  EXPECT_RUNTIME_ERROR(CDbl("1.8E308"), 6);
  EXPECT_RUNTIME_ERROR(CDbl("x"), 13);
  EXPECT_RUNTIME_ERROR(CDbl(Variant::Null()), 94);
}

TEST(CBoolTest, NumbersTextsAndOthers) {
  EXPECT_TRUE(CBool(1));
  EXPECT_TRUE(CBool(-0.5));
  EXPECT_FALSE(CBool(0.0));
  EXPECT_FALSE(CBool(Variant()));
  EXPECT_TRUE(CBool("True"));
  EXPECT_TRUE(CBool(" tRUE "));
  EXPECT_FALSE(CBool("FALSE"));
  EXPECT_TRUE(CBool("-1"));
  EXPECT_TRUE(CBool("0.5"));
  EXPECT_FALSE(CBool("0"));
  EXPECT_RUNTIME_ERROR(CBool("yes"), 13);
  EXPECT_RUNTIME_ERROR(CBool(""), 13);
  EXPECT_RUNTIME_ERROR(CBool("Truex"), 13);
  EXPECT_RUNTIME_ERROR(CBool(Variant::Null()), 94);
  EXPECT_RUNTIME_ERROR(CBool(Variant::Missing()), 13);
}

TEST(CStrTest, ScalarKinds) {
  EXPECT_EQ(CStr(Variant()), "");
  EXPECT_RUNTIME_ERROR(CStr(Variant::Null()), 94);
  EXPECT_RUNTIME_ERROR(CStr(Variant::Missing()), 13);
  EXPECT_RUNTIME_ERROR(CStr(std::shared_ptr<Dispatch>()), 13);
  EXPECT_EQ(CStr(true), "True");
  EXPECT_EQ(CStr(false), "False");
  EXPECT_EQ(CStr(std::int16_t{-32768}), "-32768");
  EXPECT_EQ(CStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(CStr(" as is "), " as is ");
  EXPECT_EQ(CStr(Bytes{'a', 'b', 0, 'c'}), std::string("ab\0c", 4));
}

TEST(CStrTest, Doubles) {
  EXPECT_EQ(CStr(2.5), "2.5");
  EXPECT_EQ(CStr(3.0), "3");
  EXPECT_EQ(CStr(-3.0), "-3");
  EXPECT_EQ(CStr(0.1), "0.1");
  EXPECT_EQ(CStr(-0.0), "0");
  EXPECT_EQ(CStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(CStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(CStr(100000000000000.0), "100000000000000");
  EXPECT_EQ(CStr(1e15), "1E+15");
  EXPECT_EQ(CStr(1e20), "1E+20");
  EXPECT_EQ(CStr(123456789012345678.0), "1.23456789012346E+17");
  EXPECT_EQ(CStr(0.0001), "0.0001");
  EXPECT_EQ(CStr(0.00001), "1E-05");
  EXPECT_EQ(CStr(1.5e-7), "1.5E-07");
  EXPECT_EQ(CStr(-1.5e-300), "-1.5E-300");
  EXPECT_RUNTIME_ERROR(CStr(std::numeric_limits<double>::infinity()), 6);
}

TEST(CStrTest, Dates) {
  EXPECT_EQ(CStr(Date::FromParts(2026, 1, 2)), "2026-01-02");
  EXPECT_EQ(CStr(Date::FromParts(2026, 1, 2, 13, 5, 9)), "2026-01-02 13:05:09");
  EXPECT_EQ(CStr(Date{0.75}), "18:00:00");
  EXPECT_EQ(CStr(Date{0}), "1899-12-30");
  EXPECT_EQ(CStr(Date{-0.25}), "06:00:00");
}

TEST(ValTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(Val("  1 2x"), 12);
  EXPECT_EQ(Val(" 1 2 . 5"), 12.5);
  EXPECT_EQ(Val("\t-\n3\r"), -3);
  EXPECT_EQ(Val("+4"), 4);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("1,000"), 1);
  EXPECT_EQ(Val("12e"), 12);
  EXPECT_EQ(Val("12e+"), 12);
  EXPECT_EQ(Val("12ex"), 12);
  EXPECT_EQ(Val("1e3x"), 1000);
  EXPECT_EQ(Val("1 E - 2"), 0.01);
  EXPECT_EQ(Val("2d2"), 200);
  EXPECT_EQ(Val("&HFF"), 255);
  EXPECT_EQ(Val("&hFFzz"), 255);
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("&O19"), 1);
  EXPECT_EQ(Val("&HFFFF"), -1);
  EXPECT_RUNTIME_ERROR(Val("1E400"), 6);
  EXPECT_RUNTIME_ERROR(Val("&H123456789"), 6);
}

TEST(ValTest, NoNumberIsZero) {
  for (const char* text : {"", "x", "-", ".", "+.", "&", "&H", "&Z1", "e5", "  "}) {
    EXPECT_EQ(Val(text), 0) << text;
    EXPECT_FALSE(std::signbit(Val(text))) << text;
  }
  EXPECT_FALSE(std::signbit(Val("-0")));
}

TEST(ValTest, OfAVariantReadsItsText) {
  EXPECT_EQ(Val(Variant()), 0);
  EXPECT_EQ(Val(Variant(true)), 0);  // "True"
  EXPECT_EQ(Val(Variant(2.5)), 2.5);
  EXPECT_EQ(Val(Variant(std::string("7 apples"))), 7);
  EXPECT_EQ(Val(std::string("8x")), 8);
  EXPECT_EQ(Val(Variant(Date::FromParts(2026, 5, 6))), 2026);
  EXPECT_RUNTIME_ERROR(Val(Variant::Null()), 94);
}

}  // namespace
}  // namespace orvo
