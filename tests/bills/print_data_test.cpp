// GetNotePrintData and GetRptNotePrintData: the print data read of each
// family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/journal.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// A row of a template: its user, sub-type and selection.
struct Owner {
  std::int32_t user;
  Variant subType;
  std::int32_t sel = 1;
};

// The statements a call runs, in order, for user 7 with a sub-type (or
// none); the row that each statement is the first to find; and a row that
// none finds.
struct Chain {
  const char* subType;
  std::vector<std::string> texts;
  std::vector<Owner> finds;
  Owner missed;
};

struct PrintData {
  const testing::Family* family;
  Chain subTypeChain;
  Chain plainChain;
  const char* userSettings;
  const char* managerSettings;
};

constexpr std::int32_t kManager = 16394;
const Variant kNull = Variant::Null();
const std::vector<Owner> kSubTypeFinds = {
    {7, "O'Brien"}, {7, ""}, {kManager, "O'Brien"}, {kManager, ""}, {8, "O'Brien"}};

const char* const kReportManagersSelection =
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join T_RptExcelPrintExportNote "
    "c  On i.FNoteId=c.FId   Where i.FRptId=28 And i.FSel=1 and FPreparerId=16394";
const char* const kReportUserSettings =
    "Select FData from T_RptExcelPrintExport where FRptId=28 and FNoteId=0  and FPreparerId=7";
const char* const kReportManagerSettings =
    "Select FData from T_RptExcelPrintExport where FRptId=28 and FNoteId=0  and FPreparerId=16394";

const PrintData kPrintData[] = {
    {&testing::kBills,
     {"O'Brien",
      {"Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId  Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1 and "
       "FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1 and "
       "FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1 and "
       "FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1 and "
       "FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1"},
      kSubTypeFinds,
      {7, kNull}},  // Null is not the empty sub-type
     {"",
      {"Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1 "
       "and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FSel=1 and FPreparerId=16394"},
      {{7, kNull}, {kManager, "X"}},
      {7, "X"}},
     "Select FData from T_PrintExport where fbilltype=28 and fbillid=0  and FPreparerId=7",
     "Select FData from T_PrintExport where fbilltype=28 and fbillid=0  and FPreparerId=16394"},
    {&testing::kPartitioned,
     {"O'Brien",
      {"Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId  Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1 AND "
       "i.FDataFrom = 1 AND c.FDataFrom = 1  and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1 AND "
       "i.FDataFrom = 1 AND c.FDataFrom = 1  and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1 AND "
       "i.FDataFrom = 1 AND c.FDataFrom = 1  and FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='' and i.FSel=1 AND "
       "i.FDataFrom = 1 AND c.FDataFrom = 1  and FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FBillTypeSub='O''Brien' and i.FSel=1 AND "
       "i.FDataFrom = 1 AND c.FDataFrom = 1 "},
      kSubTypeFinds,
      {7, kNull}},
     {"",
      {"Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1 "
       "AND i.FDataFrom = 1 AND c.FDataFrom = 1 and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
       "i.FbillId=c.FId   Where i.FBillType=28 And i.FSel=1 AND i.FDataFrom = 1 AND "
       "c.FDataFrom = 1 and FPreparerId=16394"},
      {{7, kNull}, {kManager, "X"}},
      {7, "X"}},
     "Select FData from T_PrintExportLM where fbilltype=28 and fbillid=0 AND FDataFrom = 1  and "
     "FPreparerId=7",
     "Select FData from T_PrintExportLM where fbilltype=28 and fbillid=0 AND FDataFrom = 1  and "
     "FPreparerId=16394"},
    // The standard class leaves report sub-types out: a given one only
    // chooses the chain.
    {&testing::kReports,
     {"monthly",
      {"Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId  Where i.FRptId=28 And i.FSel=1 and "
       "FPreparerId=7",
       kReportManagersSelection,
       "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And i.FSel=1"},
      {{7, "other"}, {kManager, "other"}, {8, "other"}},
      {9, "monthly", 0}},
     {"",
      {"Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And i.FSel=1 and "
       "FPreparerId=7",
       kReportManagersSelection},
      {{7, "X"}, {kManager, "X"}},
      {8, kNull}},  // the plain chain never asks anyone
     kReportUserSettings,
     kReportManagerSettings},
    {&testing::kReportClass,
     {"O'Brien",
      {"Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId  Where i.FRptId=28 And "
       "i.FTypeSub='O''Brien' And i.FSel=1 and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And i.FTypeSub='' "
       "And i.FSel=1 and FPreparerId=7",
       "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And "
       "i.FTypeSub='O''Brien' And i.FSel=1 and FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And i.FTypeSub='' "
       "And i.FSel=1 and FPreparerId=16394",
       "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And "
       "i.FTypeSub='O''Brien' And i.FSel=1"},
      kSubTypeFinds,
      {7, kNull}},
     {"",
      {"Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
       "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId   Where i.FRptId=28 And "
       "isnull(i.FTypeSub, '') = ''  And i.FSel=1 and FPreparerId=7",
       kReportManagersSelection},
      {{7, kNull}, {kManager, "X"}},
      {7, "X"}},
     kReportUserSettings,
     kReportManagerSettings},
};

