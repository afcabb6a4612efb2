#include "orvo/ado/connection.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "ado/connection_string.hpp"
#include "ado_test_support.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;
using testing::RecordingObserver;

TEST(ConnectionStringTest, KeysIgnoreCaseQuotedValuesHoldSemicolonsAndProvidersMustBeKnown) {
  const auto cs = ConnectionString::Parse(
      " provider = SQLite ;DATA SOURCE=/tmp/a b.db;Password=\"x;\"\"y\";Language=zh;;");
  EXPECT_EQ(cs.Provider(), "SQLite");
  EXPECT_EQ(cs.Get("Data Source"), "/tmp/a b.db");
  EXPECT_EQ(cs.Get("password"), "x;\"y");
  EXPECT_TRUE(cs.Has("LANGUAGE"));
  EXPECT_EQ(ConnectionString::Parse("Data Source=x.db").Provider(), "SQLite");

  EXPECT_EQ(ErrorOf([] { ConnectionString::Parse("Data Source=x.db;oops"); }).number(),
            HResult(0x800A0BB9u));
  EXPECT_EQ(ErrorOf([] { ConnectionString::Parse("Password='open"); }).number(),
            HResult(0x800A0BB9u));
  const AutomationError e = ErrorOf([] { Connection::Open("Provider=Oracle;Data Source=x"); });
  EXPECT_EQ(e.number(), kErrProviderNotFound);
  EXPECT_EQ(e.source(), "ADODB.Connection");
}

TEST(ConnectionStringTest, TextAfterAClosingQuoteAndEmptyKeysAreRefused) {
  // A NUL would cut the value where every database stops reading it.
  for (const std::string& text : std::vector<std::string>{
           "Data Source=\"a.db\"b", "Data Source='a.db' x;Language=zh", "=a.db",
           "Data Source=a.db; =zh", std::string("Data Source=a.db\0x", 18),
           std::string("Data Source='a.db\0x'", 20)}) {
    const AutomationError e = ErrorOf([&] { ConnectionString::Parse(text); });
    EXPECT_EQ(e.number(), HResult(0x800A0BB9u)) << text;
    EXPECT_EQ(e.source(), "ADODB.Connection") << text;
  }
  EXPECT_EQ(ErrorOf([] { ConnectionString::Parse("Data Source=\"a.db\"b"); }).description(),
            "The value of \"Data Source\" in the data source text has text after its closing "
            "quote: \"b\"");
  // Blanks around a quoted value are not text.
  EXPECT_EQ(ConnectionString::Parse("Data Source = 'a;b.db'  ;").Get("data source"), "a;b.db");
}

// However a text is malformed, no part of a password reaches an error, and
// a text shown to a person leaves the password out.
TEST(ConnectionStringTest, APasswordIsNeverShown) {
  for (const char* text :
       {"Host=h;Password='se;cret'x", "Host=h;Password se;cret", "Host=h;Password=se;cret",
        "=x;Password=secret", "Host=h;sslpassword=\"se\"cret"}) {
    const std::string description = ErrorOf([&] { ConnectionString::Parse(text); }).description();
    EXPECT_EQ(description.find("cret"), std::string::npos) << description;
  }
  EXPECT_EQ(ConnectionString::Parse("Provider=PostgreSQL;Host=h;Password=secret;User ID='a;b'")
                .ShownText(),
            "Provider=PostgreSQL;Host=h;User ID=\"a;b\"");
}

// The shown text is a data source text of its own: read again, it gives
// every key and value but the password, blanks at a value's ends included.
TEST(ConnectionStringTest, AShownTextReadsBackToTheSameValues) {
  const auto cs =
      ConnectionString::Parse("Data Source=\"\ta b.db\n\";Host=' h ';Password=x;Language=zh");
  const auto shown = ConnectionString::Parse(cs.ShownText());
  EXPECT_EQ(shown.Keys(), (std::vector<std::string>{"Data Source", "Host", "Language"}));
  for (const char* key : {"Data Source", "Host", "Language"}) {
    EXPECT_EQ(shown.Get(key), cs.Get(key)) << key;
  }
}

