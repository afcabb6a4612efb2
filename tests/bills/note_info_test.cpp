#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;
using testing::kBillTables;
using testing::kBillTablesLM;
using ::testing::Pair;

const std::string kColumns = "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport";
const std::string kManagerRows =
    "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
    "T_PrintExport where fbilltype=28 and FPreparerId=16394";

class NoteInfoTest : public testing::TemplateTest {
 protected:
  static std::vector<Variant> Listed(const std::shared_ptr<Dictionary>& result,
                                     const std::string& key) {
    std::vector<Variant> values;
    for (const Variant& row : result->Value("Data").ObjectAs<Vector>()->Items()) {
      values.push_back(row.ObjectAs<Dictionary>()->Value(key));
    }
    return values;
  }
  // A manager with two templates, one selected, and a settings row.
  void SeedManager() {
    SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
    SeedManagersTemplate(kBillTables, 28, "Slip", Bytes{2}, 0);
    SeedSettingsRow(28, kManager, Bytes{9}, "managers option");
  }
};

TEST_P(NoteInfoTest, UserWithTemplatesGetsOnlyTheirOwnRows) {
  const std::int32_t mine = SeedTemplate(kBillTables, 28, "Mine", Bytes{1});
  SeedAssignment(kBillTables, 28, mine, kUser, "Mine", 1);
  SeedManager();
  SeedSettingsRow(28, kUser, Variant::Null(), "");
  Exec("update T_PrintExport set FData=NULL where FPreparerId=7 and FBillId=0");
  clsPrintSetupQuery query;
  auto result = query.GetNoteInfo(Dsn(), 28);
  ASSERT_EQ(result->Count(), 2);
  auto rows = result->Value("Data").ObjectAs<Vector>();
  ASSERT_EQ(rows->Count(), 1);
  EXPECT_THAT(rows->Item(1).ObjectAs<Dictionary>()->Entries(),
              ElementsAre(Pair("fbilltype", Variant(28)), Pair("fname", Variant("Mine")),
                          Pair("fbillid", Variant(mine)), Pair("fbilltypesub", Variant("")),
                          Pair("fsel", Variant(1))));
  EXPECT_EQ(result->Value("Option"), Variant(""));  // the user's own row, its FData Null
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(kColumns + " where fbilltype= 28 and fbillid>0 and FPreparerId=7",
                          "select fdata from T_PrintExport where fbilltype=28 and fbillid=0 and "
                          "FPreparerId=7"));
}

TEST_P(NoteInfoTest, FirstCallCopiesTheManagersTemplatesAndASecondFindsThem) {
  SeedManager();
  clsPrintSetupQuery query;
  auto first = query.GetNoteInfo(Dsn(), 28);
  EXPECT_THAT(Listed(first, "fname"), ElementsAre("Invoice", "Slip"));
  EXPECT_THAT(Listed(first, "fsel"), ElementsAre(Variant(1), Variant(0)));
  // The rows listed point to the copies, not to the manager's templates.
  EXPECT_THAT(Listed(first, "fbillid"), ElementsAre(Variant(3), Variant(4)));
  EXPECT_EQ(first->Value("Option"), Variant("managers option"));
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Open", "Connection", "Connection", "Session", "Session", "Session",
                          "Session", "Session", "Complete"));
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 3);

  const std::string before = Snapshot();
  const std::size_t statements = Observer().Statements().size();
  auto second = query.GetNoteInfo(Dsn(), 28);
  EXPECT_THAT(Listed(second, "fbillid"), ElementsAre(Variant(3), Variant(4)));
  EXPECT_EQ(second->Value("Option"), Variant("managers option"));  // the copied settings row
  EXPECT_EQ(Observer().Statements().size() - statements, 2u);
  EXPECT_EQ(Snapshot(), before);
}

TEST_P(NoteInfoTest, WithoutAnyAssignmentTheNewestTemplateOfEachNameIsListed) {
  SignIn(kManager, "Manager");
  SeedSettingsRow(28, kManager, Variant::Null(), "");  // copies nothing onto itself
  const std::int32_t older = SeedTemplate(kBillTables, 28, "A", Bytes{1});
  const std::int32_t newer = SeedTemplate(kBillTables, 28, "A", Bytes{2});
  const std::int32_t other = SeedTemplate(kBillTables, 28, "B", Bytes{3});
  SeedAssignment(kBillTables, 28, older, 8, "A", 1);
  SeedAssignment(kBillTables, 28, newer, 9, "A", 1);
  SeedAssignment(kBillTables, 28, newer, 8, "A", 1);  // the same row again, listed once
  SeedAssignment(kBillTables, 28, other, 8, "B", 0);
  SeedAssignment(kBillTables, 29, 50, 8, "A", 1);  // another bill type
  const std::string before = Snapshot();
  clsPrintSetupQuery query;
  auto result = query.GetNoteInfo(Dsn(), 28);
  auto ids = Listed(result, "fbillid");
  std::sort(ids.begin(), ids.end(),
            [](const Variant& a, const Variant& b) { return CLng(a) < CLng(b); });
  EXPECT_THAT(ids, ElementsAre(Variant(newer), Variant(other)));
  EXPECT_EQ(Snapshot(), before);
  const std::string user_list =
      kColumns + " where fbilltype= 28 and fbillid>0 and FPreparerId=16394";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(
          user_list, kManagerRows,
          "select * from T_PrintExport where fbilltype=28 and FBillID=0 and FPreParerID=16394",
          user_list, kColumns + " where fbilltype=28 and fbillid>0 and FPreparerId=16394",
          " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from "
          "T_PrintExport a inner join  (select   fbilltype,fname,max(fbillid) fbillid from "
          "T_PrintExport where fbilltype=28 and fbillid>0  group by fbilltype,fname) b on "
          "a.fbilltype=b.fbilltype and  a.fname=b.fname and  a.fbillid=b.fbillid ",
          "select fdata from T_PrintExport where fbilltype=28 and fbillid=0 and "
          "FPreparerId=16394"));
  EXPECT_EQ(result->Value("Option"), Variant(""));

  // Nothing at all for a bill type: an empty list and no option text.
  auto nothing = query.GetNoteInfo(Dsn(), 30);
  EXPECT_EQ(nothing->Value("Data").ObjectAs<Vector>()->Count(), 0);
  EXPECT_EQ(nothing->Value("Option"), Variant(""));
}

