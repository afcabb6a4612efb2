#include "ado/command.hpp"

#include <cfenv>

#include <gtest/gtest.h>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

Variant Bound(DataTypeEnum type, Variant value, std::int32_t size = 0) {
  return Parameter("", type, adParamInput, size, std::move(value)).Bind(1).value;
}

std::int32_t BindError(DataTypeEnum type, Variant value, std::int32_t size = 0) {
  return ErrorOf([&] { Bound(type, value, size); }).number();
}

TEST(ParameterTest, ValuesConvertToTheirParameterTypeAndEmptyOrNullBindAsNull) {
  for (DataTypeEnum type : {adSmallInt, adInteger, adUnsignedInt, adDouble, adDate, adBoolean,
                            adVarChar, adLongVarChar, adLongVarBinary, adVariant}) {
    EXPECT_TRUE(Bound(type, Variant()).IsNull()) << type;
    EXPECT_TRUE(Bound(type, Variant::Null()).IsNull()) << type;
  }
  // Each type takes its own conversion; the conversions' rules are tested with them.
  EXPECT_EQ(Bound(adInteger, 2.5), Variant(2));
  EXPECT_EQ(Bound(adUnsignedInt, 4294967295.0), Variant(4294967295.0));
  EXPECT_EQ(Bound(adDate, 45000), Variant(Date{45000}));
  EXPECT_EQ(Bound(adLongVarBinary, "ab"), Variant(Bytes{'a', 'b'}));
  EXPECT_EQ(Bound(adVariant, 2.5), Variant(2.5));
  EXPECT_EQ(BindError(adSmallInt, 40000), kOverflow);
  EXPECT_EQ(BindError(adUnsignedInt, -1), kOverflow);
  EXPECT_EQ(BindError(adUnsignedInt, 4294967296.0), kOverflow);
  EXPECT_EQ(BindError(adLongVarBinary, 5), kTypeMismatch);
}

TEST(ParameterTest, UnsignedValuesRoundAsTheConversionsDoWhateverTheRoundingModeOfTheHost) {
  // A host application may change the floating-point rounding mode; the
  // value bound must still be the one CLng would give.
  const int mode = std::fegetround();
  std::fesetround(FE_UPWARD);
  const double rounded[] = {
      Bound(adUnsignedInt, 2.2).AsDouble(), Bound(adUnsignedInt, 2.5).AsDouble(),
      Bound(adUnsignedInt, 3.5).AsDouble(), Bound(adUnsignedInt, "0.4").AsDouble()};
  std::fesetround(mode);
  EXPECT_EQ(rounded[0], 2.0);
  EXPECT_EQ(rounded[1], 2.0);
  EXPECT_EQ(rounded[2], 4.0);
  EXPECT_EQ(rounded[3], 0.0);
}

TEST(ParameterTest, TextsCountCharactersAndBytesCountBytesAgainstTheSize) {
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "存";
  EXPECT_EQ(Bound(adVarChar, thirty, 30), Variant(thirty));
  EXPECT_EQ(ErrorOf([&] {
              Parameter("", adVarChar, adParamInput, 30, thirty + "x").Bind(3);
            }).description(),
            "Parameter 3 holds 31 characters, more than its size of 30");
  // A byte that begins no character counts as one, so a malformed text is
  // measured as long as it is.
  EXPECT_EQ(BindError(adVarChar, std::string(3, '\x80'), 2), kErrValueDoesNotFit);
  EXPECT_EQ(Bound(adLongVarBinary, Bytes{1, 2}, 2), Variant(Bytes{1, 2}));
  const AutomationError e = ErrorOf([] {
    Parameter("", adLongVarBinary, adParamInput, 2, Bytes{1, 2, 3}).Bind(4);
  });
  EXPECT_EQ(e.number(), kErrValueDoesNotFit);
  EXPECT_EQ(e.source(), "ADODB.Parameter");
  EXPECT_EQ(e.description(), "Parameter 4 holds 3 bytes, more than its size of 2");
}

class CommandTest : public testing::StoreTest,
                    public ::testing::WithParamInterface<orvo::testing::Backend> {
 protected:
  const orvo::testing::Backend& StoreBackend() const override { return GetParam(); }
};

TEST_P(CommandTest, ValuesAssignedByPositionReachTheStatement) {
  auto cmd = NewCommand(
      "Update T_PrintExport Set FPrintSet=? Where  FbillId=0 And FBillType=? And FPreparerId=?");
  cn_->Execute("insert into T_PrintExport (FBillId,FBillType,FPreparerId) values (0,28,7)");
  auto& p = cmd->GetParameters();
  p.Append(cmd->CreateParameter("", adLongVarBinary, adParamInput, 2147483647));
  auto type = cmd->CreateParameter("", adInteger, adParamInput, 0);
  p.Append(type);
  p.Append(cmd->CreateParameter("", adInteger, adParamInput, 0));
  p(0).Value = Bytes{5, 6};
  type->Value = 28;  // the command and the creator share the parameter
  p(2).Value = "7";
  cmd->Execute();
  EXPECT_EQ(Scalar("select FPrintSet from T_PrintExport"), Variant(Bytes{5, 6}));
  EXPECT_EQ(ErrorOf([&] { p(3); }).number(), kErrItemNotFound);

  cmd->ActiveConnection = nullptr;
  EXPECT_EQ(ErrorOf([&] { cmd->Execute(); }).number(), HResult(0x800A0E7Du));
}

INSTANTIATE_TEST_SUITE_P(Backends, CommandTest, ::testing::ValuesIn(orvo::testing::Backends()),
                         [](const auto& instance) { return instance.param.name; });

}  // namespace
}  // namespace orvo::ado
