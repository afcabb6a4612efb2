#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

const Bytes kSet{'s', 'e', 't'};

class SavePageSettingsTest : public testing::StoreTest {
 protected:
  std::string Settings(const std::string& table, std::int16_t user) {
    return Row(table, "FName,FPrintSet,FData",
               "FBillId=0 and FBillType=28 and FPreparerId=" + std::to_string(user));
  }
};

TEST_P(SavePageSettingsTest, NewRowTakesTheManagersOptionTextButNotHisSettings) {
  SeedSettingsRow(28, kManager, Bytes{'m'}, "copies=2");
  clsPrintSetupUpdate update;
  update.SavePageAndPrintSet(Dsn(), 28, kSet);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select  * From T_PrintExport Where FBillId=0 And FBillType=28 And "
                          "FPreparerId=7",
                          "Select  FData From T_PrintExport Where FBillId=0 And FBillType=28 And "
                          "FPreparerId=16394",
                          "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,"
                          "FPrintSet,FData)  Values(?,?,?,?,?,?,?)"));
  EXPECT_EQ(Params(2),
            "Long:0, Long:28, Long:7, Date, String:存放页面设置信息, Byte():set, "
            "String:copies=2");
  EXPECT_EQ(Settings("T_PrintExport", kUser), "存放页面设置信息|set|copies=2");
  // The host decides what becomes of the work: the method never votes Complete.
  EXPECT_THAT(Votes(), ElementsAre("Open"));
}

TEST_P(SavePageSettingsTest, ExistingRowsGetOnlyTheNewSettings) {
  SeedSettingsRow(28, kUser, Bytes{'o'}, "mine");
  SeedSettingsRow(29, kUser, Bytes{'o'}, "other type");
  clsPrintSetupUpdate update;
  update.SavePageAndPrintSet(Dsn(), 28, kSet);
  EXPECT_EQ(Observer().Texts()[1],
            "Update T_PrintExport Set FPrintSet=? Where  FbillId=0 And FBillType=? And "
            "FPreparerId=?");
  EXPECT_EQ(Params(1), "Byte():set, Long:28, Long:7");
  EXPECT_EQ(Settings("T_PrintExport", kUser), "存放页面设置信息|set|mine");
  EXPECT_EQ(Count("T_PrintExport", "FPrintSet=x'6f'"), 1);
  // Without a manager's row, a new row's option text is empty.
  SignIn(kManager, "Manager");
  update.SavePageAndPrintSet(Dsn(), 28, kSet);
  EXPECT_EQ(Settings("T_PrintExport", kManager), "存放页面设置信息|set|");
}

TEST_P(SavePageSettingsTest, ManagersNullOptionTextFailsAndNothingIsInserted) {
  SeedSettingsRow(28, kManager, Bytes{'m'});
  Exec("update T_PrintExport set FData=NULL");
  clsPrintSetupUpdate update;
  EXPECT_EQ(ErrorOf([&] { update.SavePageAndPrintSet(Dsn(), 28, kSet); }).number(), 94);
  EXPECT_EQ(Count("T_PrintExport"), 1);
  EXPECT_EQ(Votes().back(), "Abort");
}

TEST_P(SavePageSettingsTest, PartitionedClassSeedsFindsAndUpdatesInItsPartitionOnly) {
  SeedSettingsRow(28, kManager, Bytes{'m'}, "one", 1);
  SeedSettingsRow(28, kManager, Bytes{'m'}, "two", 2);
  clsPrintSetupUpdateLM update;
  update.SavePageAndPrintSet(Dsn(), 28, kSet, 2);
  update.SavePageAndPrintSet(Dsn(), 28, Bytes{'x'}, 2);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select  * From T_PrintExportLM Where FBillId=0 And FBillType=28 AND "
                          "FDataFrom = 2 And FPreparerId=7",
                          "Select  FData From T_PrintExportLM Where FBillId=0 And FBillType=28 "
                          "AND FDataFrom = 2 And FPreparerId=16394",
                          "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,"
                          "FPrintSet,FData,FDataFrom)  Values(?,?,?,?,?,?,?,?)",
                          "Select  * From T_PrintExportLM Where FBillId=0 And FBillType=28 AND "
                          "FDataFrom = 2 And FPreparerId=7",
                          "Update T_PrintExportLM Set FPrintSet=? Where  FbillId=0 And "
                          "FBillType=? And FPreparerId=? AND FDataFrom=?"));
  EXPECT_EQ(Params(2),
            "Long:0, Long:28, Long:7, Date, String:存放页面设置信息, Byte():set, "
            "String:two, Long:2");
  EXPECT_EQ(Params(4), "Byte():x, Long:28, Long:7, Long:2");
  EXPECT_EQ(Row("T_PrintExportLM", "FPrintSet,FData", "FPreparerId=7"), "x|two");
}

TEST_P(SavePageSettingsTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  SeedSettingsRow(28, kManager, Bytes{'m'}, "copies=2");
  clsPrintSetupUpdate update;
  EXPECT_EQ(FailEachStatement([&] { update.SavePageAndPrintSet(Dsn(), 28, kSet); }), 3);
}

ORVO_INSTANTIATE_STORE_SUITE(SavePageSettingsTest);

}  // namespace
}  // namespace orvo
