#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/write_test.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

class DeleteNoteRowTest : public testing::WriteTest {
 protected:
  void SeedAssignment(const std::string& table, std::int32_t billId, std::int16_t user,
                      const Variant& dataFrom = Variant()) {
    std::vector<std::pair<std::string, Variant>> columns{
        {"FBillType", 28}, {"FBillId", billId}, {"FPreparerId", user}};
    if (!dataFrom.IsEmpty()) columns.emplace_back("FDataFrom", dataFrom);
    InsertRow(table, columns);
  }
};

TEST_P(DeleteNoteRowTest, UsersTemplateGoesWithTheUsersRowsOnlyAnotherUsersStays) {
  const std::int32_t id = SeedTemplate("T_PrintExportNote", "Alice", "Invoice", 28);
  SeedAssignment("T_PrintExport", id, kUser);
  SeedAssignment("T_PrintExport", id, kManager);
  SeedAssignment("T_PrintExport", 0, kUser);
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update.DeleteNoteRow(Dsn(), 28, id));
  const std::string fid = std::to_string(id);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Delete From T_PrintExportNote Where FCreatorName='Alice' and "
                          "FNewBillType=28 And FId=" +
                              fid,
                          "Delete From T_PrintExport Where FPreparerID=7 and FBillType=28 And "
                          "FBillId=" +
                              fid));
  EXPECT_EQ(Count("T_PrintExportNote"), 0);
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=16394"), 1);
  EXPECT_EQ(Count("T_PrintExport", "FBillId=0"), 1);
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Session", "Complete"));
  // Another user's template stays, but the user's rows to it go.
  const std::int32_t bobs = SeedTemplate("T_PrintExportNote", "Bob", "Invoice", 28);
  SeedAssignment("T_PrintExport", bobs, kUser);
  EXPECT_TRUE(update.DeleteNoteRow(Dsn(), 28, bobs));
  EXPECT_EQ(Count("T_PrintExportNote"), 1);
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 1);
  // Template id 0 names the settings row.
  EXPECT_TRUE(update.DeleteNoteRow(Dsn(), 28, 0));
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 0);
}

TEST_P(DeleteNoteRowTest, PartitionedClassDeletesInItsPartitionOnly) {
  SignIn(kUser, "O'Brien");
  const std::int32_t id = SeedTemplate("T_PrintExportNoteLM", "O'Brien", "Invoice", 28, 1);
  SeedAssignment("T_PrintExportLM", id, kUser, 1);
  SeedAssignment("T_PrintExportLM", id, kUser, 2);
  clsPrintSetupUpdateLM update;
  EXPECT_TRUE(update.DeleteNoteRow(Dsn(), 28, id, 2));
  EXPECT_TRUE(update.DeleteNoteRow(Dsn(), 28, id, 1));
  const std::string fid = std::to_string(id);
  EXPECT_EQ(Observer().Texts()[2],
            "Delete From T_PrintExportNoteLM Where FCreatorName='O''Brien' "
            "and FNewBillType=28 AND FDataFrom = 1 And FId=" +
                fid);
  EXPECT_EQ(Observer().Texts()[3],
            "Delete From T_PrintExportLM Where FPreparerID=7 and "
            "FBillType=28 AND FDataFrom = 1 And FBillId=" +
                fid);
  EXPECT_EQ(Count("T_PrintExportNoteLM"), 0);
  EXPECT_EQ(Count("T_PrintExportLM"), 0);
}

TEST_P(DeleteNoteRowTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  const std::int32_t id = SeedTemplate("T_PrintExportNote", "Alice", "Invoice", 28);
  SeedAssignment("T_PrintExport", id, kUser);
  clsPrintSetupUpdate update;
  EXPECT_EQ(FailEachStatement([&] { update.DeleteNoteRow(Dsn(), 28, id); }), 2);
}

ORVO_INSTANTIATE_STORE_SUITE(DeleteNoteRowTest);

}  // namespace
}  // namespace orvo
