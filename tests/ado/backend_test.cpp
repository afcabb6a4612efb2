#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ado_test_support.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

// What every backend must do with the statements the classes run.
class BackendTest : public testing::StoreTest,
                    public ::testing::WithParamInterface<orvo::testing::Backend> {
 protected:
  const orvo::testing::Backend& StoreBackend() const override { return GetParam(); }

  // Inserts a template with the statement and parameters the classes use.
  void InsertNote(const std::string& name, std::int32_t billType, const Bytes& body) {
    NewCommand(
        "Insert Into T_PrintExportNote(FName,FScreenId,FCreatorName,FModifierName,FNewBillType,"
        "FCreateDate,FModifyDate,FData) Values(?,?,?,?,?,?,?,?)",
        {{adVarChar, 255, name},
         {adVarChar, 20, billType},
         {adVarChar, 30, "Manager"},
         {adVarChar, 30, "Manager"},
         {adVarChar, 20, billType},
         {adDate, 0, Date::FromParts(2024, 5, 6, 7, 8, 9)},
         {adDate, 0, "2024-05-07 10:11:12"},
         {adLongVarBinary, 2147483647, body}})
        ->Execute();
  }

  void InsertRow(const std::string& values) {
    cn_->Execute(
        "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData,"
        "Fbilltypesub)values(" +
        values + ")");
  }
};

TEST_P(BackendTest, IdentityIsNullBeforeAnyInsertThenTheNewIdAndTopLimits) {
  auto before = cn_->Execute("select @@IDENTITY");
  EXPECT_EQ(before->Fields(0).Name(), "");
  EXPECT_TRUE(before->Fields(0).Value().IsNull());

  for (const char* name : {"A", "B", "C"}) InsertNote(name, name[0] == 'B' ? 29 : 28, Bytes{});
  const Variant id = Scalar("select @@IDENTITY");
  EXPECT_EQ(id, Variant(Scalar("select max(FId) from T_PrintExportNote").AsLong()));
  EXPECT_EQ(Scalar("select FName from T_PrintExportNote where FId=" + std::to_string(id.AsLong())),
            Variant("C"));

  // Two templates match; a trailing blank, as some callers leave one, changes nothing.
  for (const auto& [where, rows] : {std::pair{"28", 1}, {"28 ", 1}, {"30", 0}}) {
    auto top = cn_->Execute(
        std::string("Select top 1 FId From T_PrintExportNote Where FNewBillType=") + where);
    EXPECT_EQ(top->RecordCount(), rows) << where;
    EXPECT_EQ(top->Fields(0).Name(), "FId");
  }
}

TEST_P(BackendTest, TemplateChainFindsRowsWithNullOrEmptySubTypeAndNamesFields) {
  InsertNote("Body", 28, Bytes{9, 8, 7});
  const std::string id = std::to_string(Scalar("select @@IDENTITY").AsLong());
  cn_->Execute(
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) "
      "values (28," +
      id + ",'2024-05-06','Body',1,7,'')");
  const std::string chain =
      "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
      "i.FbillId=c.FId   Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1 "
      "and FPreparerId=7";
  EXPECT_EQ(
      Names(chain),
      "FBlob,FId,FBillType,FBillId,FPreparerId,FDate,FName,FData,FBillTypeSub,FSel,FPrintSet");
  auto rs = cn_->Execute(chain);
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Fields("fblob").Value(), Variant(Bytes{9, 8, 7}));
  EXPECT_EQ(rs->Fields("FBillId").Value(), Variant(std::stoi(id)));
  EXPECT_EQ(rs->Fields("FDate").Value(), Variant(Date::FromParts(2024, 5, 6)));
  EXPECT_TRUE(rs->Fields("FBillTypeSub").Value().IsNull());
}

