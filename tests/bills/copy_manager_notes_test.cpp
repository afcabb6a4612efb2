#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

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

// Points the debug log into the test's own directory.
class CopyManagerNotesTest : public testing::TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    if (const char* previous = std::getenv("ORVO_PYMLOG")) previous_ = previous;
    setenv("ORVO_PYMLOG", (log_.Path() / "PymLog.txt").c_str(), 1);
  }
  void TearDown() override {
    previous_ ? setenv("ORVO_PYMLOG", previous_->c_str(), 1) : unsetenv("ORVO_PYMLOG");
    TemplateTest::TearDown();
  }
  std::string Log() const {
    std::ifstream in(log_.Path() / "PymLog.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  testing::TempDirectory log_;
  std::optional<std::string> previous_;
};

TEST_P(CopyManagerNotesTest, CopiesTheTemplateAndTheRowForTheUser) {
  const std::int32_t managers = SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1, 2}, 1);
  Exec("update T_PrintExport set FData='d', FBillTypeSub='s', FPrintSet=? where FBillId=?",
       {Bytes{7, 7, 7}, managers});
  const Date before = Date::Now();
  clsPrintSetupQuery query;
  query.CopyManagerNoteInfo(ObservedConnection(), 28, kUser, "Alice");
  const Date after = Date::Now();

  const std::int32_t copy = CLng(Scalar("select max(FId) from T_PrintExportNote"));
  ASSERT_NE(copy, managers);
  EXPECT_EQ(Count("T_PrintExportNote",
                  "FName='Invoice' and FScreenId='28' and FCreatorName='Alice' "
                  "and FModifierName='Alice' and FNewBillType=28 and "
                  "length(FData)=2 and FId=" +
                      std::to_string(copy)),
            1);
  EXPECT_EQ(Count("T_PrintExport",
                  "FBillType=28 and FName='Invoice' and FData='d' and "
                  "FBillTypeSub='s' and FSel=1 and length(FPrintSet)=3 and "
                  "FPreparerId=7 and FBillId=" +
                      std::to_string(copy)),
            1);
  const Date written = Scalar("select FDate from T_PrintExport where FPreparerId=7").AsDate();
  EXPECT_LE(before.serial, written.serial);
  EXPECT_LE(written.serial, after.serial);

  const std::string id = std::to_string(managers);
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,"
                  "FBillTypeSub,FSel from T_PrintExport where fbilltype=28 and FPreparerId=16394",
                  "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,"
                  "FData,FNewBillType from T_PrintExportNote where fid=" +
                      id,
                  "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,"
                  "FNewBillType,FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "select * from T_PrintExport where fbilltype=28 and FBillID=" +
                      std::to_string(copy) + " and FPreParerID=7",
                  "Insert Into T_PrintExport (FBillId,FBillType,FPreparerId,FDate,FName,FData,"
                  "FBillTypeSub,FSel,FPrintSet)  Values(?,?,?,?,?,?,?,?,?)"));
  EXPECT_EQ(Observer().Statements()[5].params[0], Variant(copy));
  // The copy has no data context of its own.
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(CopyManagerNotesTest, RowsThatKeepTheirIdAreNotCopiedTwice) {
  SeedSettingsRow(28, kManager, Bytes{3}, "managers option");
  SeedAssignment(kBillTables, 28, 999, kManager, "Lost", 0);  // its template is missing
  const std::int32_t managers = SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
  clsPrintSetupQuery query;
  query.CopyManagerNoteInfo(ObservedConnection(), 28, kUser, "Alice");
  EXPECT_EQ(Scalar("select FData from T_PrintExport where FPreparerId=7 and FBillId=0"),
            Variant("managers option"));
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId=999"), 1);
  EXPECT_NE(Log().find("\r\n当前单据（Lost）对应用户（Alice）的套打模板数据不存在！\r\n"),
            std::string::npos)
      << Log();

  // Existing templates are copied again under new ids; the settings row and
  // the row of the missing template stay single.
  query.CopyManagerNoteInfo(ObservedConnection(), 28, kUser, "Alice");
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId in (0, 999)"), 2);
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId not in (0, 999)"), 2);
  EXPECT_EQ(Count("T_PrintExportNote", "FId<>" + std::to_string(managers)), 2);
}

