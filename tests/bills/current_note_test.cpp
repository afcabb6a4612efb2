// GetCurrNote of the bill families.

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

// The statements that read user 7's rows, the global number and the set.
struct CurrentNote {
  const testing::Family* family;
  const char* rows;
  const char* global;
  const char* set;
};

const CurrentNote kCurrentNotes[] = {
    {&testing::kBills,
     "Select * From T_PrintExport  Where FBillId>0 And FBillType=28 And FPreparerId=7",
     "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and FName='SaveByUser'",
     "SELECT FData From T_PrintExport Where FBillType=28 and FBillId =-1"},
    {&testing::kPartitioned,
     "Select * From T_PrintExportLM  Where FBillId>0 And FBillType=28 AND FDataFrom = 1 And "
     "FPreparerId=7",
     "SELECT FData From T_PrintExportLM Where FBillType=0 and FBillId =0 AND FDataFrom = 1 and "
     "FName='SaveByUser'",
     "SELECT FData From T_PrintExportLM Where FBillType=28 AND FDataFrom = 1 and FBillId =-1"},
};

class CurrentNoteTest : public testing::FamilyTest<CurrentNote> {
 protected:
  void Row(std::int32_t billType, std::int32_t billId, std::int32_t user, const Variant& name,
           const Variant& data, bool elsewhere = false) {
    SeedAssignment(elsewhere ? Elsewhere() : T(), billType, billId, user, "", 0, Variant::Null(),
                   {{"FName", name}, {"FData", data}});
  }
  // The global row and the bill-type-set row belong to no user.
  void Global(const Variant& data, bool elsewhere = false) {
    Row(0, 0, 0, "SaveByUser", data, elsewhere);
  }
  std::shared_ptr<Dictionary> Read() {
    return F().family->Call(F().family->query, "GetCurrNote", {Dsn(), 28}).ObjectAs<Dictionary>();
  }
};

TEST_P(CurrentNoteTest, ListsTheUsersAssignmentsWithTheGlobalNumberAndTheSet) {
  Row(28, 1016, kUser, "Elsewhere", "", true);
  Row(28, -1, 0, "set", "C,3", true);
  Global("3", true);
  auto result = Read();  // only the two fixed keys and the default number
  EXPECT_EQ(result->Count(), 2);
  EXPECT_EQ(result->Value("SaveByUser"), Variant(std::int16_t{1}));
  EXPECT_EQ(result->Value("BillTypeSet").ObjectAs<Dictionary>()->Count(), 0);

  Row(28, 1017, kUser, "Invoice", "opt");
  Row(28, 1018, kUser, "Slip", Variant::Null());
  Row(28, 1019, 8, "Other user", "");
  Row(29, 1020, kUser, "Other type", "");
  Row(28, 0, kUser, "存放页面设置信息", "");
  Row(28, -1, 0, "set", "A,1,9|B,2||,5");  // a third field and an empty piece are ignored
  Global("0");
  Hub().ClearJournal();
  result = Read();
  ASSERT_EQ(result->Count(), 4);
  EXPECT_EQ(result->Entries()[0].first, "28|1017");
  EXPECT_THAT(result->Value("28|1017").ObjectAs<Vector>()->Items(),
              ElementsAre(Variant(1017), Variant(28), Variant("Invoice"), Variant("opt")));
  EXPECT_TRUE(result->Value("28|1018").ObjectAs<Vector>()->Item(4).IsNull());
  EXPECT_EQ(result->Value("SaveByUser"), Variant(0));
  EXPECT_THAT(result->Value("BillTypeSet").ObjectAs<Dictionary>()->Entries(),
              ElementsAre(std::pair{"A", Variant("1")}, std::pair{"B", Variant("2")},
                          std::pair{"", Variant("5")}));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(F().rows, F().global, F().set, F().rows, F().global, F().set));
  EXPECT_THAT(Votes(), ElementsAre("Complete", "Open"));
}

TEST_P(CurrentNoteTest, DataThatCannotBeReadFailsWithOneAbort) {
  const auto fails_with = [&](std::int32_t number) {
    Hub().ClearJournal();
    EXPECT_EQ(ErrorOf([&] { Read(); }).number(), number);
    const auto votes = Votes();
    EXPECT_EQ(std::count(votes.begin(), votes.end(), "Abort"), 1);
    Exec("delete from " + std::string(T().rows));
  };
  Row(28, -1, 0, "set", "A,1|B");  // a piece without a value
  fails_with(kSubscriptOutOfRange);
  Global("many");
  fails_with(kTypeMismatch);
  Row(28, 5, kUser, Variant::Null(), "");
  fails_with(kInvalidUseOfNull);
}

ORVO_INSTANTIATE_FAMILY_SUITE(CurrentNoteTest, kCurrentNotes);

}  // namespace
}  // namespace orvo