TEST_P(BackendTest, SelectListsReportTheSpellingTheStatementWrote) {
  InsertRow("28,5,'2024-05-06','x',1,7,'','A'");
  const std::string list =
      "select fbilltype,fname,fbillid,fbilltypesub,fsel from T_PrintExport where fbilltype= 28 "
      "and fbillid>0 and FPreparerId=7";
  EXPECT_EQ(Names(list), "fbilltype,fname,fbillid,fbilltypesub,fsel");
  EXPECT_EQ(cn_->Execute(list)->Fields("FBILLTYPE").Value(), Variant(28));

  auto count = cn_->Execute(
      "select count(1) as FNoteNumber from T_PrintExport \r\n where FName = 'x' "
      "\r\n   and FBillType = 28");
  EXPECT_EQ(count->Fields(0).Name(), "FNoteNumber");
  EXPECT_EQ(count->Fields(0).Value(), Variant(1));

  auto bracketed = cn_->Execute("select [FName] from [T_PrintExport] where [FBillType]=28");
  EXPECT_EQ(bracketed->Fields(0).Name(), "FName");
  EXPECT_EQ(bracketed->Fields(0).Value(), Variant("x"));

  // The report list's grouped subquery: the newest template of each name.
  cn_->Execute(
      "insert into T_RptExcelPrintExport (FRptId,FNoteId,FPreparerId,FName) values "
      "(5,11,1,'T1'),(5,12,2,'T1'),(5,13,3,'T2'),(6,14,1,'T1')");
  auto report = cn_->Execute(
      " select distinct a.FRptId,a.fname,a.FNoteId,a.fsel from T_RptExcelPrintExport a inner join "
      " (select   FRptId,fname,max(FNoteId) FNoteId from T_RptExcelPrintExport where FRptId=5 and "
      "FNoteId>0  group by FRptId,fname) b on a.FRptId=b.FRptId and  a.fname=b.fname and  "
      "a.FNoteId=b.FNoteId ");
  EXPECT_EQ(report->Fields(1).Name(), "fname");
  std::vector<std::int32_t> ids;
  for (; !report->Eof(); report->MoveNext())
    ids.push_back(report->Fields("FNoteId").Value().AsLong());
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<std::int32_t>{12, 13}));
}

TEST_P(BackendTest, DeleteWithoutFromAndNumbersGluedToKeywordsRun) {
  InsertRow("28,5,'2024-05-06','a',0,7,'',''");
  InsertRow("28,-1,'2024-05-06','b',0,0,'',''");
  cn_->Execute(
      "Update T_PrintExport set Fbilltypesub='S',FSel=1 where fbilltype=28 and FBillID=5and "
      "FPreParerID=7");
  EXPECT_EQ(Scalar("select FSel from T_PrintExport where FBillId=5"), Variant(1));
  EXPECT_EQ(Scalar("select FName from T_PrintExport where FBillId=-1and FBillType=28"),
            Variant("b"));

  const std::string id =
      std::to_string(Scalar("select FId from T_PrintExport where FBillId=5").AsLong());
  cn_->Execute("Delete T_PrintExport Where FID=" + id);
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
}

TEST_P(BackendTest, ChineseTextIsKeptAndTextComparesWithoutAsciiCase) {
  InsertRow("28,0,'2024-05-06','存放页面设置信息',0,7,'[opt] 5and',''");
  auto rs = cn_->Execute("select * from T_PrintExport where FName='存放页面设置信息'");
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->Fields("FName").Value(), Variant("存放页面设置信息"));
  EXPECT_EQ(rs->Fields("FData").Value(), Variant("[opt] 5and"));

  InsertRow("28,0,'2024-05-06','SaveByUser',0,0,'3',''");
  EXPECT_EQ(Scalar("SELECT FData From T_PrintExport Where FBillType=0 or FName='savebyuser'"),
            Variant("3"));
  for (const char* other : {"savebyuse", " SaveByUser", "SaveByUser "}) {
    EXPECT_TRUE(
        cn_->Execute(std::string("select FId from T_PrintExport where FName='") + other + "'")
            ->Eof())
        << other;
  }
}

