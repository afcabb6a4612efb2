#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

std::int32_t ErrorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

TEST(VectorTest, ItemsAreNumberedFromOne) {
  Vector v;
  v.Add("first");
  v.Add(std::int32_t{2});
  v.Add(Variant::Null());

  EXPECT_EQ(v.Count(), 3);
  EXPECT_EQ(v.Item(1), Variant("first"));
  EXPECT_EQ(v.Item(2), Variant(std::int32_t{2}));
  EXPECT_TRUE(v.Item(3).IsNull());
}

TEST(VectorTest, IndexOutsideOneToCountRaisesSubscriptOutOfRange) {
  Vector v;
  EXPECT_EQ(ErrorNumberOf([&] { v.Item(1); }), kSubscriptOutOfRange);
  v.Add("only");
  EXPECT_EQ(ErrorNumberOf([&] { v.Item(0); }), kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { v.Item(2); }), kSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { v.Item(-1); }), kSubscriptOutOfRange);
}

TEST(VectorTest, AnswersLateBoundCalls) {
  auto v = std::make_shared<Vector>();
  v->Invoke("Add", {Variant("a")});
  v->Invoke(9, {Variant(std::make_shared<Dictionary>())});

  EXPECT_EQ(v->Invoke(7, {}), Variant(std::int32_t{2}));
  EXPECT_EQ(v->Invoke("Item", {Variant(std::int32_t{1})}), Variant("a"));
  EXPECT_NE(v->Invoke(15, {Variant(std::int32_t{2})}).ObjectAs<Dictionary>(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { v->Invoke(15, {Variant(std::int32_t{3})}); }),
            kSubscriptOutOfRange);
}

}  // namespace
}  // namespace orvo
