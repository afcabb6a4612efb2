#include "orvo/store/schema.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvo/ado/command.hpp"
#include "orvo/automation/conversions.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

// What the statements bind to a column and compare it with.
enum class Kind {
  Integer,
  Text,
  Date,
  Binary,
  NumberAsText,  // a bill type or report id, bound as text and compared as a number
};

struct Column {
  std::string name;
  Kind kind;
  std::int32_t width = 0;  // characters, for Text and NumberAsText
};

struct Table {
  std::string name;
  std::vector<Column> columns;  // FId, the identity, is not listed
};

std::vector<Column> BillRowColumns() {
  return {{"FBillType", Kind::Integer},      {"FBillId", Kind::Integer},
          {"FPreparerId", Kind::Integer},    {"FDate", Kind::Date},
          {"FName", Kind::Text, 255},        {"FData", Kind::Text, 255},
          {"FBillTypeSub", Kind::Text, 255}, {"FSel", Kind::Integer},
          {"FPrintSet", Kind::Binary}};
}

std::vector<Column> NoteColumns(const std::string& typeColumn, std::int32_t nameWidth) {
  return {{"FName", Kind::Text, nameWidth},     {"FScreenId", Kind::Text, 20},
          {"FCreatorName", Kind::Text, 30},     {"FModifierName", Kind::Text, 30},
          {typeColumn, Kind::NumberAsText, 20}, {"FCreateDate", Kind::Date},
          {"FModifyDate", Kind::Date},          {"FData", Kind::Binary}};
}

std::vector<Column> WithDataFrom(std::vector<Column> columns) {
  columns.push_back({"FDataFrom", Kind::Integer});
  return columns;
}

// The six tables with every column that the statements use.
std::vector<Table> Tables() {
  return {
      {"T_PrintExport", BillRowColumns()},
      {"T_PrintExportNote", NoteColumns("FNewBillType", 510)},
      {"T_PrintExportLM", WithDataFrom(BillRowColumns())},
      {"T_PrintExportNoteLM", WithDataFrom(NoteColumns("FNewBillType", 510))},
      {"T_RptExcelPrintExport",
       {{"FRptId", Kind::Integer},
        {"FNoteId", Kind::Integer},
        {"FPreparerId", Kind::Integer},
        {"FDate", Kind::Date},
        {"FName", Kind::Text, 255},
        {"FData", Kind::Text, 255},
        {"FSel", Kind::Integer},
        {"FPrintSet", Kind::Binary},
        {"FTypeSub", Kind::Text, 255}}},
      {"T_RptExcelPrintExportNote", NoteColumns("FNewRptId", 255)},
  };
}

// A text of exactly `width` characters, most of them beyond ASCII, as the
// Chinese names and texts of the store are.
std::string FullWidthText(std::int32_t width, const std::string& column) {
  std::string text = column.substr(0, 1);
  for (std::int32_t i = 1; i < width; ++i) text += i % 2 == 0 ? "模" : "b";
  return text;
}

class SchemaTest : public testing::StoreTest {
 protected:
  // Inserts one row with a value in every column, bound as the classes bind
  // them, and gives the new FId as "select @@IDENTITY" reads it back.
  std::int32_t InsertFullRow(const Table& table, std::int32_t seed) {
    ado::Command insert;
    insert.ActiveConnection = DbPtr();
    std::string names;
    std::string markers;
    for (const Column& column : table.columns) {
      names += (names.empty() ? "" : ",") + column.name;
      markers += markers.empty() ? "?" : ",?";
      insert.GetParameters().Append(insert.CreateParameter("", ParameterType(column),
                                                           ado::adParamInput, ParameterSize(column),
                                                           ValueFor(column, seed)));
    }
    insert.CommandText = "Insert Into " + table.name + " (" + names + ")  Values(" + markers + ")";
    insert.Execute();
    return CLng(Scalar("select @@IDENTITY"));
  }

  static ado::DataTypeEnum ParameterType(const Column& column) {
    switch (column.kind) {
      case Kind::Integer:
        return ado::adInteger;
      case Kind::Text:
      case Kind::NumberAsText:
        return ado::adVarChar;
      case Kind::Date:
        return ado::adDate;
      case Kind::Binary:
        break;
    }
    return ado::adLongVarBinary;
  }

  static std::int32_t ParameterSize(const Column& column) {
    if (column.kind == Kind::Binary) return 2147483647;
    return column.width;
  }

  static Variant ValueFor(const Column& column, std::int32_t seed) {
    switch (column.kind) {
      case Kind::Integer:
        return seed;
      case Kind::Text:
        return FullWidthText(column.width, column.name);
      case Kind::NumberAsText:
        return std::to_string(seed);
      case Kind::Date:
        return Date::FromParts(2024, 2, 29, 23, 59, seed % 60);
      case Kind::Binary:
        break;
    }
    return Bytes{0x00, static_cast<std::uint8_t>(seed), 0xFF, '\r', '\n'};
  }
};