TEST_P(BackendTest, ValuesComeBackWithTheTypesOfTheirColumns) {
  InsertNote("C", 28, Bytes{});
  auto note = cn_->Execute("select * from T_PrintExportNote");
  EXPECT_EQ(note->Fields("FScreenId").Value(), Variant("28"));
  EXPECT_EQ(note->Fields("FNewBillType").Type(), adInteger);
  EXPECT_EQ(note->Fields("FCreateDate").Value(), Variant(Date::FromParts(2024, 5, 6, 7, 8, 9)));
  EXPECT_EQ(note->Fields("FModifyDate").Value(), Variant(Date::FromParts(2024, 5, 7, 10, 11, 12)));
  EXPECT_EQ(note->Fields("FModifyDate").Type(), adDBTimeStamp);
  // An empty byte array stays an empty byte array, not Null.
  EXPECT_EQ(note->Fields("FData").Value(), Variant(Bytes{}));
  EXPECT_EQ(note->Fields("FData").Type(), adLongVarBinary);

  NewCommand("Insert Into T_PrintExport (FBillId,FName,FData,FBillTypeSub,FSel) Values(?,?,?,?,?)",
             {{adInteger, 0, 5.0},
              {adVarChar, 255, "n"},
              {adVarChar, 255, Variant::Null()},
              {adVarChar, 255, ""},
              {adBoolean, 0, "True"}})
      ->Execute();
  auto rs = cn_->Execute("select * from T_PrintExport");
  EXPECT_EQ(rs->Fields("FBillId").Value(), Variant(5));
  EXPECT_EQ(rs->Fields("FName").Type(), adVarChar);
  EXPECT_TRUE(rs->Fields("FData").Value().IsNull());
  EXPECT_EQ(rs->Fields("FBillTypeSub").Value(), Variant(""));
  EXPECT_EQ(rs->Fields("FSel").Value(), Variant(1));  // a Boolean is stored as 1 or 0
  auto big = cn_->Execute("select 5000000000 as big");
  EXPECT_EQ(big->Fields(0).Value(), Variant(5000000000.0));
  EXPECT_EQ(big->Fields(0).Type(), adBigInt);
}

TEST_P(BackendTest, FailuresMapToStableNumbersWithTheProviderAsSource) {
  const AutomationError unknown = ErrorOf([&] { cn_->Execute("select * from T_Missing"); });
  EXPECT_EQ(unknown.number(), kErrStatementRefused);
  EXPECT_EQ(unknown.source(), GetParam().name);
  // A double-quoted name is always a name, never a text value in disguise.
  for (const char* text : {"select \"nosuchcolumn\" from T_PrintExport",
                           "create index IX_Quoted on T_PrintExport (\"nosuchcolumn\")"}) {
    EXPECT_EQ(ErrorOf([&] { cn_->Execute(text); }).number(), kErrStatementRefused) << text;
  }
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select 1; select 2"); }).number(), kErrStatementRefused);
  EXPECT_EQ(cn_->Execute("select 1;")->Fields(0).Value(), Variant(1));
  // A run that fails on its values leaves the statement ready for the next one.
  const BoundValue one{adInteger, Variant(1)}, two{adInteger, Variant(2)};
  EXPECT_EQ(ErrorOf([&] { cn_->ExecuteWith("select ? + ?", {one}); }).number(),
            kErrStatementRefused);
  EXPECT_EQ(cn_->ExecuteWith("select ? + ?", {one, two})->Fields(0).Value(), Variant(3));
  cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'a')");
  const AutomationError constraint =
      ErrorOf([&] { cn_->Execute("insert into T_PrintExport (FId,FName) values (1,'b')"); });
  EXPECT_EQ(constraint.number(), kErrConstraint);
  EXPECT_EQ(constraint.source(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Backends, BackendTest, ::testing::ValuesIn(orvo::testing::Backends()),
                         [](const auto& instance) { return instance.param.name; });

}  // namespace
}  // namespace orvo::ado
