#include "store/postgres/schema_postgres.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "support/each_statement_failed.hpp"
#include "support/error_of.hpp"
#include "support/processes_at_once.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using orvo::testing::ErrorOf;
using Action = SchemaOutcome::Action;

// What the server holds in the test's schema, read from its catalogue: every
// relation with its kind, and the store's collation with its comment.
constexpr const char* kObjects =
    "select coalesce(string_agg(c.relname || ':' || cast(c.relkind as text), ' ' order by "
    "c.relname), '') || "
    "' / ' || coalesce((select string_agg(k.collname || ':' || "
    "coalesce(obj_description(k.oid, 'pg_collation'), '-'), ' ') from pg_collation k where "
    "k.collnamespace = n.oid), '') from pg_namespace n left join pg_class c on c.relnamespace = "
    "n.oid where n.nspname = current_schema() group by n.oid";

// The store's schema on the PostgreSQL backend, in a schema of the test's own.
class PostgresSchemaTest : public testing::StoreFixture {
 protected:
  const testing::Backend& StoreBackend() const override { return *postgres_; }

  void SetUp() override {
    for (const testing::Backend& backend : testing::Backends()) {
      if (backend.name == "PostgreSQL") postgres_ = backend;
    }
    if (!postgres_) GTEST_SKIP() << "no PostgreSQL backend in this build and environment";
    StoreFixture::SetUp();
  }
  void TearDown() override {
    if (postgres_) StoreFixture::TearDown();
  }

  std::string Objects() { return CStr(Scalar(kObjects)); }

  // Takes the history away, leaving the store as the first schema made it.
  void DropHistory() {
    for (const std::string& table : TableNames()) {
      Exec("drop table " + table + "_History");
      Exec("drop function " + table + "_History_Keep() cascade");
    }
    Exec("drop table T_PrintHistorySettings");
    Exec("drop sequence orvo_history_version");
  }

  // Takes the store away, collation and all, leaving the schema empty.
  void DropStore() {
    DropHistory();
    for (const std::string& table : TableNames()) Exec("drop table " + table);
    Exec("drop collation orvo_ci");
    ASSERT_EQ(Objects(), " / ");
  }

  // Setting up the store as it is now is refused with `description`, and the
  // schema is left exactly as it was, its one row in T_PrintExportNote too.
  void ExpectRefusedAndUntouched(const std::string& description) {
    const std::string objects = Objects();
    const AutomationError error = ErrorOf([&] { CreateStore(Dsn(), nullptr); });
    EXPECT_EQ(error.number(), HResult(0x80004005u));
    EXPECT_EQ(error.source(), "OrvoMPrintExport");
    EXPECT_EQ(error.description(), description);
    EXPECT_EQ(Objects(), objects);
    EXPECT_EQ(Row("T_PrintExportNote", "FName", "1=1"), "kept");
  }

 private:
  std::optional<testing::Backend> postgres_;
};

TEST_F(PostgresSchemaTest, ANewStoreHasLowerCaseNamesAndItsVersionInItsCollationsComment) {
  // What an operator's psql shows: names in lower case, so that unquoted
  // names in any case find them, and the store's version.
  EXPECT_EQ(CStr(Scalar("select string_agg(tablename, ' ' order by tablename) from pg_tables "
                        "where schemaname = current_schema()")),
            "t_printexport t_printexport_history t_printexportlm t_printexportlm_history "
            "t_printexportnote t_printexportnote_history t_printexportnotelm "
            "t_printexportnotelm_history t_printhistorysettings t_rptexcelprintexport "
            "t_rptexcelprintexport_history t_rptexcelprintexportnote "
            "t_rptexcelprintexportnote_history");
  EXPECT_EQ(
      CStr(Scalar("select obj_description(oid, 'pg_collation') from pg_collation where "
                  "collname = 'orvo_ci' and collnamespace = to_regnamespace(current_schema())")),
      "OrvoMPrintExport store, schema version 6");
  EXPECT_EQ(CStr(Scalar("select obj_description(to_regclass('t_rptexcelprintexportnote'), "
                        "'pg_class')")),
            "T_RptExcelPrintExportNote");
  // The tables' and, one each, their histories'.
  EXPECT_EQ(Count("pg_indexes", "schemaname = current_schema() and indexname like 'ix_%'"), 17 + 6);

  // The schema is only read when it is current and complete; a lost index
  // comes back.
  Exec("drop index IX_PrintExportNote_Creator");
  const SchemaOutcome again = CreateSchema(Db());
  EXPECT_EQ(again.action, Action::Current);
  EXPECT_EQ(again.fromVersion, 6);
  EXPECT_EQ(Count("pg_indexes",
                  "schemaname = current_schema() and indexname = "
                  "'ix_printexportnote_creator'"),
            1);
}

