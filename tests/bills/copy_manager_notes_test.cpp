// CopyManagerNoteInfo and CopyRptManagerNoteInfo: the first-use copy of each
// family.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "host/journal.hpp"
#include "orvo/automation/conversions.hpp"
#include "store/operator_message.hpp"
#include "support/error_of.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The statements of a copy of the manager's template 1 and his row of it,
// the template copy becoming template 2, for user 7; the values bound.
struct ManagerCopy {
  const testing::Family* family;
  const char* managerRows;
  const char* templateRow;
  const char* templateInsert;
  const char* existingRow;
  const char* rowInsert;
  const char* templateValues;
  const char* rowValues;
  std::size_t userNameSize;  // characters of the template copy's creator
  bool toOperator;           // a missing template is told to an operator, else to the debug log
};

const char* const kReportTemplateRow =
    "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,FNewRptId "
    "from T_RptExcelPrintExportNote where fid=1";
const char* const kReportTemplateInsert =
    "Insert Into T_RptExcelPrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewRptId,"
    "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)";
const char* const kReportExistingRow =
    "select * from T_RptExcelPrintExport where FRptId=28 and FNoteId=2 and FPreParerID=7";
const char* const kTemplateValues =
    "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, Byte():body";

const ManagerCopy kCopies[] = {
    {&testing::kBills,
     "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
     "T_PrintExport where fbilltype=28 and FPreparerId=16394",
     "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
     "FNewBillType from T_PrintExportNote where fid=1",
     "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
     "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
     "select * from T_PrintExport where fbilltype=28 and FBillID=2 and FPreParerID=7",
     "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,FSel,"
     "FPrintSet)  Values(?,?,?,?,?,?,?,?,?)",
     kTemplateValues,
     "Long:2, Long:28, Long:7, Date, String:Invoice, String:d, String:s, Long:1, Byte():set", 30,
     false},
    {&testing::kPartitioned,
     "select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,FBillTypeSub,FSel from "
     "T_PrintExportLM where fbilltype=28 AND FDataFrom = 1 and FPreparerId=16394",
     "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,FData,"
     "FNewBillType from T_PrintExportNoteLM where fid=1 AND FDataFrom = 1 ",
     "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
     "FCreateDate,FModifyDate,FData,FDataFrom) Values(?,?,?,?,?,?,?,?,?)",
     "select * from T_PrintExportLM where fbilltype=28 and FBillID=2 AND FDataFrom = 1 and "
     "FPreParerID=7",
     "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,FData,FBillTypeSub,"
     "FSel,FPrintSet,FDataFrom)  Values(?,?,?,?,?,?,?,?,?,?)",
     "String:Invoice, String:28, String:Alice, String:Alice, String:28, Date, Date, Byte():body, "
     "Long:1",
     "Long:2, Long:28, Long:7, Date, String:Invoice, String:d, String:s, Long:1, Byte():set, "
     "Long:1",
     30, false},
    {&testing::kReports,
     "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel from "
     "T_RptExcelPrintExport where FRptId=28 and FPreparerId=16394",
     kReportTemplateRow, kReportTemplateInsert, kReportExistingRow,
     "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,FSel,"
     "FPrintSet)  Values(?,?,?,?,?,?,?,?)",
     kTemplateValues, "Long:2, Long:28, Long:7, Date, String:Invoice, String:d, Long:1, Byte():set",
     20, true},
    {&testing::kReportClass,
     "select FId,FRptId,FNoteId,FPreparerId,FDate,FName,FData,FPrintSet,FSel,FTypeSub from "
     "T_RptExcelPrintExport where FRptId=28 and FPreparerId=16394",
     kReportTemplateRow, kReportTemplateInsert, kReportExistingRow,
     "Insert Into T_RptExcelPrintExport (FNoteId,FRptId,FPreparerId,FDate,FName,FData,FSel,"
     "FPrintSet,FTypeSub)  Values(?,?,?,?,?,?,?,?,?)",
     kTemplateValues,
     "Long:2, Long:28, Long:7, Date, String:Invoice, String:d, Long:1, Byte():set, String:s", 30,
     true},
};

