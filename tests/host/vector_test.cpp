#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"
#include "support/error_of.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

using orvo::testing::ErrorOf;

TEST(VectorTest, CreatedByNameNumbersItemsFromOneAndRaisesNineOutsideThem) {
  RegisterCollectionClasses();
  EXPECT_NE(std::dynamic_pointer_cast<Vector>(CreateObject("zeb10.Vector")), nullptr);
  auto v =
      std::dynamic_pointer_cast<Vector>(CreateObject("{09AFE6F7-5BDB-11D1-9C2A-127658000000}"));
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(ErrorOf([&] { v->Item(1); }).number(), 9);
  v->Add("first");
  v->Invoke("Add", {Variant::Null()});
  v->Invoke(9, {Variant(std::make_shared<Dictionary>())});

  EXPECT_EQ(v->Invoke(7, {}), Variant(std::int32_t{3}));
  EXPECT_EQ(v->Item(1), Variant("first"));
  EXPECT_TRUE(v->Invoke("Item", {Variant(std::int32_t{2})}).IsNull());
  EXPECT_NE(v->Invoke(15, {Variant(std::int32_t{3})}).ObjectAs<Dictionary>(), nullptr);
  for (std::int32_t index : {0, 4, -1}) {
    EXPECT_EQ(ErrorOf([&] { v->Item(index); }).number(), 9) << index;
    EXPECT_EQ(ErrorOf([&] { v->Invoke(15, {Variant(index)}); }).number(), 9) << index;
  }
}

}  // namespace
}  // namespace orvo
