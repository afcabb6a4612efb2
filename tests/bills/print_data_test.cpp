#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;

const std::string kBaseA =
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId ";
const std::string kBaseB = kBaseA + " ";
const std::string kSettings = "Select FData from T_PrintExport where fbilltype=28 and fbillid=0 ";
const std::string kUsersUnset =
    kBaseB +
    " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1 and "
    "FPreparerId=7";

class PrintDataTest : public testing::TemplateTest {
 protected:
  // A template and a selected assignment row of `user` pointing to it, in the
  // partitioned tables when `dataFrom` is given; the template's FId.
  std::int32_t Selected(std::int32_t user, const Variant& subType, const Bytes& body,
                        const Variant& dataFrom = Variant()) {
    const bool lm = !dataFrom.IsEmpty();
    const testing::Columns partition =
        lm ? testing::Columns{{"FDataFrom", dataFrom}} : testing::Columns{};
    const auto& tables = lm ? testing::kBillTablesLM : testing::kBillTables;
    const std::int32_t id = SeedTemplate(tables, 28, "T", body, partition);
    SeedAssignment(tables, 28, id, user, "T", 1, subType, partition);
    return id;
  }
  static Variant Entry(const std::shared_ptr<Dictionary>& result, const std::string& key) {
    EXPECT_EQ(result->Count(), 1);
    return result->Value(key);
  }
};

TEST_P(PrintDataTest, WithoutSubTypeTheUsersUnsetSelectionElseTheManagersOfAnySubType) {
  const std::int32_t managers = Selected(kManager, "X", Bytes{5});
  SeedAssignment(testing::kBillTables, 28, 999, kUser, "T", 1);  // points to no template
  Selected(kUser, "X", Bytes{9});
  SeedSettingsRow(28, kManager, Variant::Null(), "from manager");
  clsPrintSetupQuery query;
  auto entry = Entry(query.GetNotePrintData(Dsn(), 28), "28|" + std::to_string(managers));
  EXPECT_THAT(entry.ObjectAs<Vector>()->Items(),
              ElementsAre(Variant("from manager"), Variant(Bytes{5})));
  const std::string settings = kSettings + " and FPreparerId=7";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(kUsersUnset, kBaseB + " Where i.FBillType=28 And i.FSel=1 and FPreparerId=16394",
                  settings, kSettings + " and FPreparerId=16394"));

  const std::int32_t mine = Selected(kUser, Variant::Null(), Bytes{1, 2});
  SeedSettingsRow(28, kUser, Variant::Null(), "paper=A5");
  Hub().ClearJournal();
  for (const auto& result :
       {query.GetNotePrintData(Dsn(), 28), query.GetNotePrintData(Dsn(), 28, "")}) {
    auto items = Entry(result, "28|" + std::to_string(mine)).ObjectAs<Vector>();
    ASSERT_NE(items, nullptr);
    EXPECT_THAT(items->Items(), ElementsAre(Variant("paper=A5"), Variant(Bytes{1, 2})));
  }
  const auto texts = Observer().Texts();
  EXPECT_THAT(std::vector<std::string>(texts.begin() + 4, texts.end()),
              ElementsAre(kUsersUnset, settings, kUsersUnset, settings));
  EXPECT_THAT(JournalOperations(),
              ElementsAre("Complete", "Open", "Connection", "Connection", "Session", "Session",
                          "Complete", "Open", "Connection", "Connection", "Session", "Session"));
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

// Each row seeded is found by an earlier statement than the rows before it.
TEST_P(PrintDataTest, SubTypeChainStopsAtTheFirstStatementThatFinds) {
  clsPrintSetupQuery query;
  const std::pair<std::int32_t, const char*> rows[] = {
      {8, "O'Brien"}, {kManager, ""}, {kUser, ""}, {kUser, "O'Brien"}};
  std::size_t statements = 0;
  std::shared_ptr<Dictionary> result;
  for (std::uint8_t body = 1; const auto& [user, sub_type] : rows) {
    const std::int32_t id = Selected(user, sub_type, Bytes{body++});
    statements = Observer().Statements().size();
    result = query.GetNotePrintData(Dsn(), 28, "O'Brien");
    EXPECT_TRUE(Entry(result, "28|" + std::to_string(id)).IsObject()) << user << sub_type;
  }
  EXPECT_THAT(result->Entries()[0].second.ObjectAs<Vector>()->Items(),
              ElementsAre(Variant(""), Variant(Bytes{4})));
  // S1 and the two settings statements.
  EXPECT_EQ(Observer().Statements().size() - statements, 3u);
}

TEST_P(PrintDataTest, PartitionedClassNeverReadsAnotherPartition) {
  Selected(kUser, Variant::Null(), Bytes{1}, 2);
  // The manager's row is in the partition, its template is not.
  const std::int32_t other_note =
      SeedTemplate(testing::kBillTablesLM, 28, "T", Bytes{3}, {{"FDataFrom", 2}});
  SeedAssignment(testing::kBillTablesLM, 28, other_note, kManager, "T", 1, "X", {{"FDataFrom", 1}});
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

ORVO_INSTANTIATE_STORE_SUITE(PrintDataTest);

}  // namespace
}  // namespace orvo
