#include "orvo/store/schema.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "store/tables.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using orvo::testing::ErrorOf;
using SchemaTest = testing::StoreTest;

// The operations store and read every column through their statements on
// every backend; what they do not show is that each text column compares
// without case, keeps a value as it was written, and holds at most its size
// with trailing blanks counted, and that no id is given twice. Whether
// trailing blanks count in a comparison is each backend's own (its suite
// shows it).
TEST_P(SchemaTest, EveryTextColumnComparesWithoutCaseKeepsItsValueAndHoldsItsSize) {
  for (const Table& table : Tables()) {
    for (const Column& column : table.columns) {
      if (column.kind != ColumnKind::Text) continue;
      SCOPED_TRACE(table.name + "." + column.name);
      const std::string& c = column.name;
      Exec("delete from " + table.name);
      InsertRow(table.name, {{c, "Mgr 存放 28  "}});
      EXPECT_EQ(Count(table.name, c + "='MGR 存放 28  '"), 1);
      EXPECT_EQ(Count(table.name, c + "=' mgr 存放 28  '"), 0);
      EXPECT_EQ(Row(table.name, c, "1=1"), "Mgr 存放 28  ");

      // Characters, not bytes, and the blanks at the end with them.
      std::string most;
      for (int i = 2; i < column.characters; ++i) most += "存";
      Exec("update " + table.name + " set " + c + "=?", {most + "  "});
      EXPECT_EQ(Row(table.name, c, "1=1"), most + "  ");
      const AutomationError error =
          ErrorOf([&] { Exec("update " + table.name + " set " + c + "=?", {most + "   "}); });
      EXPECT_EQ(error.number(), HResult(0x80040E57u)) << error.description();
      EXPECT_EQ(Row(table.name, c, "1=1"), most + "  ");
    }
  }
}

// A row read with "select *" has the same keys on every backend.
TEST_P(SchemaTest, EveryColumnOfASelectAllIsNamedAsTheClassesSpellIt) {
  for (const Table& table : Tables()) {
    InsertRow(table.name, {{"FData", Variant::Null()}});
    std::string expected;
    for (const Column& column : table.columns) expected += column.name + " ";
    std::string names;
    auto rows = Db().Execute("select * from " + table.name);
    for (std::int32_t i = 0; i < rows->FieldCount(); ++i) names += rows->Fields(i).Name() + " ";
    EXPECT_EQ(names, expected) << table.name;
  }
}

TEST_P(SchemaTest, IdsAreNeverGivenTwiceAndCreatingTheSchemaAgainKeepsEveryRow) {
  const testing::Columns row{{"FData", Variant::Null()}};
  for (const std::string& table : TableNames()) {
    EXPECT_EQ(InsertRow(table, row), 1) << table;
    EXPECT_EQ(InsertRow(table, row), 2) << table;
    // Deleting the newest row frees no id for reuse.
    Exec("delete from " + table + " where FId=2");
    EXPECT_EQ(InsertRow(table, row), 3) << table;
  }
  // A current store that lost a table gets it back and stays current.
  Exec("drop table T_PrintExportNoteLM");
  for (int run = 0; run < 2; ++run) {
    const SchemaOutcome outcome = CreateSchema(Db());
    EXPECT_EQ(outcome.action, SchemaOutcome::Action::Current);
    EXPECT_EQ(outcome.fromVersion, outcome.version);
  }
  for (const std::string& table : TableNames()) {
    const bool restored = table == "T_PrintExportNoteLM";
    EXPECT_EQ(Count(table), restored ? 0 : 2) << table;
    // Neither emptying the table nor creating the schema again frees an id.
    Exec("delete from " + table);
    EXPECT_EQ(InsertRow(table, row), restored ? 1 : 4) << table;
  }
}

ORVO_INSTANTIATE_STORE_SUITE(SchemaTest);

}  // namespace
}  // namespace orvo::store