// Unlike SQLite's NOCASE, the server's collation folds the case of every
// script and, on bpchar, compares without trailing blanks, bound values too;
// the value keeps them as written (and they count towards its size, as
// SchemaTest shows on every backend).
TEST_F(PostgresSchemaTest, TextComparesWithoutCaseOfAnyScriptAndWithoutTrailingBlanks) {
  InsertRow("T_PrintExport", {{"FName", "Ärger 存放  "}, {"FSel", 1}});
  InsertRow("T_PrintExport", {{"FName", "b"}, {"FSel", 2}});
  InsertRow("T_PrintExport", {{"FName", "B  "}, {"FSel", 3}});
  InsertRow("T_PrintExport", {{"FName", "a "}, {"FSel", 4}});
  EXPECT_EQ(Row("T_PrintExport", "FName", "FSel=1"), "Ärger 存放  ");
  EXPECT_EQ(Count("T_PrintExport", "FName='äRGER 存放'"), 1);
  EXPECT_EQ(Count("T_PrintExport", "FName='ärger 存放     '"), 1);
  EXPECT_EQ(Count("T_PrintExport", "FName in ('x', 'ÄRGER 存放 ')"), 1);
  EXPECT_EQ(Count("T_PrintExport", "FName=' ärger 存放'"), 0);
  EXPECT_EQ(Count("T_PrintExport", "FName='Arger 存放'"), 0);  // accents count
  Exec("update T_PrintExport set FSel = 9 where FName = ?", {"ÄRGER 存放   "});
  EXPECT_EQ(Row("T_PrintExport", "FName", "FSel=9"), "Ärger 存放  ");

  EXPECT_EQ(CStr(Scalar("select string_agg(n, ' ' order by n) from (select "
                        "cast(count(1) as text) as n from T_PrintExport group by FName) g")),
            "1 1 2");
  EXPECT_EQ(CStr(Scalar("select string_agg(cast(FSel as text), ' ' order by FName, FSel) from "
                        "T_PrintExport")),
            "4 9 2 3");
}

TEST_F(PostgresSchemaTest, AStoreOfAnotherVersionOrOfNoneIsLeftAsItWas) {
  InsertRow("T_PrintExportNote", {{"FName", "kept"}});
  Exec("comment on collation orvo_ci is 'OrvoMPrintExport store, schema version 7'");
  ExpectRefusedAndUntouched(
      "The store has schema version 7, newer than the version 6 that this library knows; it was "
      "left as it was.");
  Exec("comment on collation orvo_ci is 'OrvoMPrintExport store, schema version 2'");
  ExpectRefusedAndUntouched(
      "The store has schema version 2, which this library never made on PostgreSQL (its stores "
      "there begin at version 3); it was left as it was.");

  // Tables of the store's names that this library did not make: another
  // program's, in a schema that has no store collation.
  const std::string schema = CStr(Scalar("select current_schema()"));
  DropStore();
  Exec("create table T_PrintExportNote (FId integer, FName text)");
  Exec("insert into T_PrintExportNote (FName) values ('kept')");
  ExpectRefusedAndUntouched("The schema " + schema +
                            " holds tables of the store's names but no store version (the "
                            "comment of the collation orvo_ci): this library did not make them, "
                            "and left them as they were.");
}

TEST_F(PostgresSchemaTest, AStoreWithoutHistoryGainsAnEmptyOneAndKeepsEveryRow) {
  InsertRow("T_PrintExportNote", {{"FName", "kept"}});
  DropHistory();
  Exec("comment on collation orvo_ci is 'OrvoMPrintExport store, schema version 3'");
  const SchemaOutcome upgraded = CreateSchema(Db());
  EXPECT_EQ(upgraded.action, Action::Upgraded);
  EXPECT_EQ(upgraded.fromVersion, 3);
  EXPECT_EQ(Row("T_PrintExportNote", "FName", "1=1"), "kept");
  EXPECT_EQ(Count("T_PrintExportNote_History"), 0);
  Exec("update T_PrintExportNote set FName = 'changed'");
  EXPECT_EQ(Row("T_PrintExportNote_History", "FName, FChange", "1=1"), "kept|update");
  EXPECT_EQ(CreateSchema(Db()).action, Action::Current);
}

TEST_F(PostgresSchemaTest, AFailureAnywhereInMakingTheStoreLeavesTheSchemaEmpty) {
  DropStore();
  int failures = 0;
  const SchemaOutcome made = testing::WithEachStatementFailed(
      Dsn(), [](ado::Connection& connection) { return CreateSchema(connection); },
      [&](int n, ado::Connection& connection) {
        EXPECT_EQ(Objects(), " / ") << "failed at statement " << n;
        EXPECT_FALSE(connection.InTransaction()) << "failed at statement " << n;
      },
      failures);
  EXPECT_EQ(made.action, Action::Created);
  // At least the tables, their indexes and their comments.
  EXPECT_GT(failures, 6 + 17 + 6);
}

TEST_F(PostgresSchemaTest, ProcessesSettingUpOneStoreAtOnceMakeItOnce) {
  DropStore();
  const auto ends = testing::RunProcessesAtOnce(
      4, [&](int) { return static_cast<int>(CreateStore(Dsn(), nullptr).action); });
  std::map<Action, int> actions;
  for (const testing::ProcessEnd& end : ends) {
    ASSERT_LT(end.exitCode, 3) << end.error;
    ++actions[static_cast<Action>(end.exitCode)];
  }
  EXPECT_EQ(actions, (std::map<Action, int>{{Action::Created, 1}, {Action::Current, 3}}));
}

}  // namespace
}  // namespace orvo::store
