#include <gtest/gtest.h>

#include "automation/error_matchers.hpp"
#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/dispatch.hpp"

namespace orvo {
namespace {

struct Widget : Dispatch {
  explicit Widget(const ClassInfo& info) : info_(info) {}
  const ClassInfo& TypeInfo() const override { return info_; }
  const ClassInfo& info_;
};

ClassInfo MakeInfo(std::string clsid, std::string progId) {
  ClassInfo info;
  info.clsid = std::move(clsid);
  info.progId = std::move(progId);
  return info;
}

// Enters the tests' classes in the process-wide registry and removes them again.
class ClassRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    widget_.create = [this] { return std::make_shared<Widget>(widget_); };
    registry_.Register(widget_);
    registry_.Register(abstract_);
  }
  void TearDown() override {
    registry_.Unregister(widget_.clsid);
    registry_.Unregister(abstract_.clsid);
  }

  ClassRegistry& registry_ = ClassRegistry::Instance();
  ClassInfo widget_ = MakeInfo("{0338DDFC-AAAA-4BBB-8CCC-0123456789AB}", "OrvoTest.clsWidget");
  ClassInfo abstract_ = MakeInfo("{0338DDFC-DDDD-4EEE-8FFF-0123456789AB}", "OrvoTest.clsAbstract");
};

TEST_F(ClassRegistryTest, FindsRegisteredClassesByProgIdOrClsidInAnyCase) {
  EXPECT_EQ(registry_.Find("orvotest.CLSWIDGET"), &widget_);
  EXPECT_EQ(registry_.Find("0338DDFC-AAAA-4BBB-8CCC-0123456789AB"), &widget_);
  EXPECT_EQ(registry_.Find("{0338ddfc-aaaa-4bbb-8ccc-0123456789ab}"), &widget_);
  for (const char* unknown : {"OrvoTest.clsWidge", "", "{0338DDFC-AAAA-4BBB-8CCC-0123456789AC}"}) {
    EXPECT_EQ(registry_.Find(unknown), nullptr) << unknown;
  }
  // Registering a class under a known identifier replaces it; unregistering removes only it.
  ClassInfo replacement = MakeInfo("0338ddfc-aaaa-4bbb-8ccc-0123456789ab", "OrvoTest.clsWidget2");
  registry_.Register(replacement);
  EXPECT_EQ(registry_.Find("{0338DDFC-AAAA-4BBB-8CCC-0123456789AB}"), &replacement);
  EXPECT_EQ(registry_.Find("OrvoTest.clsWidget"), nullptr);
  EXPECT_EQ(registry_.Find("OrvoTest.clsWidget2"), &replacement);
  registry_.Unregister("{0338ddfc-aaaa-4bbb-8ccc-0123456789ab}");
  EXPECT_EQ(registry_.Find("OrvoTest.clsWidget2"), nullptr);
  EXPECT_EQ(registry_.Find("OrvoTest.clsAbstract"), &abstract_);
}

TEST_F(ClassRegistryTest, CreateObjectMakesInstancesOrRaises429) {
  const std::shared_ptr<Dispatch> a = CreateObject("ORVOTEST.CLSWIDGET");
  const std::shared_ptr<Dispatch> b = CreateObject("0338ddfc-aaaa-4bbb-8ccc-0123456789ab");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_EQ(&a->TypeInfo(), &widget_);
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsNobody"), 429);
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsAbstract"), 429);  // no way to create
  widget_.create = [] { return std::shared_ptr<Dispatch>(); };
  EXPECT_RUNTIME_ERROR(CreateObject("OrvoTest.clsWidget"), 429);
}

}  // namespace
}  // namespace orvo