using SqliteConnectionTest = testing::StoreTest;

TEST_F(SqliteConnectionTest, KeysTheProviderDoesNotKnowAreRefusedBeforeAnyFileIsMade) {
  const std::string file = (dir_.Path() / "y.db").string();
  const AutomationError e =
      ErrorOf([&] { Connection::Open("Server=x;Database=" + file + ";Uid=sa;Pwd=secret"); });
  EXPECT_EQ(e.number(), HResult(0x800A0BB9u));
  EXPECT_EQ(e.source(), "ADODB.Connection");
  EXPECT_EQ(e.description(),
            "The data source text has a key that the SQLite provider does not know: \"Server\" "
            "(it knows Provider, Language, Data Source, Busy Timeout, Mode)");
  EXPECT_FALSE(std::filesystem::exists(file));
  // Keys every provider accepts, in any case, beside the backend's own.
  auto known = Connection::Open(DataSource() + ";language=CHS;BUSY TIMEOUT=100;Mode=ReadWrite");
  EXPECT_EQ(known->Provider(), "SQLite");
}

// What a connection does the same way on every backend.
class ConnectionStoreTest : public testing::StoreTest,
                            public ::testing::WithParamInterface<orvo::testing::Backend> {
 protected:
  const orvo::testing::Backend& StoreBackend() const override { return GetParam(); }
};

TEST_P(ConnectionStoreTest, ObserverSeesTheOriginalTextAndConvertedValuesAndMayStopAStatement) {
  auto observer = std::make_shared<RecordingObserver>();
  cn_->SetObserver(observer);
  NewCommand("Insert Into T_PrintExport (FBillId,FName)  Values(?,?)",
             {{adInteger, 0, 2.5}, {adVarChar, 255, 7}})
      ->Execute();
  cn_->Execute("Select top 1 [FName] From T_PrintExport Where FBillId=2and 1=1");
  EXPECT_THROW(cn_->Execute("select * from T_Missing"), AutomationError);

  ASSERT_EQ(observer->Statements().size(), 3u);
  EXPECT_EQ(observer->Statements()[0].text,
            "Insert Into T_PrintExport (FBillId,FName)  Values(?,?)");
  EXPECT_EQ(observer->Statements()[0].params, (std::vector<Variant>{Variant(2), Variant("7")}));
  EXPECT_EQ(observer->Statements()[1].text,
            "Select top 1 [FName] From T_PrintExport Where FBillId=2and 1=1");
  EXPECT_TRUE(observer->Statements()[1].finished);
  EXPECT_FALSE(observer->Statements()[1].error.has_value());
  EXPECT_EQ(observer->Statements()[2].error, kErrStatementRefused);

  // An observer that throws stops the statement before it runs.
  observer->FailAt(1, AutomationError(kErrFailure, "Test", "injected failure"));
  const AutomationError e =
      ErrorOf([&] { cn_->Execute("insert into T_PrintExport (FName) values ('two')"); });
  EXPECT_EQ(e.source(), "Test");
  EXPECT_EQ(e.description(), "injected failure");
  ASSERT_EQ(observer->Statements().size(), 4u);
  EXPECT_TRUE(observer->Statements()[3].finished);
  EXPECT_EQ(observer->Statements()[3].error, kErrFailure);
  cn_->SetObserver(nullptr);
  EXPECT_EQ(Scalar("select count(1) from T_PrintExport"), Variant(1));
}

