#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

class PageSettingsTest : public testing::StoreTest {};

TEST_P(PageSettingsTest, UsersOwnRowWinsOverTheManagersWhichIsServedBeforeNothing) {
  SeedSettingsRow(28, kManager, Bytes{9, 9});
  SeedSettingsRow(29, kUser, Variant::Null());
  SeedSettingsRow(30, kManager, Bytes{9, 9});
  SeedSettingsRow(30, kUser, Bytes{1, 2, 3});
  clsPrintSetupQuery query;
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 28)->Value("Set"), Variant(Bytes{9, 9}));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28 "
                          "And FPreparerId=7",
                          "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28 "
                          "And FPreparerId=16394"));
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 31)->Count(), 0);

  Hub().ClearJournal();
  std::size_t statements = Observer().Statements().size();
  auto result = query.GetPageAndPrintSet(Dsn(), 30);
  ASSERT_EQ(result->Count(), 1);
  EXPECT_EQ(result->Value("Set"), Variant(Bytes{1, 2, 3}));
  EXPECT_EQ(Observer().Statements().size(), statements + 1);
  // Votes Complete before opening and never after.
  EXPECT_THAT(Votes(), ElementsAre("Complete", "Open"));
  result = query.GetPageAndPrintSet(Dsn(), 29);  // a Null still yields the key
  ASSERT_EQ(result->Count(), 1);
  EXPECT_TRUE(result->Value("Set").IsNull());

  // The manager reads his own row once.
  SignIn(kManager, "Manager");
  statements = Observer().Statements().size();
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 28)->Value("Set"), Variant(Bytes{9, 9}));
  EXPECT_EQ(Observer().Statements().size(), statements + 1);
}

TEST_P(PageSettingsTest, PartitionedClassReadsOnlyItsPartition) {
  SeedSettingsRow(28, kUser, Bytes{1}, "", 2);
  SeedSettingsRow(28, kManager, Bytes{5}, "", 1);
  SeedSettingsRow(28, kUser, Bytes{9});  // the standard table is not read
  clsPrintSetupQueryLM query;
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 28, 1)->Value("Set"), Variant(Bytes{5}));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = 1 "
                          "And FBillType=28 And FPreparerId=7",
                          "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = 1 "
                          "And FBillType=28 And FPreparerId=16394"));
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 28, 2)->Value("Set"), Variant(Bytes{1}));
  EXPECT_EQ(query.GetPageAndPrintSet(Dsn(), 28, 3)->Count(), 0);
}

TEST_P(PageSettingsTest, FailureAtEitherStatementOrWithoutSignInAbortsOnce) {
  for (int failing = 1; failing <= 2; ++failing) {
    Hub().ClearJournal();
    Observer().FailAt(failing, AutomationError(HResult(0x80004005u), "SQLite", "database is locked",
                                               "sqlite.hlp", 5));
    clsPrintSetupQuery query;
    const AutomationError error = ErrorOf([&] { query.GetPageAndPrintSet(Dsn(), 28); });
    EXPECT_EQ(error.number(), HResult(0x80004005u));
    EXPECT_EQ(error.source(), "SQLite");
    EXPECT_EQ(error.description(), "database is locked");
    EXPECT_EQ(error.helpFile(), "");  // the unchanged convention sets no help
    EXPECT_EQ(error.helpContext(), 0);
    const auto operations = Votes();
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "Abort"), 1);
    EXPECT_EQ(operations.back(), "Abort");
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "Complete"), 1);
  }
  // A user who is not signed in fails through the handler too.
  Hub().SignOut();
  EXPECT_THROW(clsPrintSetupQuery().GetPageAndPrintSet(Dsn(), 28), AutomationError);
  EXPECT_EQ(Votes().back(), "Abort");
}

ORVO_INSTANTIATE_STORE_SUITE(PageSettingsTest);

}  // namespace
}  // namespace orvo