// Points the debug log into the test's own directory and catches the
// operator messages instead of sending them to the system log.
class CopyManagerNotesTest : public testing::FamilyTest<ManagerCopy> {
 protected:
  void SetUp() override {
    FamilyTest::SetUp();
    if (const char* previous = std::getenv("ORVO_PYMLOG")) previous_ = previous;
    setenv("ORVO_PYMLOG", (log_.Path() / "PymLog.txt").c_str(), 1);
    store::SetOperatorMessageSink([this](std::string_view text) { told_ += text; });
  }
  void TearDown() override {
    store::SetOperatorMessageSink(nullptr);
    previous_ ? setenv("ORVO_PYMLOG", previous_->c_str(), 1) : unsetenv("ORVO_PYMLOG");
    FamilyTest::TearDown();
  }
  // What the family told about missing templates, where it tells it.
  std::string Told() const {
    if (F().toOperator) return told_;
    std::ifstream in(log_.Path() / "PymLog.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // On the pooled connection that the methods use, which is given to a copy.
  void Copy(const std::string& userName = "Alice") {
    F().family->Copy(Hub().PooledConnection(Dsn()), kUser, userName);
  }

  testing::TempDirectory log_;
  std::optional<std::string> previous_;
  std::string told_;
};

TEST_P(CopyManagerNotesTest, CopiesTheTemplateAndTheRowForTheUser) {
  const std::int32_t id = SeedTemplate(T(), 28, "Invoice", Bytes{'b', 'o', 'd', 'y'});
  SeedAssignment(T(), 28, id, kManager, "Invoice", 1, "s",
                 {{"FData", "d"}, {"FPrintSet", Bytes{'s', 'e', 't'}}});
  const Date before = Date::Now();
  Copy();
  const Date after = Date::Now();
  EXPECT_THAT(Observer().Texts(), ElementsAre(F().managerRows, F().templateRow, F().templateInsert,
                                              "select @@IDENTITY", F().existingRow, F().rowInsert));
  EXPECT_EQ(Params(2), F().templateValues);
  EXPECT_EQ(Params(5), F().rowValues);
  const Date written =
      Scalar("select FDate from " + std::string(T().rows) + " where FPreparerId=7").AsDate();
  EXPECT_LE(before.serial, written.serial);
  EXPECT_LE(written.serial, after.serial);
  // The copy has no data context of its own.
  EXPECT_TRUE(Hub().Journal().empty());
  EXPECT_EQ(Told(), "");
}

TEST_P(CopyManagerNotesTest, RowsThatKeepTheirIdAreNotCopiedTwice) {
  SeedAssignment(T(), 28, 0, kManager, "存放页面设置信息", 0, Variant::Null(),
                 {{"FData", "managers option"}});
  SeedAssignment(T(), 28, 999, kManager, "Lost", 0);  // its template is missing
  SeedManagersTemplate(T(), 28, "Invoice", Bytes{1}, 1);
  Copy();
  const std::string rows = T().rows, id = T().idColumn;
  EXPECT_EQ(Scalar("select FData from " + rows + " where FPreparerId=7 and " + id + "=0"),
            Variant("managers option"));
  EXPECT_EQ(Count(rows, "FPreparerId=7 and " + id + "=999"), 1);
  EXPECT_THAT(Told(), HasSubstr("当前单据（Lost）对应用户（Alice）的套打模板数据不存在！"));

  // Existing templates are copied again under new ids; the settings row and
  // the row of the missing template stay single.
  Copy();
  EXPECT_EQ(Count(rows, "FPreparerId=7 and " + id + " in (0, 999)"), 2);
  EXPECT_EQ(Count(rows, "FPreparerId=7 and " + id + " not in (0, 999)"), 2);
  EXPECT_EQ(Count(T().notes), 3);
}

TEST_P(CopyManagerNotesTest, AFailureReachesTheCallerAsItIsAndKeepsEarlierStatements) {
  SeedManagersTemplate(T(), 28, "Invoice", Bytes{1}, 1);
  Observer().FailAt(6, AutomationError(HResult(0x80040E2Fu), "SQLite", "constraint"));
  const AutomationError error = ErrorOf([&] { Copy(); });
  EXPECT_EQ(error.number(), HResult(0x80040E2Fu));
  EXPECT_EQ(error.source(), "SQLite");
  EXPECT_EQ(error.description(), "constraint");
  // Outside a unit of work the template copy made before the failure stays.
  EXPECT_EQ(Count(T().notes), 2);
  EXPECT_EQ(Count(T().rows, "FPreparerId=7"), 0);
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(CopyManagerNotesTest, TheCreatorsNameTakesTheCharactersOfItsParameter) {
  SeedManagersTemplate(T(), 28, "Sales", Bytes{1}, 1);
  EXPECT_EQ(ErrorOf([&] { Copy(std::string(F().userNameSize + 1, 'n')); }).number(),
            HResult(0x80040E57u));
  EXPECT_EQ(Count(T().notes), 1);
  Copy(std::string(F().userNameSize, 'n'));
  EXPECT_EQ(Count(T().notes), 2);
}

TEST_P(CopyManagerNotesTest, TemplatesElsewhereAreNeitherCopiedNorFound) {
  SeedManagersTemplate(Elsewhere(), 28, "Elsewhere", Bytes{1}, 1);
  // A row of the family whose template lies elsewhere.
  const std::int32_t foreign = SeedTemplate(Elsewhere(), 28, "Foreign", Bytes{2});
  SeedAssignment(T(), 28, foreign, kManager, "Foreign", 1);
  Copy();
  EXPECT_EQ(Count(T().notes, T().Scope()), 0);
  EXPECT_EQ(Count(Elsewhere().notes, Elsewhere().Scope()), 2);
  EXPECT_EQ(Count(T().rows,
                  "FPreparerId=7 and " + std::string(T().idColumn) + "=" + std::to_string(foreign)),
            1);
  EXPECT_THAT(Told(), HasSubstr("当前单据（Foreign）"));
}

ORVO_INSTANTIATE_FAMILY_SUITE(CopyManagerNotesTest, kCopies);

}  // namespace
}  // namespace orvo