TEST_P(CopyManagerNotesTest, AFailureReachesTheCallerAsItIsAndKeepsEarlierStatements) {
  SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
  Observer().FailAt(6, AutomationError(HResult(0x80040E2Fu), "SQLite", "constraint"));
  clsPrintSetupQuery query;
  const AutomationError error =
      ErrorOf([&] { query.CopyManagerNoteInfo(ObservedConnection(), 28, kUser, "Alice"); });
  EXPECT_EQ(error.number(), HResult(0x80040E2Fu));
  EXPECT_EQ(error.source(), "SQLite");
  EXPECT_EQ(error.description(), "constraint");
  // Outside a unit of work the template copy made before the failure stays.
  EXPECT_EQ(Count("T_PrintExportNote"), 2);
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 0);
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(CopyManagerNotesTest, PartitionedClassCopiesWithinItsPartition) {
  const testing::Columns partition{{"FDataFrom", 1}};
  const std::int32_t managers =
      SeedManagersTemplate(kBillTablesLM, 28, "Invoice", Bytes{1}, 1, partition);
  SeedManagersTemplate(kBillTablesLM, 28, "Elsewhere", Bytes{2}, 1, {{"FDataFrom", 2}});
  clsPrintSetupQueryLM query;
  query.CopyManagerNoteInfo(ObservedConnection(), 28, kUser, "Alice", 1);
  const std::int32_t copy = CLng(Scalar("select max(FId) from T_PrintExportNoteLM"));
  EXPECT_EQ(
      Count("T_PrintExportLM", "FPreparerId=7 and FDataFrom=1 and FBillId=" + std::to_string(copy)),
      1);
  EXPECT_EQ(Count("T_PrintExportNoteLM", "FDataFrom=1"), 2);
  EXPECT_EQ(Count("T_PrintExportLM", "FPreparerId=7"), 1);
  EXPECT_THAT(
      Observer().Texts(),
      ElementsAre("select FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FPrintSet,"
                  "FBillTypeSub,FSel from T_PrintExportLM where fbilltype=28 AND FDataFrom = 1 and "
                  "FPreparerId=16394",
                  "select FID,FName,FScreenID,FCreatorName,FModifierName,FCreateDate,FModifyDate,"
                  "FData,FNewBillType from T_PrintExportNoteLM where fid=" +
                      std::to_string(managers) + " AND FDataFrom = 1 ",
                  "Insert Into T_PrintExportNoteLM(FName,FScreenId,FCreatorName,FModifierName,"
                  "FNewBillType,FCreateDate,FModifyDate,FData,FDataFrom) Values(?,?,?,?,?,?,?,?,?)",
                  "select @@IDENTITY",
                  "select * from T_PrintExportLM where fbilltype=28 and FBillID=" +
                      std::to_string(copy) + " AND FDataFrom = 1 and FPreParerID=7",
                  "Insert Into T_PrintExportLM (FBillId,FBillType,FPreparerId,FDate,FName,FData,"
                  "FBillTypeSub,FSel,FPrintSet,FDataFrom)  Values(?,?,?,?,?,?,?,?,?,?)"));

  // A row of the partition whose template lies in another one finds it missing.
  const std::int32_t foreign =
      SeedTemplate(kBillTablesLM, 29, "Foreign", Bytes{3}, {{"FDataFrom", 2}});
  SeedAssignment(kBillTablesLM, 29, foreign, kManager, "Foreign", 1, Variant::Null(), partition);
  query.CopyManagerNoteInfo(ObservedConnection(), 29, kUser, "Alice", 1);
  EXPECT_EQ(Count("T_PrintExportLM", "FPreparerId=7 and FBillId=" + std::to_string(foreign)), 1);
  EXPECT_NE(Log().find("当前单据（Foreign）"), std::string::npos);
}

