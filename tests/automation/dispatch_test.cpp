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

  std::vector<Variant> received;  // the arguments of the last call of Keep
};

// Keeps the arguments it receives and answers the first.
Variant Keep(Dispatch& self, std::vector<Variant>& args) {
  static_cast<Sample&>(self).received = args;
  return args.empty() ? Variant() : args[0];
}

Variant Bump(Dispatch&, std::vector<Variant>& args) {
  args[0] = "was " + CStr(args[0]);
  args[1] = args[1].AsLong() + 1;
  args[2] = "changed";
  return 99;  // dropped: the member has no result
}

ParamInfo Param(ParamType type, bool optional = false, Variant defaultValue = {}) {
  return {.name = "p", .type = type, .optional = optional, .defaultValue = defaultValue};
}

MemberInfo Method(std::string name, std::int32_t dispid, std::vector<ParamInfo> params,
                  ParamType result, MemberThunk thunk) {
  return {std::move(name), dispid, MemberKind::Method, std::move(params), result, thunk};
}

const ClassInfo& Sample::Info() {
  static const ClassInfo info = [] {
    using P = ParamType;
    ClassInfo c;
    c.members = {
        Method("Describe", 1, {Param(P::Long), Param(P::String, true, "none")}, P::String, &Keep),
        Method("Bump", 3,
               {{.name = "vText", .byRef = true},
                {.name = "nCount", .type = P::Long, .optional = true, .byRef = true},
                Param(P::String, true)},
               P::None, &Bump),
        Method("Future", 4, {}, P::Long, nullptr),
        Method("Options", 5,
               {Param(P::Boolean, true), Param(P::Integer, true), Param(P::Variant, true),
                Param(P::Object, true), Param(P::Double, true), Param(P::Long, true),
                Param(P::String, true)},
               P::Variant, &Keep),
        Method("Attach", 6, {Param(P::Dictionary)}, P::Object, &Keep),
        Method("Fallback", 7, {Param(P::Long), Param(P::Variant, true, "dflt")}, P::Variant, &Keep),
    };
    return c;
  }();
  return info;
}

class DispatchTest : public ::testing::Test {
 protected:
  std::shared_ptr<Sample> object = std::make_shared<Sample>();
};

TEST_F(DispatchTest, FindsMembersAndChecksTheArgumentCount) {
  EXPECT_EQ(object->Invoke("dEsCrIbE", {5, "x"}), Variant(5));
  EXPECT_EQ(object->Invoke(1, {6}), Variant(6));
  // Unknown members, a mere prefix of a name included, and members without implementation.
  EXPECT_RUNTIME_ERROR(object->Invoke("Describ", {5}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke(77, {}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke("Future", {}), 438);
  EXPECT_RUNTIME_ERROR(object->Invoke(4, {1}), 438);  // the member decides before the count
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {}), 449);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {Variant::Missing(), "x"}), 449);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {1, "x", 3}), 450);
}

TEST_F(DispatchTest, ConvertsArgumentsToTheParameterTypes) {
  EXPECT_EQ(object->Invoke("Describe", {"2.5", 7}), Variant(2));
  EXPECT_EQ(object->received, (std::vector<Variant>{2, "7"}));
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {"12abc"}), 13);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {Variant::Null()}), 94);
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {3e10}), 6);
  const Variant self(std::static_pointer_cast<Dispatch>(object));
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {self}), 13);
  // Object parameters take objects only.
  EXPECT_EQ(object->Invoke("Attach", {self}), self);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {5}), 424);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {Variant::Null()}), 424);
  object->received.clear();  // it held the object itself
}

TEST_F(DispatchTest, OmittedOptionalArgumentsTakeTheirDefaultOrTheTypesOwn) {
  object->Invoke("Describe", {4, Variant::Missing()});
  EXPECT_EQ(object->received, (std::vector<Variant>{4, "none"}));
  object->Invoke("Options", {});
  const std::vector<Variant> expected = {false, std::int16_t{0}, Variant::Missing(), Variant(), 0.0,
                                         0,     std::string()};
  EXPECT_EQ(object->received, expected);
}

TEST_F(DispatchTest, ByReferenceArgumentsAreHandedBack) {
  std::vector<Variant> args = {"a", "5", "kept"};
  EXPECT_EQ(object->Invoke("Bump", args), Variant());  // no result
  // The Long parameter hands back what the member made of the converted "5".
  EXPECT_EQ(args, (std::vector<Variant>{"was a", 6, "kept"}));

  std::vector<Variant> shorter = {"b"};
  object->Invoke(3, shorter);
  EXPECT_EQ(shorter, (std::vector<Variant>{"was b", 1}));
}

// Arguments already of their parameters' types reach the member as they are,
// with the same checks as any other; the caller's stay as they were.
TEST_F(DispatchTest, ArgumentsOfTheirTypesAreCheckedAndLeftAsTheyWere) {
  std::vector<Variant> args = {5, "x"};
  EXPECT_EQ(object->Invoke("Describe", args), Variant(5));
  EXPECT_EQ(object->received, args);
  EXPECT_EQ(args, (std::vector<Variant>{5, "x"}));
  EXPECT_RUNTIME_ERROR(object->Invoke("Describe", {5, "Bob\xFF"}), 5);
  EXPECT_RUNTIME_ERROR(object->Invoke("Attach", {Variant()}), 424);
  // A Missing VARIANT is an omitted argument, which takes its default.
  object->Invoke("Fallback", {1, Variant::Missing()});
  EXPECT_EQ(object->received, (std::vector<Variant>{1, "dflt"}));
}

// Texts reach a member as UTF-8 only; object parameters take objects only.
TEST(CoerceArgumentTest, TextsMustBeUtf8AndObjectsPresent) {
  EXPECT_EQ(CoerceArgument("存 😀", ParamType::String), Variant("存 😀"));
  EXPECT_RUNTIME_ERROR(CoerceArgument("Bob\xFF", ParamType::String), 5);
  EXPECT_RUNTIME_ERROR(CoerceArgument(Variant(), ParamType::Connection), 424);
  EXPECT_RUNTIME_ERROR(CoerceArgument(Variant(), ParamType::Vector), 424);
}

}  // namespace
}  // namespace orvo
