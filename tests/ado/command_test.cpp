#include "orvo/ado/command.hpp"

#include <gtest/gtest.h>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

class CommandTest : public testing::StoreTest {};

TEST_F(CommandTest, ValuesAssignedByPositionReachTheStatement) {
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
}

TEST_F(CommandTest, ATooLongTextIsRefusedAndNothingIsWritten) {
  auto observer = std::make_shared<testing::RecordingObserver>();
  cn_->SetObserver(observer);
  auto cmd =
      NewCommand("Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName) Values(?,?,?)");
  auto& p = cmd->GetParameters();
  p.Append(cmd->CreateParameter("", adVarChar, adParamInput, 255, "name"));
  p.Append(cmd->CreateParameter("", adVarChar, adParamInput, 20, "28"));
  p.Append(cmd->CreateParameter("", adVarChar, adParamInput, 30, std::string(31, 'x')));
  const AutomationError e = ErrorOf([&] { cmd->Execute(); });
  EXPECT_EQ(e.number(), kErrValueTooLong);
  EXPECT_EQ(e.source(), "ADODB.Parameter");
  EXPECT_EQ(e.description(), "Parameter 3 holds 31 characters, more than its size of 30");
  EXPECT_TRUE(observer->seen.empty());
  EXPECT_EQ(Scalar("select count(1) from T_PrintExportNote"), Variant(0));
}

TEST_F(CommandTest, ACommandNeedsAConnection) {
  Command cmd;
  cmd.CommandText = "select 1";
  EXPECT_EQ(ErrorOf([&] { cmd.Execute(); }).number(), HResult(0x800A0E7Du));
  EXPECT_EQ(cmd.TypeInfo().progId, "ADODB.Command");
}

}  // namespace
}  // namespace orvo::ado
