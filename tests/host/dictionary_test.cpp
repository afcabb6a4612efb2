#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

std::vector<std::string> Keys(const Dictionary& d) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : d.Entries()) keys.push_back(key);
  return keys;
}

TEST(DictionaryTest, KeepsInsertionOrderAndReplacesInPlace) {
  Dictionary d;
  d.SetValue("zeta", 1);
  d.SetValue("alpha", "a");
  d.SetValue("mid", 2.5);
  d.SetValue("zeta", "again");

  EXPECT_EQ(Keys(d), (std::vector<std::string>{"zeta", "alpha", "mid"}));
  EXPECT_EQ(d.Count(), 3);
  EXPECT_EQ(d.Value("zeta"), Variant("again"));
  EXPECT_EQ(d.Value("alpha"), Variant("a"));
}

TEST(DictionaryTest, KeysAreCaseSensitive) {
  Dictionary d;
  d.SetValue("Name", "upper");
  d.SetValue("name", "lower");

  EXPECT_EQ(d.Count(), 2);
  EXPECT_EQ(d.Value("Name"), Variant("upper"));
  EXPECT_EQ(d.Value("name"), Variant("lower"));
  EXPECT_TRUE(d.Value("NAME").IsEmpty());
  EXPECT_FALSE(d.Exists("NAME"));
}

TEST(DictionaryTest, MissingKeyReadsEmptyAndStoresNothing) {
  Dictionary d;
  d.SetValue("present", Variant::Null());

  EXPECT_TRUE(d.Value("absent").IsEmpty());
  EXPECT_TRUE(d.Value("present").IsNull());
  EXPECT_EQ(d.Count(), 1);
  EXPECT_FALSE(d.Exists("absent"));
}

TEST(DictionaryTest, StoresObjectsByReferenceAndRefusesNothing) {
  Dictionary d;
  auto items = std::make_shared<Vector>();
  d.SetObject("items", items);
  items->Add(7);

  auto stored = d.Value("items").ObjectAs<Vector>();
  ASSERT_EQ(stored, items);
  EXPECT_EQ(stored->Count(), 1);

  try {
    d.SetObject("none", nullptr);
    FAIL() << "storing no object must raise";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), kObjectRequired);
  }
  EXPECT_EQ(d.Count(), 1);
}

TEST(DictionaryTest, AnswersLateBoundCallsByNameAndDispid) {
  auto d = std::make_shared<Dictionary>();
  d->Invoke("SetValue", {Variant("qty"), Variant(std::int32_t{5})});
  d->Invoke(4, {Variant("name"), Variant("Box")});
  auto inner = std::make_shared<Dictionary>();
  d->Invoke(5, {Variant("child"), Variant(inner)});

  EXPECT_EQ(d->Invoke("count", {}), Variant(std::int32_t{3}));
  EXPECT_EQ(d->Invoke(1, {}), Variant(std::int32_t{3}));
  EXPECT_EQ(d->Invoke("Value", {Variant("name")}), Variant("Box"));
  EXPECT_EQ(d->Invoke(3, {Variant("qty")}), Variant(std::int32_t{5}));
  EXPECT_EQ(d->Invoke(3, {Variant("child")}).AsObject(), inner);
  EXPECT_TRUE(d->Invoke("Value", {Variant("nothing")}).IsEmpty());
}

}  // namespace
}  // namespace orvo
