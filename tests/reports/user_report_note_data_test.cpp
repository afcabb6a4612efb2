#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

std::shared_ptr<Dictionary> Modi(const std::string& option, const std::string& key,
                                 const std::string& sel, const std::string& type) {
  auto entry = std::make_shared<Dictionary>();
  entry->SetValue("FKey", key);
  entry->SetValue("FName", "Sales");
  entry->SetValue("FSel", sel);
  entry->SetValue("FType", type);
  auto data = std::make_shared<Vector>();
  data->Add(entry);
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", option);
  modi->SetObject("Data", data);
  return modi;
}

class UserReportNoteDataTest : public testing::WriteTest {
 protected:
  // Name, selection, sub-type and data of the user's row for a template id.
  std::string UserRow(std::int32_t noteId) {
    return Row("T_RptExcelPrintExport", "FName,FSel,FTypeSub,FData",
               "FRptId=40 and FPreparerId=7 and FNoteId=" + std::to_string(noteId));
  }
};

TEST_P(UserReportNoteDataTest, StandardClassCreatesThenUpdatesTheRows) {
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update.UpdateUserRptNoteData(Dsn(), 40, Modi("o", "40|5", "1", "A")).IsEmpty());
  update.UpdateUserRptNoteData(Dsn(), 40, Modi("p", "40|5", "0", "B"));
  const std::string today = Date::Now().ShortText();
  const std::string settings =
      "T_RptExcelPrintExport where FRptId=40 and FNoteId=0 and FPreParerID=7";
  const std::string row5 = "T_RptExcelPrintExport  where FRptId=40 and FNoteId=5 and FPreParerID=7";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select * from " + settings,
                  "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
                  "FPreParerID,FData) values (40,0,'" +
                      today + "','存放页面设置信息',0,7,'o')",
                  "select * from " + row5,
                  "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
                  "FPreParerID,FData,FTypeSub)values(40,5,'" +
                      today + "','Sales',1,7,'','A')",
                  "select * from " + settings,
                  "Update T_RptExcelPrintExport set Fdata='p' where FRptId=40 and FNoteId=0 "
                  "and FPreParerID=7",
                  "select * from " + row5,
                  "Update T_RptExcelPrintExport set FTypeSub='B', FSel=0 where FRptId=40 and "
                  "FNoteId=5and FPreParerID=7"));
  EXPECT_EQ(UserRow(0), "存放页面设置信息|0|NULL|p");
  EXPECT_EQ(UserRow(5), "Sales|0|B|");
}

TEST_P(UserReportNoteDataTest, ReportClassGivesANewSettingsRowAnEmptySubType) {
  clsPrintSetupUpdateRpt report;
  // A key without "|" chooses the settings row just made.
  report.UpdateUserRptNoteData(Dsn(), 40, Modi("o", "40", "1", "C"));
  EXPECT_EQ(Observer().Texts()[1],
            "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData,"
            "FTypeSub) values (40,0,'" +
                Date::Now().ShortText() + "','存放页面设置信息',0,7,'o','')");
  EXPECT_EQ(
      Observer().Texts()[3],
      "Update T_RptExcelPrintExport set FTypeSub='C', FSel=1 where FRptId=40 and FNoteId=0and "
      "FPreParerID=7");
  EXPECT_EQ(UserRow(0), "存放页面设置信息|1|C|o");
}

TEST_P(UserReportNoteDataTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  clsPrintSetupUpdateRpt report;
  EXPECT_EQ(FailEachStatement(
                [&] { report.UpdateUserRptNoteData(Dsn(), 40, Modi("o", "40|5", "1", "A")); }),
            4);
}

ORVO_INSTANTIATE_STORE_SUITE(UserReportNoteDataTest);

}  // namespace
}  // namespace orvo
