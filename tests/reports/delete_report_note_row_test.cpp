#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

class DeleteReportNoteRowTest : public testing::WriteTest {
 protected:
  std::int32_t SeedTemplate(const std::string& creator) {
    return InsertRow("T_RptExcelPrintExportNote",
                     {{"FName", "Sales"}, {"FCreatorName", creator}, {"FNewRptId", 40}});
  }
  void SeedAssignment(std::int32_t noteId, std::int16_t user) {
    InsertRow("T_RptExcelPrintExport",
              {{"FRptId", 40}, {"FNoteId", noteId}, {"FPreparerId", user}, {"FTypeSub", "A"}});
  }
};

TEST_P(DeleteReportNoteRowTest, BothClassesDeleteTheUsersTemplateAndRows) {
  const std::int32_t mine = SeedTemplate("Alice");
  const std::int32_t bobs = SeedTemplate("Bob");
  for (std::int32_t id : {mine, bobs}) {
    SeedAssignment(id, kUser);
    SeedAssignment(id, kManager);
  }
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update.DeleteRptNoteRow(Dsn(), 40, mine));
  const std::string note =
      "Delete From T_RptExcelPrintExportNote Where FCreatorName='Alice' and "
      "FNewRptId=40 And FId=";
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(note + std::to_string(mine),
                          "Delete From T_RptExcelPrintExport Where FPreparerID=7 and FRptId=40 "
                          "And FNoteId=" +
                              std::to_string(mine)));
  // Another user's template stays; the user's rows that name it go.
  clsPrintSetupUpdateRpt report;
  EXPECT_TRUE(report.DeleteRptNoteRow(Dsn(), 40, bobs));
  EXPECT_EQ(Observer().Texts()[2], note + std::to_string(bobs));
  EXPECT_EQ(Count("T_RptExcelPrintExportNote"), 1);
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=7"), 0);
  EXPECT_EQ(Count("T_RptExcelPrintExport", "FPreparerId=16394"), 2);
}

TEST_P(DeleteReportNoteRowTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  const std::int32_t id = SeedTemplate("Alice");
  SeedAssignment(id, kUser);
  clsPrintSetupUpdateRpt report;
  EXPECT_EQ(FailEachStatement([&] { report.DeleteRptNoteRow(Dsn(), 40, id); }), 2);
}

ORVO_INSTANTIATE_STORE_SUITE(DeleteReportNoteRowTest);

}  // namespace
}  // namespace orvo
