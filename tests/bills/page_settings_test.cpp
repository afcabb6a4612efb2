// GetPageAndPrintSet of the bill families.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "host/journal.hpp"
#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;

// The statements that read the settings of user 7, then of the manager.
struct PageSettings {
  const testing::Family* family;
  const char* user;
  const char* manager;
};

const PageSettings kPageSettings[] = {
    {&testing::kBills,
     "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28 And FPreparerId=7",
     "Select FPrintSet From T_PrintExport Where FBillId=0 And FBillType=28 And FPreparerId=16394"},
    {&testing::kPartitioned,
     "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = 1 And FBillType=28 "
     "And FPreparerId=7",
     "Select FPrintSet From T_PrintExportLM Where FBillId=0 AND FDataFrom = 1 And FBillType=28 "
     "And FPreparerId=16394"},
};

class PageSettingsTest : public testing::FamilyTest<PageSettings> {
 protected:
  std::shared_ptr<Dictionary> Read() {
    return F()
        .family->Call(F().family->query, "GetPageAndPrintSet", {Dsn(), 28})
        .ObjectAs<Dictionary>();
  }
};

TEST_P(PageSettingsTest, UsersOwnRowWinsOverTheManagersWhichIsServedBeforeNothing) {
  SeedSettingsRow(Elsewhere(), 28, kUser, Bytes{1});
  EXPECT_EQ(Read()->Count(), 0);
  SeedSettingsRow(T(), 28, kManager, Bytes{9, 9});
  EXPECT_EQ(Read()->Value("Set"), Variant(Bytes{9, 9}));
  EXPECT_THAT(Observer().Texts(), ElementsAre(F().user, F().manager, F().user, F().manager));

  Hub().ClearJournal();
  SeedSettingsRow(T(), 28, kUser, Variant::Null());
  std::size_t statements = Observer().Statements().size();
  const auto result = Read();  // a Null still yields the key
  ASSERT_EQ(result->Count(), 1);
  EXPECT_TRUE(result->Value("Set").IsNull());
  EXPECT_EQ(Observer().Statements().size(), statements + 1);
  // Votes Complete before opening and never after.
  EXPECT_THAT(Votes(), ElementsAre("Complete", "Open"));

  // The manager reads his own row once.
  SignIn(kManager, "Manager");
  statements = Observer().Statements().size();
  EXPECT_EQ(Read()->Value("Set"), Variant(Bytes{9, 9}));
  EXPECT_EQ(Observer().Statements().size(), statements + 1);
}

TEST_P(PageSettingsTest, FailureAtEitherStatementOrWithoutSignInAbortsOnce) {
  for (int failing = 1; failing <= 2; ++failing) {
    Hub().ClearJournal();
    Observer().FailAt(failing, AutomationError(HResult(0x80004005u), "SQLite", "database is locked",
                                               "sqlite.hlp", 5));
    const AutomationError error = ErrorOf([&] { Read(); });
    EXPECT_EQ(error.number(), HResult(0x80004005u));
    EXPECT_EQ(error.source(), "SQLite");
    EXPECT_EQ(error.description(), "database is locked");
    EXPECT_EQ(error.helpFile(), "");  // the unchanged convention sets no help
    EXPECT_EQ(error.helpContext(), 0);
    EXPECT_THAT(Votes(), ElementsAre("Complete", "Open", "Abort"));
  }
  // A user who is not signed in fails through the handler too.
  Hub().SignOut();
  EXPECT_THROW(Read(), AutomationError);
  EXPECT_EQ(Votes().back(), "Abort");
}

ORVO_INSTANTIATE_FAMILY_SUITE(PageSettingsTest, kPageSettings);

}  // namespace
}  // namespace orvo
