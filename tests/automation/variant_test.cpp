#include "orvo/automation/variant.hpp"

#include <gtest/gtest.h>

#include "automation/error_matchers.hpp"

namespace orvo {
namespace {

TEST(VariantTest, KindsAndNames) {
  EXPECT_EQ(Variant().KindName(), "Empty");
  EXPECT_EQ(Variant::Null().KindName(), "Null");
  EXPECT_EQ(Variant::Missing().KindName(), "Missing");
  EXPECT_EQ(Variant(true).KindName(), "Boolean");
  EXPECT_EQ(Variant(std::int16_t{1}).KindName(), "Integer");
  EXPECT_EQ(Variant(1).KindName(), "Long");
  EXPECT_EQ(Variant(1.5).KindName(), "Double");
  EXPECT_EQ(Variant(Date{2}).KindName(), "Date");
  EXPECT_EQ(Variant("x").KindName(), "String");
  EXPECT_EQ(Variant(Bytes{1, 2}).KindName(), "Byte()");
  EXPECT_EQ(Variant(std::shared_ptr<Dispatch>()).KindName(), "Object");
}

TEST(VariantTest, IsNumberOnlyForNumericKinds) {
  EXPECT_TRUE(Variant(std::int16_t{1}).IsNumber());
  EXPECT_TRUE(Variant(1).IsNumber());
  EXPECT_TRUE(Variant(1.0).IsNumber());
  EXPECT_FALSE(Variant(true).IsNumber());
  EXPECT_FALSE(Variant("1").IsNumber());
  EXPECT_FALSE(Variant(Date{1}).IsNumber());
}

TEST(VariantTest, AccessorsOfMatchingKind) {
  EXPECT_EQ(Variant(42).AsLong(), 42);
  EXPECT_EQ(Variant(std::int16_t{-7}).AsInteger(), -7);
  EXPECT_EQ(Variant("abc").AsString(), "abc");
  EXPECT_EQ(Variant(Bytes{0, 255}).AsBytes(), (Bytes{0, 255}));
  EXPECT_EQ(Variant(Date{3.5}).AsDate().serial, 3.5);
}

TEST(VariantTest, AccessorsOfOtherKindRaiseTypeMismatch) {
  EXPECT_RUNTIME_ERROR(Variant(std::int16_t{1}).AsLong(), 13);
  EXPECT_RUNTIME_ERROR(Variant(1).AsInteger(), 13);
  EXPECT_RUNTIME_ERROR(Variant(1).AsDouble(), 13);
  EXPECT_RUNTIME_ERROR(Variant("1").AsLong(), 13);
  EXPECT_RUNTIME_ERROR(Variant().AsString(), 13);
  EXPECT_RUNTIME_ERROR(Variant::Null().AsBoolean(), 13);
  EXPECT_RUNTIME_ERROR(Variant(1.0).AsDate(), 13);
  EXPECT_RUNTIME_ERROR(Variant("x").AsBytes(), 13);
  EXPECT_RUNTIME_ERROR(Variant().AsObject(), 13);
}

TEST(VariantTest, EqualityComparesKindAndValue) {
  EXPECT_EQ(Variant(1), Variant(1));
  EXPECT_NE(Variant(1), Variant(1.0));
  EXPECT_NE(Variant(std::int16_t{1}), Variant(1));
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant::Null(), Variant::Missing());
  EXPECT_NE(Variant(), Variant(""));
}

}  // namespace
}  // namespace orvo
