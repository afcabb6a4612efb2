#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

const Bytes kNew{'n', 'e', 'w'};
const Bytes kOld{'o', 'l', 'd'};

class UpdateNoteRowTest : public testing::StoreTest {
 protected:
  // Templates that now carry the new body, by the user as their modifier.
  std::int32_t Replaced(const std::string& table) {
    return Count(
        table,
        "FData=x'6e6577' and FModifierName='Alice' and FModifyDate<>'2020-01-02 03:04:05' and "
        "FCreateDate='2020-01-02 03:04:05'");
  }
};

TEST_P(UpdateNoteRowTest, WithoutNameEveryTemplateOfTheTypeIsReplacedAndNoneIsLeftAlone) {
  SeedTemplate(testing::kBillTables, 28, "Invoice", kOld);
  SeedTemplate(testing::kBillTables, 28, "Other", kOld);
  SeedTemplate(testing::kBillTables, 29, "Invoice", kOld);
  clsPrintSetupUpdate update;
  EXPECT_TRUE(update.UpdateNoteRow(Dsn(), 30, kNew).IsEmpty());
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select top 1 FId From T_PrintExportNote Where FNewBillType=30"));
  EXPECT_EQ(Votes().back(), "Complete");
  EXPECT_EQ(Replaced("T_PrintExportNote"), 0);
  update.UpdateNoteRow(Dsn(), 28, kNew);
  EXPECT_EQ(Observer().Texts()[2],
            "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where "
            "FNewBillType=? ");
  EXPECT_EQ(Params(2), "String:Alice, Date, Byte():new, String:28");
  EXPECT_EQ(Replaced("T_PrintExportNote"), 2);
}

TEST_P(UpdateNoteRowTest, WithNameOnlyThatNameIsReplaced) {
  SeedTemplate(testing::kBillTables, 28, "Invoice", kOld);
  SeedTemplate(testing::kBillTables, 28, "Other", kOld);
  clsPrintSetupUpdate update;
  update.UpdateNoteRow(Dsn(), 28, kNew, "Invoice");
  EXPECT_EQ(Observer().Texts()[1],
            "Update T_PrintExportNote Set FModifierName=?,FModifyDate=? ,FData=? Where "
            "FNewBillType=?  AND FName = ? ");
  EXPECT_EQ(Params(1), "String:Alice, Date, Byte():new, String:28, String:Invoice");
  EXPECT_EQ(Replaced("T_PrintExportNote"), 1);
}

TEST_P(UpdateNoteRowTest, PartitionedClassReplacesOnlyInItsPartition) {
  SeedTemplate(testing::kBillTablesLM.InPartition(1), 28, "Invoice", kOld);
  SeedTemplate(testing::kBillTablesLM.InPartition(2), 28, "Invoice", kOld);
  clsPrintSetupUpdateLM update;
  update.UpdateNoteRow(Dsn(), 28, kNew, 1, "Invoice");
  update.UpdateNoteRow(Dsn(), 28, kNew, 3);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select top 1 FId From T_PrintExportNoteLM Where FNewBillType=28 AND "
                          "FDataFrom = 1 ",
                          "Update T_PrintExportNoteLM Set FModifierName=?,FModifyDate=? ,FData=? "
                          "Where FNewBillType=?  AND FName = ? AND FDataFrom =? ",
                          "Select top 1 FId From T_PrintExportNoteLM Where FNewBillType=28 AND "
                          "FDataFrom = 3 "));
  EXPECT_EQ(Params(1), "String:Alice, Date, Byte():new, String:28, String:Invoice, Long:1");
  EXPECT_EQ(Replaced("T_PrintExportNoteLM"), 1);
  // Its modifier names are kept in 20 characters.
  SignIn(kUser, std::string(21, 'n'));
  EXPECT_EQ(ErrorOf([&] { update.UpdateNoteRow(Dsn(), 28, kNew, 2); }).number(),
            HResult(0x80040E57u));
  EXPECT_EQ(Replaced("T_PrintExportNoteLM"), 1);
}

TEST_P(UpdateNoteRowTest, FailureAtAnyStatementLeavesTheStoreAsItWas) {
  SeedTemplate(testing::kBillTables, 28, "Invoice", kOld);
  clsPrintSetupUpdate update;
  EXPECT_EQ(FailEachStatement([&] { update.UpdateNoteRow(Dsn(), 28, kNew, "Invoice"); }), 2);
}

ORVO_INSTANTIATE_STORE_SUITE(UpdateNoteRowTest);

}  // namespace
}  // namespace orvo
