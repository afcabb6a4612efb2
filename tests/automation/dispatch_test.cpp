#include "orvo/automation/dispatch.hpp"

#include <gtest/gtest.h>

#include "automation/error_matchers.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo {
namespace {

// A class of the tests' own, its members exercising each rule of Invoke.
class Sample : public Dispatch {
 public:
  static const ClassInfo& Info();
  const ClassInfo& TypeInfo() const override { return Info(); }

  // The arguments the last member call received.
  std::vector<Variant> received;
};

Sample& Self(Dispatch& d) {
  return static_cast<Sample&>(d);
}

Variant Describe(Dispatch& self, std::vector<Variant>& args) {
  Self(self).received = args;
  return CStr(args[0]) + ":" + args[1].AsString();
}

Variant Scale(Dispatch& self, std::vector<Variant>& args) {
  Self(self).received = args;
  return args[0].AsDouble() * args[1].AsDouble();
}

Variant Bump(Dispatch& self, std::vector<Variant>& args) {
  Self(self).received = args;
  args[0] = "was " + CStr(args[0]);
  args[1] = args[1].AsLong() + 1;
  args[2] = "changed";
  return 99;  // dropped: the member has no result
}

Variant Options(Dispatch& self, std::vector<Variant>& args) {
  Self(self).received = args;
  return Variant();
}

Variant Attach(Dispatch&, std::vector<Variant>& args) {
  return args[0];
}

const ClassInfo& Sample::Info() {
  static const ClassInfo info = [] {
    ClassInfo c;
    c.name = "clsSample";
    c.clsid = "{11111111-2222-3333-4444-555555555555}";
    c.progId = "OrvoTest.clsSample";
    c.members = {
        {"Describe",
         1,
         MemberKind::Method,
         {{.name = "nId", .type = ParamType::Long},
          {.name = "sLabel", .type = ParamType::String, .optional = true, .defaultValue = ""}},
         ParamType::String,
         &Describe},
        {"Scale",
         2,
         MemberKind::Method,
         {{.name = "dValue", .type = ParamType::Double},
          {.name = "dFactor", .type = ParamType::Double, .optional = true, .defaultValue = 2.0}},
         ParamType::Double,
         &Scale},
        {"Bump",
         3,
         MemberKind::Method,
         {{.name = "vText", .type = ParamType::Variant, .byRef = true},
          {.name = "nCount", .type = ParamType::Long, .optional = true, .byRef = true},
          {.name = "sKept", .type = ParamType::String, .optional = true}},
         ParamType::None,
         &Bump},
        {"Future", 4, MemberKind::Method, {}, ParamType::Long, nullptr},
        {"Options",
         5,
         MemberKind::Method,
         {{.name = "bFlag", .type = ParamType::Boolean, .optional = true},
          {.name = "iCount", .type = ParamType::Integer, .optional = true},
          {.name = "vAny", .type = ParamType::Variant, .optional = true},
          {.name = "oThing", .type = ParamType::Object, .optional = true},
          {.name = "dRate", .type = ParamType::Double, .optional = true},
          {.name = "nLong", .type = ParamType::Long, .optional = true},
          {.name = "sText", .type = ParamType::String, .optional = true}},
         ParamType::Variant,
         &Options},
        {"Attach",
         6,
         MemberKind::Method,
         {{.name = "oTarget", .type = ParamType::Dictionary}},
         ParamType::Object,
         &Attach},
    };
    return c;
  }();
  return info;
}

class DispatchTest : public ::testing::Test {
 protected:
  std::shared_ptr<Sample> object = std::make_shared<Sample>();
};

TEST_F(DispatchTest, FindsMembersByNameInAnyCaseOrByDispid) {
  EXPECT_EQ(object->Invoke("Describe", {5, "x"}), Variant("5:x"));
  EXPECT_EQ(object->Invoke("dEsCrIbE", {5, "x"}), Variant("5:x"));
  EXPECT_EQ(object->Invoke(1, {6, "y"}), Variant("6:y"));
  EXPECT_EQ(Sample::Info().FindMember("SCALE"), Sample::Info().FindMember(2));
  EXPECT_EQ(Sample::Info().FindMember("Scal"), nullptr);
}

TEST_F(DispatchTest, UnknownOrUnimplementedMembersRaise438) {
  EXPECT_RUNTIME_ERROR(object->Invoke("Nope", {}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke(77, {}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke("Future", {}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke(4, {}), 438);
}

TEST_F(DispatchTest, ArgumentCountRules) {
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {}), 449);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {Variant::Missing(), "x"}), 449);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {1, "x", 3}), 450);
  EXPECT_RUNTIME_ERROR(object->Invoke("Future", {1}), 438);  // the member decides first
}