class PrintDataTest : public testing::FamilyTest<PrintData> {
 protected:
  // A template with body {`body`} and the row of `owner` pointing to it; the
  // template's FId.
  std::int32_t Selected(const Owner& owner, std::uint8_t body) {
    const std::int32_t id = SeedTemplate(T(), 28, "T", Bytes{body});
    SeedAssignment(T(), 28, id, owner.user, "T", owner.sel, owner.subType);
    return id;
  }
};

// Rows are seeded from the one the last statement finds to the one the
// first statement finds: each is found by its own statement, after every
// statement before it ran and found nothing.
TEST_P(PrintDataTest, EachStatementOfAChainFindsWhatTheStatementsBeforeItMissed) {
  SeedAssignment(T(), 28, 0, kManager, "存放页面设置信息", 0, kNull, {{"FData", "from manager"}});
  for (const Chain& chain : {F().subTypeChain, F().plainChain}) {
    SCOPED_TRACE(chain.subType);
    Exec("delete from " + std::string(T().rows) + " where " + T().idColumn + "<>0");
    Selected(chain.missed, 99);
    std::size_t statements = Observer().Statements().size();
    Hub().ClearJournal();
    EXPECT_EQ(F().family->PrintData(Dsn(), chain.subType)->Count(), 0);
    EXPECT_THAT(Votes(), ElementsAre("Complete", "Open"));
    std::vector<std::string> texts = chain.texts;
    texts.insert(texts.end(), {F().userSettings, F().managerSettings});
    const auto all = Observer().Texts();
    EXPECT_THAT(std::vector(all.begin() + statements, all.end()), ElementsAreArray(texts));
    for (std::size_t i = chain.finds.size(); i-- > 0;) {
      const std::int32_t id = Selected(chain.finds[i], static_cast<std::uint8_t>(i));
      statements = Observer().Statements().size();
      const auto result = F().family->PrintData(Dsn(), chain.subType);
      ASSERT_EQ(result->Count(), 1) << i;
      EXPECT_THAT(
          result->Value("28|" + std::to_string(id)).ObjectAs<Vector>()->Items(),
          ElementsAre(Variant("from manager"), Variant(Bytes{static_cast<std::uint8_t>(i)})))
          << i;
      EXPECT_EQ(Observer().Statements().size() - statements, i + 3) << i;
    }
  }
  // The user's own settings text comes before the manager's.
  SeedAssignment(T(), 28, 0, kUser, "存放页面设置信息", 0, kNull, {{"FData", "mine"}});
  EXPECT_EQ(F().family->PrintData(Dsn(), "")->Entries().at(0).second.ObjectAs<Vector>()->Item(1),
            Variant("mine"));
}

TEST_P(PrintDataTest, NeverReadsElsewhere) {
  SeedAssignment(Elsewhere(), 28, SeedTemplate(Elsewhere(), 28, "T", Bytes{1}), kUser, "T", 1);
  SeedAssignment(Elsewhere(), 28, 0, kUser, "存放页面设置信息", 0, kNull, {{"FData", "elsewhere"}});
  // The manager's row is the family's, its template is not.
  SeedAssignment(T(), 28, SeedTemplate(Elsewhere(), 28, "T", Bytes{2}), kManager, "T", 1, "X");
  EXPECT_EQ(F().family->PrintData(Dsn(), "X")->Count(), 0);
  EXPECT_EQ(F().family->PrintData(Dsn(), "")->Count(), 0);
  const std::int32_t mine = Selected({kUser, "X"}, 3);
  EXPECT_EQ(F().family->PrintData(Dsn(), "X")
                ->Value("28|" + std::to_string(mine))
                .ObjectAs<Vector>()
                ->Item(1),
            Variant(""));
}

ORVO_INSTANTIATE_FAMILY_SUITE(PrintDataTest, kPrintData);

}  // namespace
}  // namespace orvo