TEST_P(ConnectionStoreTest, TextThatIsNotUtf8NeverReachesTheDatabase) {
  // Stored raw, it would read back with replacement characters and then
  // name something else.
  for (const std::string malformed :
       {"O\xC3", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
    EXPECT_EQ(ErrorOf([&] {
                cn_->Execute("insert into T_PrintExport (FName) values ('" + malformed + "')");
              }).number(),
              5);
    EXPECT_EQ(ErrorOf([&] {
                NewCommand("insert into T_PrintExport (FName) values (?)",
                           {{adVarChar, 255, malformed}})
                    ->Execute();
              }).description(),
              "The text bound to marker 1 is not valid UTF-8.");
  }
  NewCommand("insert into T_PrintExport (FName) values (?)", {{adVarChar, 255, "存 😀"}})->Execute();
  EXPECT_EQ(Scalar("select FName from T_PrintExport"), Variant("存 😀"));
}

TEST_P(ConnectionStoreTest, OnlyStatementsWithRowsOpenARecordset) {
  auto closed = cn_->Execute("insert into T_PrintExport (FName) values ('a')");
  EXPECT_EQ(closed->State(), adStateClosed);
  const AutomationError e = ErrorOf([&] { closed->Eof(); });
  EXPECT_EQ(e.number(), kErrObjectClosed);
  EXPECT_EQ(e.description(), "Operation is not allowed when the object is closed.");
  EXPECT_EQ(cn_->Execute("   ")->State(), adStateClosed);

  Recordset rs;
  rs.CursorLocation = adUseClient;
  rs.Open("select FName from T_PrintExport", cn_, adOpenForwardOnly, adLockReadOnly);
  EXPECT_EQ(rs.State(), adStateOpen);
  EXPECT_EQ(rs.Fields("FNAME").Value(), Variant("a"));
  EXPECT_EQ(ErrorOf([&] { rs.Open("select 1", cn_); }).number(), HResult(0x800A0E79u));
  rs.Close();
  EXPECT_EQ(ErrorOf([&] { rs.Open("select 1", nullptr); }).number(), HResult(0x800A0E7Du));
}

TEST_P(ConnectionStoreTest, RecordsetsOutliveDetachingAndTheirConnection) {
  cn_->Execute("insert into T_PrintExport (FName,FPrintSet) values ('kept',x'0102')");
  auto detached = cn_->Execute("select FName,FPrintSet from T_PrintExport");
  detached->SetActiveConnection(nullptr);
  auto attached = cn_->Execute("select FName from T_PrintExport");
  cn_.reset();
  attached->SetActiveConnection(nullptr);  // the last owner lets the connection go
  EXPECT_EQ(detached->Fields("fname").Value(), Variant("kept"));
  EXPECT_EQ(detached->Fields(1).Value(), Variant(Bytes{1, 2}));
  EXPECT_EQ(attached->Fields(0).Value(), Variant("kept"));
}

TEST_P(ConnectionStoreTest, TransactionsCommitOrRollBack) {
  cn_->BeginTrans();
  EXPECT_TRUE(cn_->InTransaction());
  EXPECT_EQ(ErrorOf([&] { cn_->BeginTrans(); }).number(), kErrFailure);
  cn_->Execute("insert into T_PrintExport (FName) values ('dropped')");
  cn_->RollbackTrans();
  EXPECT_FALSE(cn_->InTransaction());
  cn_->BeginTrans();
  cn_->Execute("insert into T_PrintExport (FName) values ('kept')");
  cn_->CommitTrans();
  EXPECT_EQ(ErrorOf([&] { cn_->CommitTrans(); }).number(), kErrFailure);

  // A connection that goes inside a transaction keeps none of its work.
  cn_->BeginTrans();
  cn_->Execute("insert into T_PrintExport (FName) values ('lost')");
  cn_.reset();
  cn_ = Connection::Open(DataSource());
  auto rs = cn_->Execute("select FName from T_PrintExport");
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Fields(0).Value(), Variant("kept"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionStoreTest,
                         ::testing::ValuesIn(orvo::testing::Backends()),
                         [](const auto& instance) { return instance.param.name; });

}  // namespace
}  // namespace orvo::ado
