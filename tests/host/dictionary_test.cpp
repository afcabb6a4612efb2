#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"
#include "support/error_of.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

using orvo::testing::ErrorOf;

TEST(DictionaryTest, KeepsInsertionOrderReplacesInPlaceAndReadsMissingAsEmpty) {
  Dictionary d;
  d.SetValue("zeta", 1);
  d.SetValue("alpha", Variant::Null());
  d.SetValue("Alpha", 2.5);
  d.SetValue("zeta", "again");

  std::vector<std::string> keys;
  for (const auto& [key, value] : d.Entries()) keys.push_back(key);
  // Keys are compared exactly: "alpha" and "Alpha" are two entries.
  EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "alpha", "Alpha"}));
  EXPECT_EQ(d.Value("zeta"), Variant("again"));
  EXPECT_TRUE(d.Value("alpha").IsNull());
  EXPECT_TRUE(d.Value("ALPHA").IsEmpty());
  EXPECT_FALSE(d.Exists("ALPHA"));
  EXPECT_EQ(d.Count(), 3);
}

TEST(DictionaryTest, CreatedByNameAnswersLateBoundCallsAndStoresObjectsByReference) {
  // Registering again changes nothing.
  RegisterCollectionClasses();
  RegisterCollectionClasses();
  EXPECT_NE(
      std::dynamic_pointer_cast<Dictionary>(CreateObject("{09AFE6FD-5BDB-11D1-9C2A-127658000000}")),
      nullptr);
  auto d = std::dynamic_pointer_cast<Dictionary>(CreateObject("zeb10.Dictionary"));
  ASSERT_NE(d, nullptr);
  auto items = std::make_shared<Vector>();
  d->Invoke("SetValue", {Variant("qty"), Variant(std::int32_t{5})});
  d->Invoke(4, {Variant("name"), Variant("Box")});
  d->Invoke(5, {Variant("items"), Variant(items)});
  items->Add(7);

  EXPECT_EQ(d->Invoke("count", {}), Variant(std::int32_t{3}));
  EXPECT_EQ(d->Invoke("Value", {Variant("name")}), Variant("Box"));
  EXPECT_EQ(d->Invoke(3, {Variant("qty")}), Variant(std::int32_t{5}));
  EXPECT_EQ(d->Invoke(3, {Variant("items")}).ObjectAs<Vector>()->Count(), 1);
  EXPECT_EQ(ErrorOf([&] { d->SetObject("none", nullptr); }).number(), kObjectRequired);
  EXPECT_EQ(d->Count(), 3);
}

}  // namespace
}  // namespace orvo