// The choices of modiData: "Option", and one entry of "Data".
std::shared_ptr<Dictionary> Choice(const std::string& option, const std::string& key,
                                   const std::string& name, const Variant& sel,
                                   const std::string& type) {
  auto entry = std::make_shared<Dictionary>();
  entry->SetValue("FKey", key);
  entry->SetValue("FName", name);
  entry->SetValue("FSel", sel);
  entry->SetValue("FType", type);
  auto data = std::make_shared<Vector>();
  data->Add(Variant(entry));
  auto modi = std::make_shared<Dictionary>();
  modi->SetValue("Option", option);
  modi->SetObject("Data", data);
  return modi;
}

// A value the copy binds with a size or as a 32-bit number is refused when
// it is written, whichever member writes it, so that nothing the manager
// writes stops another user's first copy.
TEST_P(CopyManagerNotesTest, NoWriteOfTheManagerStopsAnotherUsersFirstCopy) {
  SignIn(kManager, "Manager");
  clsPrintSetupUpdate update;
  clsPrintSetupUpdateLM partitioned;
  clsPrintSetupUpdateRpt report;
  const auto id = [](const std::shared_ptr<Vector>& row) { return CStr(row->Item(1)); };
  const std::string bill = "28|" + id(update.InsertNoteRow(Dsn(), 28, "Invoice", Bytes{1}));
  const std::string lm = "28|" + id(partitioned.InsertNoteRow(Dsn(), 28, "Invoice", Bytes{1}, 3));
  const std::string rpt = "40|" + id(update.InsertRptNoteRow(Dsn(), 40, "Sales", Bytes{1}));
  const std::string long_text(256, 'x');
  struct Write {
    std::string what;
    std::function<void(const std::shared_ptr<Dictionary>& modi)> call;
    std::string key;
  };
  const Write writers[] = {
      {"bills", [&](auto& modi) { update.UpdateUserNoteData(Dsn(), 28, modi); }, bill},
      {"partitioned", [&](auto& modi) { partitioned.UpdateUserNoteData(Dsn(), 28, modi, 3); }, lm},
      {"reports", [&](auto& modi) { update.UpdateUserRptNoteData(Dsn(), 40, modi); }, rpt},
      {"report class", [&](auto& modi) { report.UpdateUserRptNoteData(Dsn(), 40, modi); }, rpt}};
  const std::string before = Snapshot();
  for (const Write& write : writers) {
    // The choice of a template the user has no row for yet inserts one, so
    // its name is written too.
    const std::shared_ptr<Dictionary> unfit[] = {
        Choice(long_text, write.key, "n", 1, ""),      Choice("o", "0|99", long_text, 1, ""),
        Choice("o", write.key, "n", 1, long_text),     Choice("o", write.key, "n", "1e20", ""),
        Choice("o", write.key, "n", "2147483648", ""), Choice("o", "0|99", "n", 1.5, "")};
    for (const auto& modi : unfit) {
      const AutomationError error = ErrorOf([&] { write.call(modi); });
      EXPECT_EQ(error.number(), HResult(0x80040E57u)) << write.what << ": " << error.description();
      EXPECT_EQ(Snapshot(), before) << write.what;
    }
  }
  EXPECT_EQ(ErrorOf([&] { update.InsertNoteRow(Dsn(), 28, long_text, Bytes{1}); }).number(),
            HResult(0x80040E57u));

  SignIn(8, "Bob");
  clsPrintSetupQuery query;
  clsPrintSetupQueryLM queryLM;
  EXPECT_EQ(query.GetNoteInfo(Dsn(), 28)->Value("Data").ObjectAs<Vector>()->Count(), 1);
  EXPECT_EQ(queryLM.GetNoteInfo(Dsn(), 28, 3)->Value("Data").ObjectAs<Vector>()->Count(), 1);
  EXPECT_EQ(query.GetRptNoteInfo(Dsn(), 40)->Value("Data").ObjectAs<Vector>()->Count(), 1);
  SignIn(9, "Carol");
  update.SavePageAndPrintSet(Dsn(), 28, Bytes{5});
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=9 and FBillId=0"), 1);
  EXPECT_EQ(Count("T_PrintExportNote", "FCreatorName='Bob'"), 1);
}

ORVO_INSTANTIATE_STORE_SUITE(CopyManagerNotesTest);

}  // namespace
}  // namespace orvo
