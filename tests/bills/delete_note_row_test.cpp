// DeleteNoteRow and DeleteRptNoteRow: a template of the calling user deleted
// in each family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/families.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

// The statements that delete O'Brien's (user 7's) template 1.
struct Delete {
  const testing::Family* family;
  const char* templateDelete;
  const char* rowsDelete;
};

const char* const kReportTemplateDelete =
    "Delete From T_RptExcelPrintExportNote Where FCreatorName='O''Brien' and FNewRptId=28 And "
    "FId=1";
const char* const kReportRowsDelete =
    "Delete From T_RptExcelPrintExport Where FPreparerID=7 and FRptId=28 And FNoteId=1";

const Delete kDeletes[] = {
    {&testing::kBills,
     "Delete From T_PrintExportNote Where FCreatorName='O''Brien' and FNewBillType=28 And FId=1",
     "Delete From T_PrintExport Where FPreparerID=7 and FBillType=28 And FBillId=1"},
    {&testing::kPartitioned,
     "Delete From T_PrintExportNoteLM Where FCreatorName='O''Brien' and FNewBillType=28 AND "
     "FDataFrom = 1 And FId=1",
     "Delete From T_PrintExportLM Where FPreparerID=7 and FBillType=28 AND FDataFrom = 1 And "
     "FBillId=1"},
    {&testing::kReports, kReportTemplateDelete, kReportRowsDelete},
    {&testing::kReportClass, kReportTemplateDelete, kReportRowsDelete},
};

using DeleteNoteRowTest = testing::FamilyTest<Delete>;

TEST_P(DeleteNoteRowTest, UsersTemplateGoesWithTheUsersRowsOnlyAnotherUsersStays) {
  SignIn(kUser, "O'Brien");
  const std::int32_t mine =
      SeedTemplate(T(), 28, "Invoice", Bytes{1}, {{"FCreatorName", "O'Brien"}});
  SeedAssignment(T(), 28, mine, kUser, "Invoice", 1);
  SeedAssignment(T(), 28, mine, kManager, "Invoice", 1);
  SeedAssignment(T(), 28, 0, kUser, "存放页面设置信息", 0);
  EXPECT_TRUE(F().family->Remove(Dsn(), mine));
  EXPECT_THAT(Observer().Texts(), ElementsAre(F().templateDelete, F().rowsDelete));
  EXPECT_THAT(Votes(), ElementsAre("Open", "Complete"));
  EXPECT_EQ(Count(T().notes), 0);
  EXPECT_EQ(Count(T().rows, "FPreparerId=16394"), 1);
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 1);
  // Another user's template stays, but the user's rows to it go.
  const std::int32_t managers = SeedTemplate(T(), 28, "Invoice", Bytes{2});
  SeedAssignment(T(), 28, managers, kUser, "Invoice", 1);
  EXPECT_TRUE(F().family->Remove(Dsn(), managers));
  EXPECT_EQ(Count(T().notes), 1);
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 1);
  // Template id 0 names the settings row.
  EXPECT_TRUE(F().family->Remove(Dsn(), 0));
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 0);
}

ORVO_INSTANTIATE_FAMILY_SUITE(DeleteNoteRowTest, kDeletes);

}  // namespace
}  // namespace orvo
