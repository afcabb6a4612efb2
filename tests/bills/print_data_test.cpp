#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "orvo/component/classes.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

const std::string kBaseA =
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId ";
const std::string kBaseB = kBaseA + " ";
const std::string kSettings = "Select FData from T_PrintExport where fbilltype=28 and fbillid=0 ";

class PrintDataTest : public testing::StoreTest {
 protected:
  // A template and a selected assignment row of `user` pointing to it; the
  // template's FId.
  std::int32_t Selected(std::int32_t user, const Variant& subType, const Bytes& body,
                        const Variant& dataFrom = Variant()) {
    const bool lm = !dataFrom.IsEmpty();
    std::vector<std::pair<std::string, Variant>> note{{"FName", "T"}, {"FData", body}};
    if (lm) note.emplace_back("FDataFrom", dataFrom);
    const std::int32_t id = InsertRow(lm ? "T_PrintExportNoteLM" : "T_PrintExportNote", note);
    Assign(user, id, subType, 1, dataFrom);
    return id;
  }
  void Assign(std::int32_t user, std::int32_t id, const Variant& subType, std::int32_t sel,
              const Variant& dataFrom = Variant()) {
    std::vector<std::pair<std::string, Variant>> row{{"FBillType", 28},         {"FBillId", id},
                                                     {"FPreparerId", user},     {"FName", "T"},
                                                     {"FBillTypeSub", subType}, {"FSel", sel}};
    if (!dataFrom.IsEmpty()) row.emplace_back("FDataFrom", dataFrom);
    InsertRow(dataFrom.IsEmpty() ? "T_PrintExport" : "T_PrintExportLM", row);
  }
  static Variant Entry(const std::shared_ptr<Dictionary>& result, const std::string& key) {
    EXPECT_EQ(result->Count(), 1);
    return result->Value(key);
  }
};

TEST_P(PrintDataTest, WithoutSubTypeTheUsersSelectionWhoseSubTypeIsUnset) {
  Selected(kUser, "X", Bytes{9});
  const std::int32_t mine = Selected(kUser, Variant::Null(), Bytes{1, 2});
  SeedSettingsRow(28, kUser, Variant::Null(), "paper=A5");
  clsPrintSetupQuery query;
  for (const auto& result :
       {query.GetNotePrintData(Dsn(), 28), query.GetNotePrintData(Dsn(), 28, "")}) {
    auto entry = Entry(result, "28|" + std::to_string(mine)).ObjectAs<Vector>();
    ASSERT_NE(entry, nullptr);
    EXPECT_THAT(entry->Items(), ElementsAre(Variant("paper=A5"), Variant(Bytes{1, 2})));
  }
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(kBaseB + " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And "
                                   "i.FSel=1 and FPreparerId=7",
                          kSettings + " and FPreparerId=7",
                          kBaseB + " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And "
                                   "i.FSel=1 and FPreparerId=7",
                          kSettings + " and FPreparerId=7"));
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Complete", "Open", "Connection", "Connection", "Session", "Session",
                          "Complete", "Open", "Connection", "Connection", "Session", "Session"));
}

TEST_P(PrintDataTest, WithoutSubTypeFallsBackToTheManagersSelectionOfAnySubType) {
  const std::int32_t managers = Selected(kManager, "X", Bytes{5});
  Assign(kUser, 999, Variant::Null(), 1);  // points to no template
  SeedSettingsRow(28, kManager, Variant::Null(), "from manager");
  clsPrintSetupQuery query;
  auto entry = Entry(query.GetNotePrintData(Dsn(), 28), "28|" + std::to_string(managers));
  EXPECT_THAT(entry.ObjectAs<Vector>()->Items(),
              ElementsAre(Variant("from manager"), Variant(Bytes{5})));
  EXPECT_THAT(Observer().Texts(),
              ElementsAre(kBaseB + " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And "
                                   "i.FSel=1 and FPreparerId=7",
                          kBaseB + " Where i.FBillType=28 And i.FSel=1 and FPreparerId=16394",
                          kSettings + " and FPreparerId=7", kSettings + " and FPreparerId=16394"));
}

TEST_P(PrintDataTest, SubTypeChainRunsAllFiveStatementsThenFindsNothing) {
  Selected(kUser, Variant::Null(), Bytes{1});  // Null is not the empty sub-type
  clsPrintSetupQuery query;
  EXPECT_EQ(query.GetNotePrintData(Dsn(), 28, "O'Brien")->Count(), 0);
  const std::string given = " Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1";
  const std::string unset = " Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(kBaseA + given + " and FPreparerId=7", kBaseB + unset + " and FPreparerId=7",
                  kBaseB + given + " and FPreparerId=16394",
                  kBaseB + unset + " and FPreparerId=16394", kBaseB + given,
                  kSettings + " and FPreparerId=7", kSettings + " and FPreparerId=16394"));
}

