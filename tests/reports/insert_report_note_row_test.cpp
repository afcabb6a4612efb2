#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

const Bytes kBody{'b', 'o', 'd', 'y'};

class InsertReportNoteRowTest : public testing::WriteTest {};

TEST_P(InsertReportNoteRowTest, StandardClassStoresAndAssignsWithoutSubType) {
  clsPrintSetupUpdate update;
  const auto result = update.InsertRptNoteRow(Dsn(), 40, "Sales", kBody);
  const std::int32_t id = CLng(result->Item(1));
  EXPECT_THAT(result->Items(),
              ElementsAre(Variant(id), Variant(40), Variant("Sales"), Variant(kBody)));
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select *  from T_RptExcelPrintExportNote where FCreatorName='Alice' and "
                  "FScreenId='40' and FName='Sales'",
                  "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,"
                  "FModifierName,FNewRptId,FCreateDate,FModifyDate,FData) "
                  "Values(?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,"
                  "FPreParerID,FData) values (40," +
                      std::to_string(id) + ",'" + Date::Now().ShortText() + "','Sales',0,7,'')"));
  EXPECT_EQ(
      Params(1),
      "String:Sales, String:40, String:Alice, String:Alice, String:40, Date, Date, Byte():body");
  EXPECT_EQ(Row("T_RptExcelPrintExport", "FRptId,FNoteId,FSel,FPreparerId,FData,FTypeSub", "1=1"),
            "40|" + std::to_string(id) + "|0|7||NULL");
}

TEST_P(InsertReportNoteRowTest, ReportClassGivesItsRowsAnEmptySubTypeAndReplacesBodies) {
  clsPrintSetupUpdateRpt report;
  const auto first = report.InsertRptNoteRow(Dsn(), 40, "Sales", kBody);
  const auto second = report.InsertRptNoteRow(Dsn(), 40, "Sales", Bytes{'n', 'e', 'w'});
  const std::string id = CStr(first->Item(1));
  EXPECT_EQ(second->Item(1), first->Item(1));
  EXPECT_EQ(Observer().Texts()[3],
            "insert into T_RptExcelPrintExport (FRptId,FNoteId,FDate,FName,FSel,FPreParerID,FData,"
            "FTypeSub) values (40," +
                id + ",'" + Date::Now().ShortText() + "','Sales',0,7,'','')");
  EXPECT_EQ(Observer().Texts()[5],
            "Update T_RptExcelPrintExportNote set FData = ?  Where FID=" + id);
  EXPECT_EQ(Row("T_RptExcelPrintExportNote", "FData", "1=1"), "new");
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FNoteId=" + id + " and FSel=0 and FTypeSub=''"), 2);
}

TEST_P(InsertReportNoteRowTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  clsPrintSetupUpdateRpt report;
  EXPECT_EQ(FailEachStatement([&] { report.InsertRptNoteRow(Dsn(), 40, "Sales", kBody); }), 4);
  EXPECT_EQ(FailEachStatement([&] { report.InsertRptNoteRow(Dsn(), 40, "Sales", kBody); }), 3);
}

ORVO_INSTANTIATE_STORE_SUITE(InsertReportNoteRowTest);

}  // namespace
}  // namespace orvo
