// What only the PostgreSQL backend has: the server's messages and SQLSTATEs,
// sessions the server ends, deadlocks, and the server's own way of naming.

#include "ado/postgres/postgres_backend.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ado_test_support.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

class PostgresBackendTest : public testing::StoreTest {
 protected:
  const orvo::testing::Backend& StoreBackend() const override {
    return orvo::testing::PostgresBackend();
  }
};

TEST_F(PostgresBackendTest, FailuresCarryTheServersMessageAndClass) {
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select * from T_Missing"); }).description(),
            "relation \"t_missing\" does not exist");
  // An operator's trigger that refuses a write, as the server's own checks do.
  cn_->Execute(
      "create function refuse() returns trigger language plpgsql as $$ begin raise "
      "check_violation using message = 'refused by the operator'; end $$");
  cn_->Execute(
      "create trigger Refused before insert on T_PrintExport for each row execute function "
      "refuse()");
  const AutomationError refused =
      ErrorOf([&] { cn_->Execute("insert into T_PrintExport (FName) values ('a')"); });
  EXPECT_EQ(refused.number(), kErrConstraint);
  EXPECT_EQ(refused.source(), "PostgreSQL");
  EXPECT_EQ(refused.description(), "refused by the operator");
  // The SQLSTATE travels beside the number.
  EXPECT_EQ(refused.nativeCode(), "23514");
  EXPECT_EQ(
      ErrorOf([&] { Connection::Open(DataSource() + ";Port=1;connect_timeout=2"); }).nativeCode(),
      "08001");
  // Data exceptions are statements the server refuses; a number beyond its
  // column's type does not fit.
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select 1/0"); }).number(), kErrStatementRefused);
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("update T_PrintExport set FSel = 5000000000"); }).number(),
            kErrValueDoesNotFit);
  // A text with a NUL cannot travel; nothing is cut.
  EXPECT_EQ(ErrorOf([&] {
              cn_->ExecuteWith("select ?", {{adVarChar, Variant(std::string("a\0b", 3))}});
            }).number(),
            kErrValueDoesNotFit);
}

// The names callers pass find their business tables as the server does,
// and never the server's own catalogues.
TEST_F(PostgresBackendTest, CallersNamesFindTablesAsTheServerReadsThem) {
  cn_->Execute("create table \"Mixed\" (\"Id\" integer)");
  const auto columns = [&](std::vector<NamePart> name) { return cn_->TableColumns(name); };
  EXPECT_TRUE(columns({{"t_printexport", true}}).has_value());
  EXPECT_TRUE(columns({{"T_PRINTEXPORT", true}}).has_value());
  EXPECT_TRUE(columns({{"T_PrintExport", false, true}}).has_value());  // [T_PrintExport]
  EXPECT_FALSE(columns({{"T_PrintExport", false}}).has_value());       // "T_PrintExport"
  EXPECT_TRUE(columns({{"Mixed", false}}).has_value());
  EXPECT_FALSE(columns({{"Mixed", true}}).has_value());
  const std::string database = CStr(Scalar("select current_database()"));
  const std::string schema = CStr(Scalar("select current_schema()"));
  EXPECT_TRUE(columns({{database, true}, {schema, true}, {"T_PrintExport", true}}).has_value());
  EXPECT_FALSE(columns({{"elsewhere", true}, {schema, true}, {"T_PrintExport", true}}));
  for (const char* catalogue : {"pg_authid", "pg_class", "pg_user", "tables"}) {
    EXPECT_FALSE(columns({{catalogue, true}}).has_value()) << catalogue;
  }
  EXPECT_FALSE(columns({{"pg_catalog", true}, {"pg_authid", true}}).has_value());
  EXPECT_FALSE(columns({{"information_schema", true}, {"tables", true}}).has_value());
  // Columns: a bare or bracketed name in lower case, a quoted one exactly.
  EXPECT_TRUE(cn_->NamesColumn({"FNAME", true}, "fname"));
  EXPECT_TRUE(cn_->NamesColumn({"FName", false, true}, "fname"));
  EXPECT_FALSE(cn_->NamesColumn({"FName", false}, "fname"));
  EXPECT_TRUE(cn_->NamesColumn({"Id", false}, "Id"));
  EXPECT_TRUE(cn_->IsKeyword("select"));
  EXPECT_FALSE(cn_->IsKeyword("name"));  // a keyword the server lets name a column
}

TEST_F(PostgresBackendTest, ASessionTheServerEndedIsReplacedWhenTheNextUnitOfWorkBegins) {
  const Variant pid = Scalar("select pg_backend_pid()");
  auto other = Connection::Open(DataSource());
  other->ExecuteWith("select pg_terminate_backend(?)", {{adInteger, pid}});
  // The session is gone; a statement outside a unit of work meets it.
  EXPECT_EQ(ErrorOf([&] { cn_->Execute("select 1"); }).number(), kErrFailure);
  EXPECT_TRUE(cn_->Broken());
  // A unit of work begins on a new session and sees everything.
  cn_->BeginTrans();
  EXPECT_EQ(Scalar("select count(*) from T_PrintExport"), Variant(0));
  cn_->CommitTrans();
  EXPECT_FALSE(cn_->Broken());
}

TEST_F(PostgresBackendTest, ADeadlockEndsOneTransactionAsTransient) {
  cn_->Execute("insert into T_PrintExport (FId, FName) values (1, 'a'), (2, 'b')");
  auto other = Connection::Open(DataSource());
  cn_->BeginTrans();
  other->BeginTrans();
  cn_->Execute("update T_PrintExport set FSel = 1 where FId = 1");
  other->Execute("update T_PrintExport set FSel = 2 where FId = 2");
  std::atomic<int> transient = 0;
  const auto crossOver = [&](Connection& connection, int id) {
    try {
      connection.Execute("update T_PrintExport set FSel = 3 where FId = " + std::to_string(id));
    } catch (const TransientError& error) {
      EXPECT_EQ(error.number(), kErrFailure);
      EXPECT_EQ(error.nativeCode(), "40P01");
      ++transient;
    }
  };
  std::thread second([&] { crossOver(*other, 1); });
  crossOver(*cn_, 2);
  second.join();
  EXPECT_EQ(transient, 1);
  cn_->RollbackTrans();
  other->RollbackTrans();
}

}  // namespace
}  // namespace orvo::ado
