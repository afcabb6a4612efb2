#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/template_seeds.hpp"

namespace orvo {
namespace {

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
  // The pooled connection that the methods use, reporting to the observer.
  std::shared_ptr<ado::Connection> Cn() {
    auto cn = Hub().PooledConnection(Dsn());
    cn->SetObserver(Hub().StatementObserver());
    return cn;
  }
  // One row of a query as "column=value" texts.
  std::vector<std::string> RowOf(const std::string& query) {
    std::vector<std::string> values;
    auto rows = Db().Execute(query);
    for (std::int32_t i = 0; !rows->Eof() && i < rows->FieldCount(); ++i) {
      const Variant value = rows->Fields(i).Value();
      values.push_back(rows->Fields(i).Name() + "=" +
                       (value.kind() == Variant::Kind::Bytes
                            ? "bytes:" + std::to_string(value.AsBytes().size())
                        : value.IsNull() ? "NULL"
                                         : CStr(value)));
    }
    return values;
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
  query.CopyManagerNoteInfo(Cn(), 28, kUser, "Alice");
  const Date after = Date::Now();

  const std::int32_t copy = CLng(Scalar("select max(FId) from T_PrintExportNote"));
  ASSERT_NE(copy, managers);
  EXPECT_THAT(RowOf("select FName,FScreenId,FCreatorName,FModifierName,FNewBillType,FData from "
                    "T_PrintExportNote where FId=" +
                    std::to_string(copy)),
              ElementsAre("FName=Invoice", "FScreenId=28", "FCreatorName=Alice",
                          "FModifierName=Alice", "FNewBillType=28", "FData=bytes:2"));
  EXPECT_THAT(RowOf("select FBillType,FBillId,FName,FData,FBillTypeSub,FSel,FPrintSet from "
                    "T_PrintExport where FPreparerId=7"),
              ElementsAre("FBillType=28", "FBillId=" + std::to_string(copy), "FName=Invoice",
                          "FData=d", "FBillTypeSub=s", "FSel=1", "FPrintSet=bytes:3"));
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
  const auto& template_params = Observer().Statements()[2].params;
  ASSERT_EQ(template_params.size(), 8u);
  EXPECT_EQ(template_params[1], Variant("28"));
  EXPECT_EQ(template_params[4], Variant("28"));
  EXPECT_EQ(template_params[5].kind(), Variant::Kind::Date);
  const auto& row_params = Observer().Statements()[5].params;
  ASSERT_EQ(row_params.size(), 9u);
  EXPECT_EQ(row_params[0], Variant(copy));
  EXPECT_EQ(row_params[2], Variant(7));
  // The copy has no data context of its own.
  EXPECT_TRUE(Hub().Journal().empty());
}

TEST_P(CopyManagerNotesTest, RowsThatKeepTheirIdAreNotCopiedTwice) {
  SeedSettingsRow(28, kManager, Bytes{3}, "managers option");
  SeedAssignment(kBillTables, 28, 999, kManager, "Lost", 0);  // its template is missing
  const std::int32_t managers = SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
  clsPrintSetupQuery query;
  query.CopyManagerNoteInfo(Cn(), 28, kUser, "Alice");
  EXPECT_EQ(Scalar("select FData from T_PrintExport where FPreparerId=7 and FBillId=0"),
            Variant("managers option"));
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId=999"), 1);
  EXPECT_NE(Log().find("\r\n当前单据（Lost）对应用户（Alice）的套打模板数据不存在！\r\n"),
            std::string::npos)
      << Log();

  // Existing templates are copied again under new ids; the settings row and
  // the row of the missing template stay single.
  query.CopyManagerNoteInfo(Cn(), 28, kUser, "Alice");
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId in (0, 999)"), 2);
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7 and FBillId not in (0, 999)"), 2);
  EXPECT_EQ(Count("T_PrintExportNote", "FId<>" + std::to_string(managers)), 2);
}

TEST_P(CopyManagerNotesTest, AFailureReachesTheCallerAsItIsAndKeepsEarlierStatements) {
  SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
  Observer().FailAt(6, AutomationError(HResult(0x80040E2Fu), "SQLite", "constraint"));
  clsPrintSetupQuery query;
  try {
    query.CopyManagerNoteInfo(Cn(), 28, kUser, "Alice");
    FAIL();
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), HResult(0x80040E2Fu));
    EXPECT_EQ(error.source(), "SQLite");
    EXPECT_EQ(error.description(), "constraint");
  }
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
  query.CopyManagerNoteInfo(Cn(), 28, kUser, "Alice", 1);
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
  query.CopyManagerNoteInfo(Cn(), 29, kUser, "Alice", 1);
  EXPECT_EQ(Count("T_PrintExportLM", "FPreparerId=7 and FBillId=" + std::to_string(foreign)), 1);
  EXPECT_NE(Log().find("当前单据（Foreign）"), std::string::npos);
}

TEST_P(CopyManagerNotesTest, LateBoundCallsTakeTheConnectionByReference) {
  SeedManagersTemplate(kBillTables, 28, "Invoice", Bytes{1}, 1);
  auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
  std::vector<Variant> args{Variant(DbPtr()), 28, 7, "Alice"};
  EXPECT_TRUE(query->Invoke("CopyManagerNoteInfo", args).IsEmpty());
  EXPECT_EQ(args[0].ObjectAs<ado::Connection>(), DbPtr());
  EXPECT_EQ(Count("T_PrintExport", "FPreparerId=7"), 1);
  try {
    query->Invoke("CopyManagerNoteInfo", {Variant(std::make_shared<Dictionary>()), 28, 7, "Alice"});
    FAIL();
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), kTypeMismatch);
  }
}

ORVO_INSTANTIATE_STORE_SUITE(CopyManagerNotesTest);

}  // namespace
}  // namespace orvo