TEST_F(DispatchTest, ConvertsArgumentsToTheParameterTypes) {
  EXPECT_EQ(object->Invoke("Describe", {"2.5", 7}), Variant("2:7"));
  ASSERT_EQ(object->received.size(), 2u);
  EXPECT_EQ(object->received[0], Variant(2));
  EXPECT_EQ(object->received[1], Variant("7"));
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {"12abc"}), 13);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {Variant::Null()}), 94);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {3e10}), 6);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {std::static_pointer_cast<Dispatch>(object)}),
                       13);
}

TEST_F(DispatchTest, OmittedOptionalArgumentsTakeTheirDefaults) {
  EXPECT_EQ(object->Invoke("Describe", {4}), Variant("4:"));
  EXPECT_EQ(object->Invoke("Scale", {3}), Variant(6.0));
  EXPECT_EQ(object->Invoke("Scale", {3, Variant::Missing()}), Variant(6.0));
  EXPECT_EQ(object->Invoke("Scale", {3, "0.5"}), Variant(1.5));
}

TEST_F(DispatchTest, OmittedOptionalArgumentsWithoutDefaultTakeTheTypesOwn) {
  object->Invoke("Options", {});
  const std::vector<Variant> expected = {false, std::int16_t{0}, Variant::Missing(), Variant(), 0.0,
                                         0,     std::string()};
  EXPECT_EQ(object->received, expected);
}

TEST_F(DispatchTest, ByReferenceArgumentsAreHandedBack) {
  std::vector<Variant> args = {"a", "5", "kept"};
  EXPECT_EQ(object->Invoke("Bump", args), Variant());  // no result
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[0], Variant("was a"));
  EXPECT_EQ(args[1], Variant(6));  // converted to Long on the way in
  EXPECT_EQ(args[2], Variant("kept"));

  std::vector<Variant> shorter = {"b"};
  object->Invoke(3, shorter);
  ASSERT_EQ(shorter.size(), 2u);
  EXPECT_EQ(shorter[0], Variant("was b"));
  EXPECT_EQ(shorter[1], Variant(1));
}

TEST_F(DispatchTest, ObjectParametersRequireObjects) {
  const Variant self(std::static_pointer_cast<Dispatch>(object));
  EXPECT_EQ(object->Invoke("Attach", {self}), self);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {5}), 424);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {"x"}), 424);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {Variant::Null()}), 424);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {}), 449);
}

TEST(CoerceArgumentTest, ResultKinds) {
  EXPECT_EQ(CoerceArgument("3", ParamType::Integer), Variant(std::int16_t{3}));
  EXPECT_EQ(CoerceArgument(std::int16_t{3}, ParamType::Long), Variant(3));
  EXPECT_EQ(CoerceArgument(3, ParamType::Double), Variant(3.0));
  EXPECT_EQ(CoerceArgument(3, ParamType::String), Variant("3"));
  EXPECT_EQ(CoerceArgument("true", ParamType::Boolean), Variant(true));
  EXPECT_EQ(CoerceArgument(Variant::Null(), ParamType::Variant), Variant::Null());
  EXPECT_RUNTIME_ERROR(CoerceArgument(Variant(), ParamType::Connection), 424);
  EXPECT_RUNTIME_ERROR(CoerceArgument(Variant(), ParamType::Vector), 424);
}

TEST(ParamTypeNameTest, Names) {
  EXPECT_EQ(ParamTypeName(ParamType::None), "");
  EXPECT_EQ(ParamTypeName(ParamType::Boolean), "Boolean");
  EXPECT_EQ(ParamTypeName(ParamType::Integer), "Integer");
  EXPECT_EQ(ParamTypeName(ParamType::Long), "Long");
  EXPECT_EQ(ParamTypeName(ParamType::Double), "Double");
  EXPECT_EQ(ParamTypeName(ParamType::String), "String");
  EXPECT_EQ(ParamTypeName(ParamType::Variant), "VARIANT");
  EXPECT_EQ(ParamTypeName(ParamType::Dictionary), "Dictionary");
  EXPECT_EQ(ParamTypeName(ParamType::Vector), "Vector");
  EXPECT_EQ(ParamTypeName(ParamType::Connection), "Connection");
  EXPECT_EQ(ParamTypeName(ParamType::Object), "Object");
}

}  // namespace
}  // namespace orvo
