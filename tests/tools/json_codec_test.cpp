#include "tools/orvoprint/json_codec.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "orvo/host/collections.hpp"

namespace orvoprint {
namespace {

using orvo::Bytes;
using orvo::Dictionary;
using orvo::Variant;

std::string Dump(const Variant& value) {
  return ToJson(value).dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

Variant Read(const std::string& text) {
  return FromJson(OrderedJson::parse(text));
}

TEST(Base64Test, RoundTripsEveryLengthOfTheLastGroupAndEveryByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
      {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : cases) {
    const Bytes bytes(plain.begin(), plain.end());
    EXPECT_EQ(Base64Encode(bytes), encoded);
    EXPECT_EQ(Base64Decode(encoded), bytes) << encoded;
  }
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
  EXPECT_EQ(Base64Encode(Bytes{0xFB, 0xFF, 0xBF}), "+/+/");
}

TEST(JsonCodecTest, EachKindIsWrittenInItsEncodingAndReadBack) {
  const std::pair<Variant, std::string> cases[] = {
      {Variant(), R"({"$empty":true})"},
      {Variant::Null(), "null"},
      {Variant(true), "true"},
      {Variant(std::int32_t{-2147483647 - 1}), "-2147483648"},
      {Variant(2147483647), "2147483647"},
      {Variant(2.5), "2.5"},
      {Variant("存放页面设置信息 \"A4\""), R"("存放页面设置信息 \"A4\"")"},
      {Variant(Bytes{0x00, 0xFF, 0x0D, 0x0A}), R"({"$binary":"AP8NCg=="})"},
      {Variant(Bytes{}), R"({"$binary":""})"},
      {Variant(orvo::Date::FromParts(2024, 3, 5, 14, 7, 9)), R"({"$date":"2024-03-05T14:07:09"})"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(Dump(value), text);
    EXPECT_EQ(Read(text), value) << text;
  }
  // Missing is written as Empty; a 16-bit integer comes back as a Long.
  EXPECT_EQ(Dump(Variant::Missing()), R"({"$empty":true})");
  EXPECT_EQ(Dump(Variant(std::int16_t{-2})), "-2");
  EXPECT_EQ(Read("-2"), Variant(-2));
  // Numbers that do not fit a Long keep their sign and size as a Double.
  for (const char* text :
       {"2147483648", "-2147483649", "1e3", "9223372036854775808", "18446744073709551615"}) {
    EXPECT_EQ(Read(text), Variant(std::stod(text))) << text;
  }
}

TEST(JsonCodecTest, DictionariesKeepTheirKeyOrderAndVectorsAreArraysAtAnyDepth) {
  const std::string text = R"({"28|5":["settings",{"$binary":"AQID"}],"10|1":null,)"
                           R"("Set":{"$empty":true},"Inner":{"z":[1,[2]],"a":{"$binary":"AQ=="}}})";
  const Variant read = Read(text);
  EXPECT_EQ(Dump(read), text);  // in the order of its keys
  auto dictionary = read.ObjectAs<Dictionary>();
  ASSERT_NE(dictionary, nullptr);
  EXPECT_EQ(dictionary->Value("28|5").ObjectAs<orvo::Vector>()->Item(2), Variant(Bytes{1, 2, 3}));
  EXPECT_EQ(dictionary->Value("Set"), Variant());
  auto inner = dictionary->Value("Inner").ObjectAs<Dictionary>();
  EXPECT_NE(inner->Value("z").ObjectAs<orvo::Vector>()->Item(2).ObjectAs<orvo::Vector>(), nullptr);
  EXPECT_EQ(Dump(Variant(std::make_shared<Dictionary>())), "{}");

  // An object with more than the tag is a plain Dictionary.
  for (const char* plain :
       {R"({"$binary":"AQ==","x":1})", R"({"$empty":true,"x":1})", R"({"$other":"AQ=="})"}) {
    ASSERT_NE(Read(plain).ObjectAs<Dictionary>(), nullptr) << plain;
    EXPECT_EQ(Dump(Read(plain)), plain);
  }
}

TEST(JsonCodecTest, RefusesBadBase64AndTaggedValuesItCannotRead) {
  for (const char* text : {"A", "Zm9", "Zm9v=", "Z===", "Zg=a", "Z=g=", "Zm8=Zm8=", "Zm 9",
                           "Zm9v\n", "Zm-_", "****"}) {
    EXPECT_THROW(Base64Decode(text), std::invalid_argument) << text;
  }
  for (const char* text :
       {R"({"$binary":"A"})", R"({"$binary":5})", R"({"$binary":null})",
        R"({"$date":"2024-02-30T00:00:00"})", R"({"$date":"yesterday"})", R"({"$date":45000})",
        R"([1,{"$binary":"@@@@"}])", R"({"Set":{"$binary":"Zm9"}})", R"({"$empty":false})",
        R"({"$empty":null})", R"([{"$empty":1}])"}) {
    EXPECT_THROW(Read(text), std::invalid_argument) << text;
  }
  // No member gets a number that is not finite, however the value was built.
  for (const double number : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    EXPECT_THROW(FromJson(OrderedJson::array({1, number})), std::invalid_argument) << number;
  }
}

TEST(JsonCodecTest, NestingIsReadToItsLimitAndRefusedBeyondIt) {
  const auto nested = [](int depth) {
    return std::string(depth, '[') + "1" + std::string(depth, ']');
  };
  EXPECT_NE(Read(nested(kMaxJsonDepth)).ObjectAs<orvo::Vector>(), nullptr);
  // Far beyond the limit, as deep as would exhaust the stack.
  for (int depth : {kMaxJsonDepth + 1, 30000}) {
    try {
      Read(R"({"X":)" + nested(depth - 1) + "}");
      FAIL() << depth;
    } catch (const std::invalid_argument& error) {
      EXPECT_EQ(std::string(error.what()), "arrays and objects nest deeper than 64 levels");
    }
  }
}

}  // namespace
}  // namespace orvoprint