TEST_P(SchemaTest, NamesTheSixTablesRowTableFirstInFamilyOrder) {
  std::vector<std::string> names;
  for (const Table& table : Tables()) names.push_back(table.name);
  EXPECT_EQ(TableNames(), names);
}

TEST_P(SchemaTest, EveryTableStoresAndReturnsEveryColumnByName) {
  for (const Table& table : Tables()) {
    SCOPED_TRACE(table.name);
    const std::int32_t id = InsertFullRow(table, 28);
    EXPECT_GT(id, 0);
    std::string list;
    for (const Column& column : table.columns) list += ", " + column.name;
    auto row = Db().Execute("select FId" + list + " from " + table.name +
                            " where FId=" + std::to_string(id));
    ASSERT_FALSE(row->Eof());
    for (const Column& column : table.columns) {
      SCOPED_TRACE(column.name);
      const Variant value = row->Fields(column.name).Value();
      if (column.kind == Kind::NumberAsText) {
        // Stored from text, read and compared as the number.
        EXPECT_EQ(CStr(value), "28");
      } else {
        EXPECT_EQ(value, ValueFor(column, 28));
      }
    }
    row->MoveNext();
    EXPECT_TRUE(row->Eof());
  }
}

TEST_P(SchemaTest, BillTypesGivenAsTextCompareWithDecimalLiterals) {
  for (const Table& table : Tables()) {
    for (const Column& column : table.columns) {
      if (column.kind != Kind::NumberAsText) continue;
      SCOPED_TRACE(table.name);
      InsertFullRow(table, 28);
      InsertFullRow(table, 280);
      EXPECT_EQ(Count(table.name, column.name + "=28"), 1);
      EXPECT_EQ(Count(table.name, column.name + "=280"), 1);
      EXPECT_EQ(Count(table.name, column.name + " in (28,280)"), 2);
    }
  }
}

TEST_P(SchemaTest, TextComparesWithoutCaseOrTrailingBlanks) {
  for (const Table& table : Tables()) {
    for (const Column& column : table.columns) {
      if (column.kind != Kind::Text) continue;
      SCOPED_TRACE(table.name + "." + column.name);
      Exec("delete from " + table.name);
      Exec("insert into " + table.name + " (" + column.name + ") values ('Manager')");
      Exec("insert into " + table.name + " (" + column.name + ") values ('存放页面设置信息  ')");
      EXPECT_EQ(Count(table.name, column.name + "='MANAGER'"), 1);
      EXPECT_EQ(Count(table.name, column.name + "='manager   '"), 1);
      EXPECT_EQ(Count(table.name, column.name + "='存放页面设置信息'"), 1);
      // Leading blanks and other letters still count.
      EXPECT_EQ(Count(table.name, column.name + "=' Manager'"), 0);
      EXPECT_EQ(Count(table.name, column.name + "='Managers'"), 0);
      EXPECT_EQ(Count(table.name, column.name + "<>'manager'"), 1);
    }
  }
}

TEST_P(SchemaTest, AnIdIsNeverGivenTwice) {
  for (const Table& table : Tables()) {
    SCOPED_TRACE(table.name);
    const std::int32_t first = InsertFullRow(table, 1);
    const std::int32_t second = InsertFullRow(table, 2);
    EXPECT_EQ(second, first + 1);
    // Deleting the newest row, or every row, frees no id for reuse.
    Exec("delete from " + table.name + " where FId=" + std::to_string(second));
    const std::int32_t third = InsertFullRow(table, 3);
    EXPECT_EQ(third, second + 1);
    Exec("delete from " + table.name);
    EXPECT_EQ(InsertFullRow(table, 4), third + 1);
  }
}

TEST_P(SchemaTest, CreatingTheSchemaAgainKeepsEveryRow) {
  for (const Table& table : Tables()) InsertFullRow(table, 5);
  CreateSchema(Db());
  CreateSchema(Db());
  for (const Table& table : Tables()) {
    EXPECT_EQ(Count(table.name), 1) << table.name;
    // Identities go on where they were.
    EXPECT_EQ(InsertFullRow(table, 6), 2) << table.name;
  }
}

TEST_P(SchemaTest, CreatingTheSchemaAgainRestoresAMissingTable) {
  for (const Table& table : Tables()) InsertFullRow(table, 5);
  Exec("drop table T_PrintExportNoteLM");
  CreateSchema(Db());
  for (const Table& table : Tables()) {
    EXPECT_EQ(Count(table.name), table.name == "T_PrintExportNoteLM" ? 0 : 1) << table.name;
  }
  EXPECT_GT(InsertFullRow(Tables()[3], 7), 0);
}

ORVO_INSTANTIATE_STORE_SUITE(SchemaTest);

}  // namespace
}  // namespace orvo::store