TEST_P(NoteInfoTest, AFailureOrANameTooLongInTheFirstCallLeavesNoPartialCopy) {
  SeedManager();
  SignIn(kUser, std::string(31, 'n'));  // longer than a template's creator name
  const std::string before = Snapshot();
  clsPrintSetupQuery query;
  EXPECT_EQ(ErrorOf([&] { query.GetNoteInfo(Dsn(), 28); }).number(), HResult(0x80040E57u));
  EXPECT_EQ(Snapshot(), before);
  SignIn(kUser, "Alice");
  EXPECT_EQ(FailEachStatement([&] { query.GetNoteInfo(Dsn(), 28); }), 16);
}

// Processes that ask at the same moment for a new user's list wait for each
// other's copy: each gets the full list, and one copy set is made.
TEST_P(NoteInfoTest, ConcurrentFirstCallsMakeOneCopySet) {
  SeedManager();
  ListInProcessesAtOnce(4, 2, [&] { return clsPrintSetupQuery().GetNoteInfo(Dsn(), 28); });
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 3);
  EXPECT_EQ(Count("T_PrintExportNote"), 4);
}

TEST_P(NoteInfoTest, PartitionedClassListsAndCopiesWithinItsPartition) {
  SeedManagersTemplate(kBillTablesLM, 28, "Invoice", Bytes{1}, 1, {{"FDataFrom", 1}});
  SeedManagersTemplate(kBillTablesLM, 28, "Elsewhere", Bytes{2}, 1, {{"FDataFrom", 2}});
  clsPrintSetupQueryLM query;
  auto result = query.GetNoteInfo(Dsn(), 28, 1);
  EXPECT_THAT(Listed(result, "fname"), ElementsAre("Invoice"));
  const auto texts = Observer().Texts();
  ASSERT_EQ(texts.size(), 10u);
  EXPECT_EQ(texts[0],
            "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExportLM where "
            "fbilltype= 28 and fbillid>0 AND FDataFrom = 1 and FPreparerId=7");
  EXPECT_EQ(
      texts[1],
      "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel "
      "from T_PrintExportLM where fbilltype=28 AND FDataFrom = 1 and FPreparerId=16394");
  EXPECT_EQ(texts[8],
            "select fdata from T_PrintExportLM where fbilltype=28 and fbillid=0 AND "
            "FDataFrom = 1 and FPreparerId=7");
  EXPECT_EQ(texts[9],
            "select fdata from T_PrintExportLM where fbilltype=28 and fbillid=0 AND "
            "FDataFrom = 1 and FPreparerId=16394");

  // Only another partition's user has rows: the newest list stays in the partition.
  SignIn(kManager, "Manager");
  Exec("delete from T_PrintExportLM where FDataFrom=1");
  const std::int32_t foreign = SeedTemplate(kBillTablesLM, 28, "A", Bytes{1}, {{"FDataFrom", 3}});
  SeedAssignment(kBillTablesLM, 28, foreign, 8, "A", 1, Variant::Null(), {{"FDataFrom", 3}});
  const std::size_t statements = Observer().Statements().size();
  EXPECT_EQ(query.GetNoteInfo(Dsn(), 28, 1)->Value("Data").ObjectAs<Vector>()->Count(), 0);
  EXPECT_EQ(Observer().Texts()[statements + 4],
            " select distinct a.fbilltype,a.fname,a.fbillid,a.fbilltypesub,a.fsel from "
            "T_PrintExportLM a inner join  (select   fbilltype,fname,max(fbillid) fbillid from "
            "T_PrintExportLM where fbilltype=28 and fbillid>0 AND FDataFrom = 1  group by "
            "fbilltype,fname) b on a.fbilltype=b.fbilltype and  a.fname=b.fname and  "
            "a.fbillid=b.fbillid AND a.FDataFrom = 1 ");
}

ORVO_INSTANTIATE_STORE_SUITE(NoteInfoTest);

}  // namespace
}  // namespace orvo
