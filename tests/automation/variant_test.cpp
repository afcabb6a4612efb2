#include "orvo/automation/variant.hpp"

#include <gtest/gtest.h>

#include "automation/error_matchers.hpp"

namespace orvo {
namespace {

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

TEST(VariantTest, KindMattersToEqualityAndNumbers) {
  EXPECT_NE(Variant(1), Variant(1.0));
  EXPECT_NE(Variant(std::int16_t{1}), Variant(1));
  EXPECT_NE(Variant::Null(), Variant::Missing());
  EXPECT_NE(Variant(), Variant(""));
  EXPECT_TRUE(Variant(std::int16_t{1}).IsNumber() && Variant(1).IsNumber() &&
              Variant(1.0).IsNumber());
  EXPECT_FALSE(Variant(true).IsNumber() || Variant("1").IsNumber() || Variant(Date{1}).IsNumber());
}

}  // namespace
}  // namespace orvo
