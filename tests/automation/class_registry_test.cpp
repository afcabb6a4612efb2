#include <gtest/gtest.h>

#include "automation/error_matchers.hpp"
#include "orvo/automation/dispatch.hpp"

namespace orvo {
namespace {

class Widget : public Dispatch {
 public:
  explicit Widget(const ClassInfo& info) : info_(info) {}
  const ClassInfo& TypeInfo() const override { return info_; }

 private:
  const ClassInfo& info_;
};

ClassInfo MakeInfo(std::string clsid, std::string progId) {
  ClassInfo info;
  info.name = "clsWidget";
  info.clsid = std::move(clsid);
  info.progId = std::move(progId);
  return info;
}

// Enters the tests' classes in the process-wide registry and removes them again.
class ClassRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    widget_.create = [this] { return std::make_shared<Widget>(widget_); };
    ClassRegistry::Instance().Register(widget_);
    ClassRegistry::Instance().Register(abstract_);
  }
  void TearDown() override {
    ClassRegistry::Instance().Unregister(widget_.clsid);
    ClassRegistry::Instance().Unregister(abstract_.clsid);
  }

  ClassInfo widget_ = MakeInfo("{0338DDFC-AAAA-4BBB-8CCC-0123456789AB}", "OrvoTest.clsWidget");
  ClassInfo abstract_ = MakeInfo("{0338DDFC-DDDD-4EEE-8FFF-0123456789AB}", "OrvoTest.clsAbstract");
};

TEST_F(ClassRegistryTest, FindsByProgIdInAnyCase) {
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsWidget"), &widget_);
  EXPECT_EQ(ClassRegistry::Instance().Find("orvotest.CLSWIDGET"), &widget_);
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsWidge"), nullptr);
  EXPECT_EQ(ClassRegistry::Instance().Find(""), nullptr);
}

TEST_F(ClassRegistryTest, FindsByClsidWithOrWithoutBraces) {
  EXPECT_EQ(ClassRegistry::Instance().Find("{0338DDFC-AAAA-4BBB-8CCC-0123456789AB}"), &widget_);
  EXPECT_EQ(ClassRegistry::Instance().Find("0338DDFC-AAAA-4BBB-8CCC-0123456789AB"), &widget_);
  EXPECT_EQ(ClassRegistry::Instance().Find("{0338ddfc-aaaa-4bbb-8ccc-0123456789ab}"), &widget_);
  EXPECT_EQ(ClassRegistry::Instance().Find("{0338DDFC-AAAA-4BBB-8CCC-0123456789AC}"), nullptr);
}

TEST_F(ClassRegistryTest, CreateObjectMakesInstancesOfTheClass) {
  const std::shared_ptr<Dispatch> a = CreateObject("ORVOTEST.CLSWIDGET");
  const std::shared_ptr<Dispatch> b = CreateObject("0338ddfc-aaaa-4bbb-8ccc-0123456789ab");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(&a->TypeInfo(), &widget_);
}

TEST_F(ClassRegistryTest, CreateObjectRaises429WhenNoClassCreates) {
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsNobody"), 429);
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsAbstract"), 429);
  widget_.create = [] { return std::shared_ptr<Dispatch>(); };
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsWidget"), 429);
}

TEST_F(ClassRegistryTest, RegisterReplacesTheClassOfTheSameClsid) {
  ClassInfo replacement = MakeInfo("0338ddfc-aaaa-4bbb-8ccc-0123456789ab", "OrvoTest.clsWidget2");
  ClassRegistry::Instance().Register(replacement);
  EXPECT_EQ(ClassRegistry::Instance().Find("{0338DDFC-AAAA-4BBB-8CCC-0123456789AB}"), &replacement);
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsWidget"), nullptr);
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsWidget2"), &replacement);
  ClassRegistry::Instance().Unregister(replacement.clsid);
}

TEST_F(ClassRegistryTest, UnregisterRemovesOnlyThatClass) {
  ClassRegistry::Instance().Unregister("{0338ddfc-dddd-4eee-8fff-0123456789ab}");
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsAbstract"), nullptr);
  EXPECT_EQ(ClassRegistry::Instance().Find("OrvoTest.clsWidget"), &widget_);
}

}  // namespace
}  // namespace orvo
