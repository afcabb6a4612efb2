#include "ado/sqlite/sqlite_backend.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ado_test_support.hpp"
#include "orvo/automation/ascii.hpp"
#include "support/processes_at_once.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

class SqliteBackendTest : public testing::StoreTest {
 protected:
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

TEST_F(SqliteBackendTest, IdentityIsNullBeforeAnyInsertThenTheNewIdAndTopLimits) {
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

TEST_F(SqliteBackendTest, TemplateChainFindsRowsWithNullOrEmptySubTypeAndNamesFields) {
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

TEST_F(SqliteBackendTest, SelectListsReportTheSpellingTheStatementWrote) {
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

TEST_F(SqliteBackendTest, DeleteWithoutFromAndNumbersGluedToKeywordsRun) {
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

TEST_F(SqliteBackendTest, ChineseTextIsKeptAndTextComparesWithoutAsciiCase) {
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
  // Only ASCII letters fold; other characters compare as they are.
  InsertRow("28,0,'2024-05-06','É',0,0,'',''");
  EXPECT_TRUE(cn_->Execute("select FId from T_PrintExport where FName='é'")->Eof());
}

TEST_F(SqliteBackendTest, ValuesComeBackWithTheTypesOfTheirColumns) {
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

TEST_F(SqliteBackendTest, FailuresMapToStableNumbersWithSQLitesMessage) {
  const AutomationError unknown = ErrorOf([&] { cn_->Execute("select * from T_Missing"); });
  EXPECT_EQ(unknown.number(), kErrStatementRefused);
  EXPECT_EQ(unknown.source(), "SQLite");
  EXPECT_EQ(unknown.description(), "no such table: T_Missing");
  // A double-quoted name is always a name, never a text value in disguise.
  for (const char* text : {"select \"nosuchcolumn\" from T_PrintExport",
                           "create index IX_Quoted on T_PrintExport (\"nosuchcolumn\")"}) {
    const AutomationError quoted = ErrorOf([&] { cn_->Execute(text); });
    EXPECT_EQ(quoted.number(), kErrStatementRefused) << text;
    EXPECT_EQ(quoted.description(), "no such column: nosuchcolumn") << text;
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
  EXPECT_EQ(constraint.description(), "UNIQUE constraint failed: T_PrintExport.FId");

  for (const char* option : {";Busy Timeout=soon", ";Mode=Write", ";Mode=Share Deny None"}) {
    EXPECT_EQ(ErrorOf([&] { Connection::Open(DataSource() + option); }).number(), kErrFailure)
        << option;
  }
  EXPECT_EQ(ErrorOf([&] { Connection::Open(DataSource() + ";Mode=Write"); }).description(),
            "Mode must be Read or ReadWrite, not \"Write\"");
}

TEST_F(SqliteBackendTest, AMissingDatabaseIsAnErrorUnlessCreatingItIsAskedFor) {
  const std::filesystem::path file = dir_.Path() / "typo.db";
  const std::string dsn = "Provider=SQLite;Data Source=" + file.string();
  for (const std::string& text : {dsn, dsn + ";Mode=Read"}) {
    const AutomationError missing = ErrorOf([&] { Connection::Open(text); });
    EXPECT_EQ(missing.number(), kErrFailure);
    EXPECT_EQ(missing.source(), "SQLite");
    EXPECT_EQ(missing.description(), "The database file \"" + file.string() + "\" does not exist");
  }
  EXPECT_FALSE(std::filesystem::exists(file));

  Connection::Open(dsn, IfMissing::Create)->Execute("create table t (a integer)");
  EXPECT_EQ(Connection::Open(dsn)->Execute("select count(1) from t")->Fields(0).Value(),
            Variant(0));
  // Creating still needs the folder.
  const AutomationError unopenable = ErrorOf([&] {
    Connection::Open("Data Source=" + (dir_.Path() / "missing" / "x.db").string(),
                     IfMissing::Create);
  });
  EXPECT_EQ(unopenable.number(), kErrFailure);
  EXPECT_EQ(unopenable.description(), "unable to open database file");
}

TEST_F(SqliteBackendTest, ALockedDatabaseIsAFailureAfterTheBusyTimeout) {
  cn_->BeginTrans();
  cn_->Execute("insert into T_PrintExport (FName) values ('held')");
  auto other = Connection::Open(DataSource() + ";Busy Timeout=0");
  const AutomationError locked =
      ErrorOf([&] { other->Execute("insert into T_PrintExport (FName) values ('blocked')"); });
  EXPECT_EQ(locked.number(), kErrFailure);
  EXPECT_EQ(locked.description(), "database is locked");
  // WAL lets the other connection read what was committed meanwhile.
  EXPECT_EQ(other->Execute("select count(1) from T_PrintExport")->Fields(0).Value(), Variant(0));
  cn_->CommitTrans();
  other->Execute("insert into T_PrintExport (FName) values ('after')");
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(2));
}

TEST_F(SqliteBackendTest, OpeningAndReadingChangeNothingAndWorkWhereWritingIsNotAllowed) {
  cn_->Execute("insert into T_PrintExport (FName) values ('kept')");
  // A store in the rollback journal mode, which another program may have
  // chosen, while a reader holds its lock: opening neither waits nor fails.
  cn_->Execute("PRAGMA journal_mode=DELETE");
  cn_->BeginTrans(TransactionKind::Reading);
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
  for (const char* mode : {"", ";Mode=ReadWrite", ";Mode=Read"}) {
    auto reader = Connection::Open(DataSource() + mode + ";Busy Timeout=0");
    reader->BeginTrans(TransactionKind::Reading);
    EXPECT_EQ(reader->Execute("select FName from T_PrintExport")->Fields(0).Value(),
              Variant("kept"))
        << mode;
    reader->CommitTrans();
  }
  cn_->CommitTrans();
  // The journal mode belongs to the store; no connection changes it.
  EXPECT_EQ(Scalar("PRAGMA journal_mode"), Variant("delete"));

  auto reader = Connection::Open(DataSource() + ";mode=read");
  const AutomationError refused =
      ErrorOf([&] { reader->Execute("insert into T_PrintExport (FName) values ('lost')"); });
  EXPECT_EQ(refused.number(), kErrFailure);
  EXPECT_EQ(refused.description(), "attempt to write a readonly database");
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
}

// Several processes make their first calls on one store at once: each opens
// a connection and runs a reading and a writing unit of work, again and
// again, on a store in WAL mode (as stores are made) and on one in the
// rollback journal mode. They wait for each other within the busy timeout;
// none is refused.
TEST(SqliteProcessesTest, FirstCallsOfSeveralProcessesAtOnceWaitForEachOther) {
  for (const char* journal : {"WAL", "DELETE"}) {
    SCOPED_TRACE(journal);
    orvo::testing::TempDirectory directory;
    const std::string dsn = directory.SqliteDsn();
    {
      auto creating = Connection::Open(dsn, IfMissing::Create);
      creating->Execute(std::string("PRAGMA journal_mode=") + journal);
      creating->Execute("create table t (id integer primary key, process integer)");
    }
    constexpr int kProcesses = 6;
    constexpr int kRounds = 10;
    const auto ends = orvo::testing::RunProcessesAtOnce(kProcesses, [&](int process) {
      for (int round = 0; round < kRounds; ++round) {
        auto connection = Connection::Open(dsn);
        connection->BeginTrans(TransactionKind::Reading);
        connection->Execute("select count(*) from t");
        connection->CommitTrans();
        connection->BeginTrans(TransactionKind::Writing);
        connection->Execute("insert into t (process) values (" + std::to_string(process) + ")");
        connection->CommitTrans();
      }
      return 0;
    });
    for (const orvo::testing::ProcessEnd& end : ends) {
      EXPECT_EQ(end.exitCode, 0) << end.error;
    }
    auto check = Connection::Open(dsn);
    EXPECT_EQ(check->Execute("select count(*) from t")->Fields(0).Value(),
              Variant(kProcesses * kRounds));
    EXPECT_EQ(check->Execute("PRAGMA journal_mode")->Fields(0).Value(),
              Variant(ascii::EqualsIgnoreCase(journal, "WAL") ? "wal" : "delete"));
  }
}

}  // namespace
}  // namespace orvo::ado