TEST_P(PrintDataTest, SubTypeChainStopsAtTheFirstStatementThatFinds) {
  clsPrintSetupQuery query;
  const std::int32_t anyone = Selected(8, "O'Brien", Bytes{8});
  EXPECT_TRUE(Entry(query.GetNotePrintData(Dsn(), 28, "O'Brien"), "28|" + std::to_string(anyone))
                  .IsObject());
  const std::int32_t managers_unset = Selected(kManager, "", Bytes{4});
  EXPECT_TRUE(
      Entry(query.GetNotePrintData(Dsn(), 28, "O'Brien"), "28|" + std::to_string(managers_unset))
          .IsObject());
  const std::int32_t users_unset = Selected(kUser, "", Bytes{2});
  EXPECT_TRUE(
      Entry(query.GetNotePrintData(Dsn(), 28, "O'Brien"), "28|" + std::to_string(users_unset))
          .IsObject());
  const std::int32_t users_own = Selected(kUser, "O'Brien", Bytes{1});
  const std::size_t statements = Observer().Statements().size();
  auto entry =
      Entry(query.GetNotePrintData(Dsn(), 28, "O'Brien"), "28|" + std::to_string(users_own));
  EXPECT_THAT(entry.ObjectAs<Vector>()->Items(), ElementsAre(Variant(""), Variant(Bytes{1})));
  // S1 and the two settings statements.
  EXPECT_EQ(Observer().Statements().size() - statements, 3u);
}

TEST_P(PrintDataTest, PartitionedClassNeverReadsAnotherPartition) {
  Selected(kUser, Variant::Null(), Bytes{1}, 2);
  const std::int32_t other_note =
      InsertRow("T_PrintExportNoteLM", {{"FData", Bytes{3}}, {"FDataFrom", 2}});
  Assign(kManager, other_note, "X", 1, 1);  // row in the partition, template not
  SeedSettingsRow(28, kUser, Variant::Null(), "elsewhere", 2);
  clsPrintSetupQueryLM query;
  EXPECT_EQ(query.GetNotePrintData(Dsn(), 28, 1, "X")->Count(), 0);
  EXPECT_EQ(query.GetNotePrintData(Dsn(), 28, 1)->Count(), 0);
  const std::string lm_a =
      "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
      "i.FbillId=c.FId ";
  const std::string lm_b = lm_a + " ";
  const std::string partition = " AND i.FDataFrom = 1 AND c.FDataFrom = 1";
  const std::string settings =
      "Select FData from T_PrintExportLM where fbilltype=28 and fbillid=0 AND FDataFrom = 1 ";
  const std::string given = " Where i.FBillType=28 And i.FBillTypeSub='X' and i.FSel=1";
  const std::string unset = " Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(
          lm_a + given + partition + "  and FPreparerId=7",
          lm_b + unset + partition + "  and FPreparerId=7",
          lm_b + given + partition + "  and FPreparerId=16394",
          lm_b + unset + partition + "  and FPreparerId=16394", lm_b + given + partition + " ",
          settings + " and FPreparerId=7", settings + " and FPreparerId=16394",
          lm_b + " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1" +
              partition + " and FPreparerId=7",
          lm_b + " Where i.FBillType=28 And i.FSel=1" + partition + " and FPreparerId=16394",
          settings + " and FPreparerId=7", settings + " and FPreparerId=16394"));
  const std::int32_t mine = Selected(kUser, "X", Bytes{7}, 1);
  EXPECT_EQ(Entry(query.GetNotePrintData(Dsn(), 28, 1, "X"), "28|" + std::to_string(mine))
                .ObjectAs<Vector>()
                ->Item(1),
            Variant(""));
}

TEST_P(PrintDataTest, FailureAtAnyStatementAbortsOnceWithTheErrorUnchanged) {
  for (int failing = 1; failing <= 4; ++failing) {
    Hub().ClearJournal();
    Observer().FailAt(failing, AutomationError(HResult(0x80040E14u), "SQLite", "refused"));
    clsPrintSetupQuery query;
    try {
      query.GetNotePrintData(Dsn(), 28);
      FAIL() << "statement " << failing << " should fail";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), HResult(0x80040E14u));
      EXPECT_EQ(error.source(), "SQLite");
      EXPECT_EQ(error.description(), "refused");
    }
    const auto operations = JournalOperations();
    EXPECT_EQ(operations.front(), "Complete");
    EXPECT_EQ(std::count(operations.begin(), operations.end(), "Abort"), 1);
    EXPECT_EQ(operations.back(), "Abort");
  }
}

ORVO_INSTANTIATE_STORE_SUITE(PrintDataTest);

}  // namespace
}  // namespace orvo
