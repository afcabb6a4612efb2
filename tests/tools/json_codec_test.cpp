#include "tools/orvoprint/json_codec.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "orvo/host/collections.hpp"

namespace orvoprint {
namespace {

using orvo::Bytes;
using orvo::Date;
using orvo::Dictionary;
using orvo::Variant;

std::string Dump(const Variant& value) {
  return ToJson(value).dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

Variant Read(const std::string& text) {
  return FromJson(OrderedJson::parse(text));
}

TEST(Base64Test, EncodesAndDecodesEveryLengthOfTheLastGroup) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
      {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : cases) {
    const Bytes bytes(plain.begin(), plain.end());
    EXPECT_EQ(Base64Encode(bytes), encoded);
    EXPECT_EQ(Base64Decode(encoded), bytes) << encoded;
  }
}

TEST(Base64Test, EveryByteValueSurvivesARoundTrip) {
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  for (std::size_t length = 0; length <= all.size(); length += 37) {
    const Bytes part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Base64Decode(Base64Encode(part)), part) << length;
  }
  EXPECT_EQ(Base64Encode(Bytes{0xFB, 0xFF, 0xBF}), "+/+/");
}

TEST(Base64Test, RefusesWhatIsNotBase64) {
  for (const char* text : {"A", "Zm9", "Zm9v=", "Z===", "Zg=a", "Z=g=", "Zm8=Zm8=", "Zm 9",
                           "Zm9v\n", "Zm-_", "****"}) {
    EXPECT_THROW(Base64Decode(text), std::invalid_argument) << text;
  }
}

TEST(JsonCodecTest, WritesEachKindInItsEncoding) {
  EXPECT_EQ(Dump(Variant()), R"({"$empty":true})");
  EXPECT_EQ(Dump(Variant::Missing()), R"({"$empty":true})");
  EXPECT_EQ(Dump(Variant::Null()), "null");
  EXPECT_EQ(Dump(Variant(true)), "true");
  EXPECT_EQ(Dump(Variant(false)), "false");
  EXPECT_EQ(Dump(Variant(std::int16_t{-2})), "-2");
  EXPECT_EQ(Dump(Variant(std::int32_t{-2147483647 - 1})), "-2147483648");
  EXPECT_EQ(Dump(Variant(2.5)), "2.5");
  EXPECT_EQ(Dump(Variant("存放页面设置信息 \"A4\"")), R"("存放页面设置信息 \"A4\"")");
  EXPECT_EQ(Dump(Variant(Bytes{0x89, 'P', 'N', 'G'})), R"({"$binary":"iVBORw=="})");
  EXPECT_EQ(Dump(Variant(Bytes{})), R"({"$binary":""})");
  EXPECT_EQ(Dump(Variant(Date::FromParts(2024, 3, 5, 14, 7, 9))),
            R"({"$date":"2024-03-05T14:07:09"})");
}

TEST(JsonCodecTest, ADictionaryKeepsItsOrderAndAVectorBecomesAnArray) {
  auto items = std::make_shared<orvo::Vector>();
  items->Add(Variant("settings"));
  items->Add(Variant(Bytes{1, 2, 3}));
  auto result = std::make_shared<Dictionary>();
  result->SetValue("28|5", Variant(items));
  result->SetValue("10|1", Variant::Null());
  result->SetValue("Set", Variant());
  EXPECT_EQ(Dump(Variant(result)),
            R"({"28|5":["settings",{"$binary":"AQID"}],"10|1":null,"Set":{"$empty":true}})");
  EXPECT_EQ(Dump(Variant(std::make_shared<Dictionary>())), "{}");
  EXPECT_EQ(Dump(Variant(std::make_shared<orvo::Vector>())), "[]");
}

TEST(JsonCodecTest, ReadsNumbersAsLongWhereTheyFitElseDouble) {
  EXPECT_EQ(Read("28"), Variant(28));
  EXPECT_EQ(Read("-2147483648"), Variant(std::int32_t{-2147483647 - 1}));
  EXPECT_EQ(Read("2147483647"), Variant(2147483647));
  EXPECT_EQ(Read("2147483648"), Variant(2147483648.0));
  EXPECT_EQ(Read("-2147483649"), Variant(-2147483649.0));
  EXPECT_EQ(Read("1.5"), Variant(1.5));
  EXPECT_EQ(Read("1e3"), Variant(1000.0));
  // Beyond 64-bit signed range the number still keeps its sign and size.
  EXPECT_EQ(Read("9223372036854775808"), Variant(9223372036854775808.0));
  EXPECT_EQ(Read("18446744073709551615"), Variant(18446744073709551615.0));
}

TEST(JsonCodecTest, ReadsTheEncodingsItWrites) {
  const Variant values[] = {
      Variant(),
      Variant::Null(),
      Variant(true),
      Variant(-7),
      Variant(0.25),
      Variant("O'Brien 模板"),
      Variant(Bytes{0x00, 0xFF, 0x10, 0x0D, 0x0A}),
      Variant(Date::FromParts(1999, 12, 31, 23, 59, 59)),
  };
  for (const Variant& value : values) {
    EXPECT_EQ(FromJson(ToJson(value)), value) << Dump(value);
  }
  // A 16-bit integer comes back as a number of the usual width.
  EXPECT_EQ(FromJson(ToJson(Variant(std::int16_t{5}))), Variant(5));
}

TEST(JsonCodecTest, ObjectsBecomeDictionariesAndArraysVectorsAtAnyDepth) {
  const std::string text =
      R"({"TableName":"t_ICItemPicture","Ids":[3,[1,2]],"Inner":{"z":1,"a":{"$binary":"AQ=="}}})";
  const Variant read = Read(text);
  auto dictionary = read.ObjectAs<Dictionary>();
  ASSERT_NE(dictionary, nullptr);
  ASSERT_EQ(dictionary->Count(), 3);
  auto ids = dictionary->Value("Ids").ObjectAs<orvo::Vector>();
  ASSERT_NE(ids, nullptr);
  ASSERT_EQ(ids->Count(), 2);
  EXPECT_EQ(ids->Item(1), Variant(3));
  auto nested = ids->Item(2).ObjectAs<orvo::Vector>();
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->Item(2), Variant(2));
  auto inner = dictionary->Value("Inner").ObjectAs<Dictionary>();
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Entries().front().first, "z");
  EXPECT_EQ(inner->Value("a"), Variant(Bytes{1}));
  // Written back, it is the same text.
  EXPECT_EQ(Dump(read), text);
}

TEST(JsonCodecTest, AnObjectWithMoreThanTheTagIsAPlainDictionary) {
  for (const char* text :
       {R"({"$binary":"AQ==","x":1})", R"({"$empty":true,"x":1})", R"({"$other":"AQ=="})"}) {
    const Variant read = Read(text);
    ASSERT_NE(read.ObjectAs<Dictionary>(), nullptr) << text;
    EXPECT_EQ(Dump(read), text);
  }
}

TEST(JsonCodecTest, RefusesTaggedValuesItCannotRead) {
  for (const char* text :
       {R"({"$binary":"A"})", R"({"$binary":"Zg=a"})", R"({"$binary":5})", R"({"$binary":null})",
        R"({"$date":"2024-02-30T00:00:00"})", R"({"$date":"yesterday"})", R"({"$date":45000})",
        R"([1,{"$binary":"@@@@"}])", R"({"Set":{"$binary":"Zm9"}})"}) {
    EXPECT_THROW(Read(text), std::invalid_argument) << text;
  }
}

}  // namespace
}  // namespace orvoprint
