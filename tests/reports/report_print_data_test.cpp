#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvo/component/classes.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

using ::testing::ElementsAre;
using testing::kReportTables;

const std::string kBaseA =
    "Select c.FData as FBlob,i.* From T_RptExcelPrintExport i inner Join "
    "T_RptExcelPrintExportNote c  On i.FNoteId=c.FId ";
const std::string kBaseB = kBaseA + " ";
const std::string kSettings =
    "Select FData from T_RptExcelPrintExport where FRptId=1007 and FNoteId=0 ";

class ReportPrintDataTest : public testing::TemplateTest {
 protected:
  std::int32_t Selected(std::int32_t user, const Variant& subType, const Bytes& body) {
    const std::int32_t id = SeedTemplate(kReportTables, 1007, "Sales", body);
    SeedAssignment(kReportTables, 1007, id, user, "Sales", 1, subType);
    return id;
  }
};

TEST_P(ReportPrintDataTest, StandardClassLetsTheSubTypeChooseOnlyTheChain) {
  const std::int32_t others = Selected(8, "monthly", Bytes{8});
  SeedAssignment(kReportTables, 1007, 0, kUser, "存放页面设置信息", 0, Variant::Null(),
                 {{"FData", "mine"}});
  clsPrintSetupQuery query;
  for (const std::string sub_type : {"monthly", "it's anything"}) {
    auto result = query.GetRptNotePrintData(Dsn(), 1007, sub_type);
    ASSERT_EQ(result->Count(), 1);
    EXPECT_THAT(result->Value("1007|" + std::to_string(others)).ObjectAs<Vector>()->Items(),
                ElementsAre(Variant("mine"), Variant(Bytes{8})));
  }
  EXPECT_EQ(query.GetRptNotePrintData(Dsn(), 1007)->Count(), 0);  // chain E never asks anyone
  const std::string selected = " Where i.FRptId=1007 And i.FSel=1";
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre(kBaseA + selected + " and FPreparerId=7",
                  kBaseB + selected + " and FPreparerId=16394", kBaseB + selected,
                  kSettings + " and FPreparerId=7", kBaseA + selected + " and FPreparerId=7",
                  kBaseB + selected + " and FPreparerId=16394", kBaseB + selected,
                  kSettings + " and FPreparerId=7", kBaseB + selected + " and FPreparerId=7",
                  kBaseB + selected + " and FPreparerId=16394", kSettings + " and FPreparerId=7"));
  EXPECT_EQ(JournalOperations().front(), "Complete");
}

TEST_P(ReportPrintDataTest, ReportClassChoosesBySubType) {
  Selected(kUser, Variant::Null(), Bytes{1});  // not the empty sub-type for chain S
  const std::int32_t managers = Selected(kManager, "monthly", Bytes{2});
  clsPrintSetupQueryRpt query;
  EXPECT_EQ(query.GetRptNotePrintData(Dsn(), 1007, "O'Brien")->Count(), 0);
  auto found = query.GetRptNotePrintData(Dsn(), 1007, "monthly");
  EXPECT_TRUE(found->Exists("1007|" + std::to_string(managers)));
  const std::size_t statements = Observer().Statements().size();
  auto unset = query.GetRptNotePrintData(Dsn(), 1007);
  EXPECT_EQ(unset->Count(), 1);
  EXPECT_EQ(unset->Entries()[0].first, "1007|1");
  const std::string given = " Where i.FRptId=1007 And i.FTypeSub='O''Brien' And i.FSel=1";
  const std::string empty = " Where i.FRptId=1007 And i.FTypeSub='' And i.FSel=1";
  const auto texts = Observer().Texts();
  EXPECT_THAT(
      std::vector<std::string>(texts.begin(), texts.begin() + 7),
      ElementsAre(kBaseA + given + " and FPreparerId=7", kBaseB + empty + " and FPreparerId=7",
                  kBaseB + given + " and FPreparerId=16394",
                  kBaseB + empty + " and FPreparerId=16394", kBaseB + given,
                  kSettings + " and FPreparerId=7", kSettings + " and FPreparerId=16394"));
  EXPECT_EQ(texts[statements], kBaseB +
                                   " Where i.FRptId=1007 And isnull(i.FTypeSub, '') = ''  And "
                                   "i.FSel=1 and FPreparerId=7");
}

ORVO_INSTANTIATE_STORE_SUITE(ReportPrintDataTest);

}  // namespace
}  // namespace orvo
