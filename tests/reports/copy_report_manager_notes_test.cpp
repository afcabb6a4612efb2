#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "store/operator_message.hpp"
#include "support/error_of.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;
using testing::kReportTables;

// Catches the operator messages instead of sending them to the system log.
class CopyReportManagerNotesTest : public testing::TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    store::SetOperatorMessageSink([this](std::string_view text) { messages_.emplace_back(text); });
  }
  void TearDown() override {
    store::SetOperatorMessageSink(nullptr);
    TemplateTest::TearDown();
  }

  std::vector<std::string> messages_;
};

TEST_P(CopyReportManagerNotesTest, StandardClassCopiesWithoutSubTypes) {
  const std::int32_t managers = SeedTemplate(kReportTables, 1007, "Sales", Bytes{1, 2});
  SeedAssignment(kReportTables, 1007, managers, kManager, "Sales", 1, "monthly");
  clsPrintSetupQuery query;
  query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, "Alice");
  const std::int32_t copy = CLng(Scalar("select max(FId) from T_RptExcelPrintExportNote"));
  EXPECT_EQ(Count("T_RptExcelPrintExportNote",
                  "FCreatorName='Alice' and FModifierName='Alice' and FNewRptId=1007 and "
                  "FScreenId='1007' and FName='Sales' and FId=" +
                      std::to_string(copy)),
            1);
  EXPECT_EQ(Count("T_RptExcelPrintExport",
                  "FPreparerId=7 and FRptId=1007 and FSel=1 and "
                  "FTypeSub is null and FNoteId=" +
                      std::to_string(copy)),
            1);
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel from "
                  "T_RptExcelPrintExport where FRptId=1007 and FPreparerId=16394",
                  "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,"
                  "FData,FNewRptId from T_RptExcelPrintExportNote where fid=" +
                      std::to_string(managers),
                  "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,"
                  "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "select * from T_RptExcelPrintExport where FRptId=1007 and FNoteId=" +
                      std::to_string(copy) + " and FPreParerID=7",
                  "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,"
                  "FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?)"));
  EXPECT_EQ(Observer().Statements()[5].params[1], Variant(1007));
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(CopyReportManagerNotesTest, ReportClassCopiesTheSubTypeButDoesNotCheckIt) {
  SeedAssignment(kReportTables, 1007, 0, kManager, "存放页面设置信息", 0, "manager's");
  const std::int32_t managers = SeedTemplate(kReportTables, 1007, "Sales", Bytes{1});
  SeedAssignment(kReportTables, 1007, managers, kManager, "Sales", 1, "monthly");
  SeedAssignment(kReportTables, 1007, 0, kUser, "存放页面设置信息", 0, "mine");
  clsPrintSetupQueryRpt query;
  query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, "Alice");
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7 and FNoteId=0"), 1);
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7 and FNoteId<>0 and FTypeSub='monthly'"),
            1);
  const auto texts = Observer().Texts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[0],
            "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel,FTypeSub from "
            "T_RptExcelPrintExport where FRptId=1007 and FPreparerId=16394");
  EXPECT_EQ(texts[1],
            "select * from T_RptExcelPrintExport where FRptId=1007 and FNoteId=0 and "
            "FPreParerID=7");
  EXPECT_EQ(texts[6],
            "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,FSel,"
            "FPrintSet,FTypeSub)  Values(?,?,?,?,?,?,?,?,?)");
}

TEST_P(CopyReportManagerNotesTest, AMissingTemplateIsToldToTheOperatorAndTheRowStillCopied) {
  SeedAssignment(kReportTables, 1007, 999, kManager, "Lost", 1);
  clsPrintSetupQuery query;
  query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, "Alice");
  EXPECT_THAT(messages_, ElementsAre("当前单据（Lost）对应用户（Alice）的套打模板数据不存在！"));
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7 and FNoteId=999"), 1);
  query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, "Alice");
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7"), 1);
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_P(CopyReportManagerNotesTest, CreatorNamesTakeTwentyCharactersHereAndThirtyInTheReportClass) {
  SeedManagersTemplate(kReportTables, 1007, "Sales", Bytes{1}, 1);
  const std::string name(25, 'n');
  clsPrintSetupQuery query;
  EXPECT_EQ(ErrorOf([&] {
              query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, name);
            }).number(),
            HResult(0x80040E57u));
  EXPECT_EQ(Count("T_RptExcelPrintExportNote"), 1);
  clsPrintSetupQueryRpt report_query;
  report_query.CopyRptManagerNoteInfo(ObservedConnection(), 1007, kUser, name);
  EXPECT_EQ(Count("T_RptExcelPrintExportNote", "FCreatorName='" + name + "'"), 1);
}

ORVO_INSTANTIATE_STORE_SUITE(CopyReportManagerNotesTest);

}  // namespace
}  // namespace orvo
