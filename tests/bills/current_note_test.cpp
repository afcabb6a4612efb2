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

class CurrentNoteTest : public testing::StoreTest {
 protected:
  void Row(std::int32_t billType, std::int32_t billId, std::int32_t user, const Variant& name,
           const Variant& data, const Variant& dataFrom = Variant()) {
    std::vector<std::pair<std::string, Variant>> columns{{"FBillType", billType},
                                                         {"FBillId", billId},
                                                         {"FPreparerId", user},
                                                         {"FName", name},
                                                         {"FData", data}};
    if (!dataFrom.IsEmpty()) columns.emplace_back("FDataFrom", dataFrom);
    InsertRow(dataFrom.IsEmpty() ? "T_PrintExport" : "T_PrintExportLM", columns);
  }
  // The global row and the bill-type-set row belong to no user.
  void Global(const Variant& data, const Variant& dataFrom = Variant()) {
    Row(0, 0, 0, "SaveByUser", data, dataFrom);
  }
};

TEST_P(CurrentNoteTest, ListsTheUsersAssignmentsWithTheGlobalNumberAndTheSet) {
  Row(28, 1017, kUser, "Invoice", "opt");
  Row(28, 1018, kUser, "Slip", Variant::Null());
  Row(28, 1019, 8, "Other user", "");
  Row(29, 1020, kUser, "Other type", "");
  Row(28, 0, kUser, "存放页面设置信息", "");
  Row(28, -1, 0, "set", "A,1,9|B,2||,5");  // a third field and an empty piece are ignored
  Global("0");

  clsPrintSetupQuery query;
  auto result = query.GetCurrNote(Dsn(), 28);
  ASSERT_EQ(result->Count(), 4);
  EXPECT_EQ(result->Entries()[0].first, "28|1017");
  auto first = result->Value("28|1017").ObjectAs<Vector>();
  EXPECT_THAT(first->Items(),
              ElementsAre(Variant(1017), Variant(28), Variant("Invoice"), Variant("opt")));
  EXPECT_TRUE(result->Value("28|1018").ObjectAs<Vector>()->Item(4).IsNull());
  EXPECT_EQ(result->Value("SaveByUser"), Variant(0));
  auto set = result->Value("BillTypeSet").ObjectAs<Dictionary>();
  ASSERT_EQ(set->Count(), 3);
  EXPECT_EQ(set->Value("A"), Variant("1"));
  EXPECT_EQ(set->Value("B"), Variant("2"));
  EXPECT_EQ(set->Value(""), Variant("5"));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select * From T_PrintExport  Where FBillId>0 And FBillType=28 And "
                          "FPreparerId=7",
                          "SELECT FData From T_PrintExport Where FBillType=0 and FBillId =0 and "
                          "FName='SaveByUser'",
                          "SELECT FData From T_PrintExport Where FBillType=28 and FBillId =-1"));
  EXPECT_THAT(Votes(), ElementsAre("Complete", "Open"));
  // Without rows: only the two fixed keys and the default number.
  Exec("delete from T_PrintExport");
  result = query.GetCurrNote(Dsn(), 28);
  EXPECT_EQ(result->Count(), 2);
  EXPECT_EQ(result->Value("SaveByUser"), Variant(std::int16_t{1}));
}

TEST_P(CurrentNoteTest, DataThatCannotBeReadFailsWithOneAbort) {
  const auto fails_with = [&](std::int32_t number) {
    Hub().ClearJournal();
    clsPrintSetupQuery query;
    EXPECT_EQ(ErrorOf([&] { query.GetCurrNote(Dsn(), 28); }).number(), number);
    const auto operations = Votes();
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "Abort"), 1);
  };
  Row(28, -1, 0, "set", "A,1|B");  // a piece without a value
  fails_with(kSubscriptOutOfRange);
  Exec("delete from T_PrintExport");
  Global("many");
  fails_with(kTypeMismatch);
  Exec("delete from T_PrintExport");
  Row(28, 5, kUser, Variant::Null(), "");
  fails_with(kInvalidUseOfNull);
}

TEST_P(CurrentNoteTest, PartitionedClassReadsOnlyItsPartition) {
  Row(28, 1017, kUser, "Mine", "", 1);
  Row(28, 1018, kUser, "Elsewhere", "", 2);
  Row(28, -1, 0, "set", "A,1", 2);
  Global("3", 2);
  Row(28, 1019, kUser, "Standard", "");

  clsPrintSetupQueryLM query;
  auto result = query.GetCurrNote(Dsn(), 28, 1);
  ASSERT_EQ(result->Count(), 3);
  EXPECT_TRUE(result->Exists("28|1017"));
  EXPECT_EQ(result->Value("SaveByUser"), Variant(std::int16_t{1}));
  EXPECT_EQ(result->Value("BillTypeSet").ObjectAs<Dictionary>()->Count(), 0);
  EXPECT_THAT(Observer().Texts(),
              ElementsAre("Select * From T_PrintExportLM  Where FBillId>0 And FBillType=28 AND "
                          "FDataFrom = 1 And FPreparerId=7",
                          "SELECT FData From T_PrintExportLM Where FBillType=0 and FBillId =0 AND "
                          "FDataFrom = 1 and FName='SaveByUser'",
                          "SELECT FData From T_PrintExportLM Where FBillType=28 AND FDataFrom = 1 "
                          "and FBillId =-1"));
  EXPECT_EQ(query.GetCurrNote(Dsn(), 28, 2)->Value("SaveByUser"), Variant(3));
}

ORVO_INSTANTIATE_STORE_SUITE(CurrentNoteTest);

}  // namespace
}  // namespace orvo
