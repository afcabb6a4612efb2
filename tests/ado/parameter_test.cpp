#include <gtest/gtest.h>

#include "ado_test_support.hpp"
#include "orvo/ado/command.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

Variant Bound(DataTypeEnum type, Variant value, std::int32_t size = 0) {
  return Parameter("", type, adParamInput, size, std::move(value)).Bind(1).value;
}

std::int32_t BindError(DataTypeEnum type, Variant value, std::int32_t size = 0) {
  return ErrorOf([&] { Bound(type, value, size); }).number();
}

TEST(ParameterTest, EmptyAndNullBindAsNullForEveryType) {
  for (DataTypeEnum type : {adSmallInt, adInteger, adUnsignedInt, adDouble, adDate, adBoolean,
                            adVarChar, adLongVarChar, adLongVarBinary, adVariant}) {
    EXPECT_TRUE(Bound(type, Variant()).IsNull()) << type;
    EXPECT_TRUE(Bound(type, Variant::Null()).IsNull()) << type;
  }
}

TEST(ParameterTest, NumbersConvertToTheirParameterType) {
  EXPECT_EQ(Bound(adSmallInt, "12"), Variant(std::int16_t{12}));
  EXPECT_EQ(BindError(adSmallInt, 40000), kOverflow);
  EXPECT_EQ(Bound(adInteger, 2.5), Variant(2));  // half to even
  EXPECT_EQ(Bound(adInteger, 3.5), Variant(4));
  EXPECT_EQ(BindError(adInteger, "abc"), kTypeMismatch);
  EXPECT_EQ(Bound(adUnsignedInt, 4294967295.0), Variant(4294967295.0));
  EXPECT_EQ(BindError(adUnsignedInt, -1), kOverflow);
  EXPECT_EQ(BindError(adUnsignedInt, 4294967296.0), kOverflow);
  EXPECT_EQ(Bound(adDouble, "1.5"), Variant(1.5));
  EXPECT_EQ(Bound(adBoolean, "True"), Variant(true));
  EXPECT_EQ(Bound(adBoolean, 0), Variant(false));
}

TEST(ParameterTest, DatesComeFromDatesTextsAndSerials) {
  const Date date = Date::FromParts(2024, 5, 6, 10, 11, 12);
  EXPECT_EQ(Bound(adDate, date), Variant(date));
  EXPECT_EQ(Bound(adDate, "2024-05-06 10:11:12"), Variant(date));
  EXPECT_EQ(Bound(adDate, 45000), Variant(Date{45000}));
  EXPECT_EQ(BindError(adDate, "yesterday"), kTypeMismatch);
  EXPECT_EQ(BindError(adDate, true), kTypeMismatch);
}

TEST(ParameterTest, TextsAreCountedInCharactersAgainstTheirSize) {
  EXPECT_EQ(Bound(adVarChar, 28, 20), Variant("28"));
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "存";
  EXPECT_EQ(Bound(adVarChar, thirty, 30), Variant(thirty));
  EXPECT_EQ(BindError(adVarChar, thirty + "x", 30), kErrValueTooLong);
  EXPECT_EQ(Bound(adLongVarChar, std::string(5000, 'a')), Variant(std::string(5000, 'a')));
}

TEST(ParameterTest, BinaryValuesTakeBytesOrTheBytesOfAText) {
  EXPECT_EQ(Bound(adLongVarBinary, Bytes{1, 2}, 2147483647), Variant(Bytes{1, 2}));
  EXPECT_EQ(Bound(adLongVarBinary, "ab"), Variant(Bytes{'a', 'b'}));
  EXPECT_EQ(BindError(adLongVarBinary, 5), kTypeMismatch);
  const AutomationError e = ErrorOf([] {
    Parameter("", adLongVarBinary, adParamInput, 2, Bytes{1, 2, 3}).Bind(4);
  });
  EXPECT_EQ(e.number(), kErrValueTooLong);
  EXPECT_EQ(e.description(), "Parameter 4 holds 3 bytes, more than its size of 2");
}

TEST(ParameterTest, VariantsPassAsTheyAre) {
  EXPECT_EQ(Bound(adVariant, 2.5), Variant(2.5));
  EXPECT_EQ(Bound(adVariant, "x"), Variant("x"));
}

}  // namespace
}  // namespace orvo::ado
