#include "orvo/store/schema.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using SchemaTest = testing::StoreTest;

// The operations store and read every column through their statements on
// every backend; what they do not show is that each text column compares
// without case, with blanks counting, and that no id is given twice.
TEST_P(SchemaTest, EveryTextColumnComparesWithoutCaseAndBlanksCount) {
  const std::pair<const char*, const char*> texts[] = {
      {"T_PrintExport", "FName FData FBillTypeSub"},
      {"T_PrintExportNote", "FName FScreenId FCreatorName FModifierName"},
      {"T_PrintExportLM", "FName FData FBillTypeSub"},
      {"T_PrintExportNoteLM", "FName FScreenId FCreatorName FModifierName"},
      {"T_RptExcelPrintExport", "FName FData FTypeSub"},
      {"T_RptExcelPrintExportNote", "FName FScreenId FCreatorName FModifierName"}};
  for (const auto& [table, columns] : texts) {
    std::istringstream in(columns);
    for (std::string column; in >> column;) {
      SCOPED_TRACE(std::string(table) + "." + column);
      Exec("delete from " + std::string(table));
      InsertRow(table, {{column, "Mgr 存放 28  "}});
      EXPECT_EQ(Count(table, column + "='MGR 存放 28  '"), 1);
      EXPECT_EQ(Count(table, column + "='Mgr 存放 28'"), 0);
      EXPECT_EQ(Count(table, column + "=' mgr 存放 28  '"), 0);
    }
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
