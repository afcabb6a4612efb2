#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using ::testing::Key;
using testing::kReportTables;
using ::testing::Pair;

using ReportNoteInfoTest = testing::TemplateTest;

TEST_P(ReportNoteInfoTest, StandardClassCopiesOnFirstUseAndListsTheCopies) {
  SeedManagersTemplate(kReportTables, 1007, "Sales", Bytes{1}, 1);
  SeedAssignment(kReportTables, 1007, 0, kManager, "存放页面设置信息", 0, Variant::Null(),
                 {{"FData", "managers option"}});
  clsPrintSetupQuery query;
  auto first = query.GetRptNoteInfo(Dsn(), 1007);
  auto row = first->Value("Data").ObjectAs<Vector>()->Item(1).ObjectAs<Dictionary>();
  EXPECT_THAT(row->Entries(),
              ElementsAre(Key("FRptId"), Key("fname"), Key("FNoteId"), Key("fsel")));
  EXPECT_EQ(row->Value("FNoteId"), Variant(2));  // the copy, not the manager's template 1
  EXPECT_EQ(first->Value("Option"), Variant("managers option"));
  const auto texts = Observer().Texts();
  ASSERT_EQ(texts.size(), 11u);
  EXPECT_EQ(texts[0],
            "select FRptId,fname,FNoteId,fsel from T_RptExcelPrintExport where FRptId= 1007 and "
            "FNoteId>0 and FPreparerId=7");
  EXPECT_EQ(texts[9], texts[0]);
  EXPECT_EQ(texts[10],
            "select fdata from T_RptExcelPrintExport where FRptId=1007 and FNoteId=0 "
            "and FPreparerId=7");
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Session", "Session",
                          "Session", "Session", "Complete"));

  const std::string before = Snapshot();
  EXPECT_EQ(query.GetRptNoteInfo(Dsn(), 1007)->Value("Data").ObjectAs<Vector>()->Count(), 1);
  EXPECT_EQ(Snapshot(), before);
}

TEST_P(ReportNoteInfoTest, ReportClassListsTheSubTypeAndFallsBackToTheNewestOfEachName) {
  SignIn(kManager, "Manager");
  const std::int32_t older = SeedTemplate(kReportTables, 1007, "Sales", Bytes{1});
  const std::int32_t newer = SeedTemplate(kReportTables, 1007, "Sales", Bytes{2});
  SeedAssignment(kReportTables, 1007, older, 8, "Sales", 1, "a");
  SeedAssignment(kReportTables, 1007, newer, 9, "Sales", 1, "b");
  clsPrintSetupQueryRpt query;
  auto result = query.GetRptNoteInfo(Dsn(), 1007);
  auto rows = result->Value("Data").ObjectAs<Vector>();
  ASSERT_EQ(rows->Count(), 1);
  EXPECT_THAT(rows->Item(1).ObjectAs<Dictionary>()->Entries(),
              ElementsAre(Pair("FRptId", Variant(1007)), Pair("fname", Variant("Sales")),
                          Pair("FNoteId", Variant(newer)), Pair("fsel", Variant(1)),
                          Pair("FTypeSub", Variant("b"))));
  EXPECT_EQ(result->Value("Option"), Variant(""));
  const std::string columns =
      "select FRptId,fname,FNoteId,fsel,FTypeSub from T_RptExcelPrintExport";
  const std::string option =
      "select fdata from T_RptExcelPrintExport where FRptId=1007 and FNoteId=0 and "
      "FPreparerId=16394";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(columns + " where FRptId= 1007 and FNoteId>0 and FPreparerId=16394",
                  "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel,FTypeSub "
                  "from T_RptExcelPrintExport where FRptId=1007 and FPreparerId=16394",
                  columns + " where FRptId= 1007 and FNoteId>0 and FPreparerId=16394",
                  columns + " where FRptId=1007 and FNoteId>0 and FPreparerId=16394",
                  " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel,a.FTypeSub from "
                  "T_RptExcelPrintExport a inner join  (select   FRptId,fname,max(FNoteId) FNoteId "
                  "from T_RptExcelPrintExport where FRptId=1007 and FNoteId>0  group by "
                  "FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname and  "
                  "a.FNoteId=b.FNoteId ",
                  option, option));
}

TEST_P(ReportNoteInfoTest, FirstUseCopyIsAllOrNothingUnderFailures) {
  const std::int32_t sales = SeedTemplate(kReportTables, 1007, "Sales", Bytes{1});
  SeedAssignment(kReportTables, 1007, sales, kManager, "Sales", 1, "a");
  const std::int32_t costs = SeedTemplate(kReportTables, 1007, "Costs", Bytes{2});
  SeedAssignment(kReportTables, 1007, costs, kManager, "Costs", 0, "b");
  clsPrintSetupQueryRpt query;
  // The lists, the copy of two templates and the two settings reads.
  EXPECT_EQ(FailEachStatement([&] { query.GetRptNoteInfo(Dsn(), 1007); }), 15);
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7 and FTypeSub in ('a', 'b')"), 2);
}

TEST_P(ReportNoteInfoTest, ConcurrentFirstCallsMakeOneCopySet) {
  SeedManagersTemplate(kReportTables, 1007, "Sales", Bytes{1}, 1);
  SeedManagersTemplate(kReportTables, 1007, "Costs", Bytes{2}, 0);
  ListInProcessesAtOnce(4, 2, [&] { return clsPrintSetupQueryRpt().GetRptNoteInfo(Dsn(), 1007); });
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7"), 2);
  EXPECT_EQ(Count("T_RptExcelPrintExportNote"), 4);
}

ORVO_INSTANTIATE_STORE_SUITE(ReportNoteInfoTest);

}  // namespace
}  // namespace orvo
