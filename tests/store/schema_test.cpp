#include "orvo/store/schema.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

// A column and the value it is given: i integer, d date, b binary, t text,
// n a bill type or report id given as text and compared as a number.
struct Column {
  std::string name;
  char kind;
};

// The six tables, in the order TableNames gives them, each with every column
// (but the identity FId) that the statements use.
std::vector<std::pair<std::string, std::string>> Tables() {
  const std::string row = "FPreparerId i FDate d FName t FData t ";
  const std::string bill = "FBillType i FBillId i " + row + "FBillTypeSub t FSel i FPrintSet b";
  const auto note = [](const std::string& type) {
    return "FName t FScreenId t FCreatorName t FModifierName t " + type +
           " n FCreateDate d FModifyDate d FData b ";
  };
  return {{"T_PrintExport", bill},
          {"T_PrintExportNote", note("FNewBillType")},
          {"T_PrintExportLM", bill + " FDataFrom i"},
          {"T_PrintExportNoteLM", note("FNewBillType") + "FDataFrom i"},
          {"T_RptExcelPrintExport", "FRptId i FNoteId i " + row + "FSel i FPrintSet b FTypeSub t"},
          {"T_RptExcelPrintExportNote", note("FNewRptId")}};
}

std::vector<Column> Columns(const std::string& list) {
  std::vector<Column> columns;
  std::istringstream in(list);
  std::string name, kind;
  while (in >> name >> kind) columns.push_back({name, kind[0]});
  return columns;
}

Variant ValueFor(const Column& column, std::int32_t seed) {
  if (column.kind == 'i') return seed;
  if (column.kind == 'n') return std::to_string(seed);
  if (column.kind == 'd') return Date::FromParts(2024, 2, 29, 23, 59, seed % 60);
  if (column.kind == 'b') return Bytes{0x00, static_cast<std::uint8_t>(seed), 0xFF, '\r', '\n'};
  // Trailing blanks are kept as written; at most 20 characters, as the
  // narrowest text column holds.
  return "Mgr 存放页面设置信息 " + std::to_string(seed) + "  ";
}

class SchemaTest : public testing::StoreTest {
 protected:
  // Inserts a row with a value in every column and gives the new FId as
  // "select @@IDENTITY" reads it back.
  std::int32_t InsertFullRow(const std::pair<std::string, std::string>& table, std::int32_t seed) {
    std::string names, markers;
    std::vector<Variant> values;
    for (const Column& column : Columns(table.second)) {
      names += (names.empty() ? "" : ",") + column.name;
      markers += markers.empty() ? "?" : ",?";
      values.push_back(ValueFor(column, seed));
    }
    Exec("Insert Into " + table.first + " (" + names + ")  Values(" + markers + ")", values);
    return CLng(Scalar("select @@IDENTITY"));
  }
};

TEST_P(SchemaTest, EveryTableStoresAndReturnsEveryColumnAndComparesTextWithoutCase) {
  std::vector<std::string> names;
  for (const auto& [name, columns] : Tables()) names.push_back(name);
  EXPECT_EQ(TableNames(), names);
  for (const auto& table : Tables()) {
    SCOPED_TRACE(table.first);
    InsertFullRow(table, 280);
    auto row = Db().Execute("select * from " + table.first +
                            " where FId=" + std::to_string(InsertFullRow(table, 28)));
    ASSERT_FALSE(row->Eof());
    for (const Column& column : Columns(table.second)) {
      SCOPED_TRACE(column.name);
      if (column.kind == 'n') {
        // Stored from text, read and compared as the number.
        EXPECT_EQ(CStr(row->Fields(column.name).Value()), "28");
        EXPECT_EQ(Count(table.first, column.name + "=28"), 1);
      } else {
        EXPECT_EQ(row->Fields(column.name).Value(), ValueFor(column, 28));
      }
      if (column.kind == 't') {
        // Text compares without ASCII case, as SQLite's NOCASE does; blanks count.
        EXPECT_EQ(Count(table.first, column.name + "='MGR 存放页面设置信息 28  '"), 1);
        EXPECT_EQ(Count(table.first, column.name + "='Mgr 存放页面设置信息 28'"), 0);
        EXPECT_EQ(Count(table.first, column.name + "=' mgr 存放页面设置信息 28  '"), 0);
      }
    }
  }
}

TEST_P(SchemaTest, IdsAreNeverGivenTwiceAndCreatingTheSchemaAgainKeepsEveryRow) {
  for (const auto& table : Tables()) {
    EXPECT_EQ(InsertFullRow(table, 1), 1) << table.first;
    EXPECT_EQ(InsertFullRow(table, 2), 2) << table.first;
    // Deleting the newest row frees no id for reuse.
    Exec("delete from " + table.first + " where FId=2");
    EXPECT_EQ(InsertFullRow(table, 3), 3) << table.first;
  }
  // A current store that lost a table gets it back and stays current.
  Exec("drop table T_PrintExportNoteLM");
  for (int run = 0; run < 2; ++run) {
    const SchemaOutcome outcome = CreateSchema(Db());
    EXPECT_EQ(outcome.action, SchemaOutcome::Action::Current);
    EXPECT_EQ(outcome.fromVersion, outcome.version);
  }
  for (const auto& table : Tables()) {
    const bool restored = table.first == "T_PrintExportNoteLM";
    EXPECT_EQ(Count(table.first), restored ? 0 : 2) << table.first;
    // Neither emptying the table nor creating the schema again frees an id.
    Exec("delete from " + table.first);
    EXPECT_EQ(InsertFullRow(table, 4), restored ? 1 : 4) << table.first;
  }
}

ORVO_INSTANTIATE_STORE_SUITE(SchemaTest);

}  // namespace
}  // namespace orvo::store
