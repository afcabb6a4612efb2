#include "bills/sql_names.hpp"

#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"

namespace orvo::bills {
namespace {

// The description of the error `check` raises, "" when it raises none.
template <class Check>
std::string Refusal(Check&& check) {
  try {
    check();
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 5);
    return error.description();
  }
  return "";
}

TEST(SqlNamesTest, LiteralsAreOneNumberOrOneClosedText) {
  const auto cn = ado::Connection::Open("Data Source=:memory:");
  for (const char* value :
       {"1", "-12", "+3", "1.5", ".5", "1e5", "'P1'", "'O''Brien'", "N'存放'", "''"}) {
    EXPECT_EQ(Refusal([&] { RequireLiteral(*cn, "PrimaryKeyValue", value); }), "") << value;
  }
  for (const char* value :
       {"", " 1", "1 ", "--1", "- 1", "-'a'", "1 or 1=1", "'a' or 'b'='b'", "'open", "'a''", "5and",
        "1;", "null", "true", "@x", "?", "(1)", "1/*x*/", "[x]"}) {
    EXPECT_EQ(Refusal([&] { RequireLiteral(*cn, "PrimaryKeyValue", value); }),
              std::string("PrimaryKeyValue must be a number or a text between single quotes, "
                          "not \"") +
                  value + "\".")
        << value;
  }
}

TEST(SqlNamesTest, IdListsAreLiteralsSeparatedByCommas) {
  const auto cn = ado::Connection::Open("Data Source=:memory:");
  for (const char* ids : {"7", "1,2,3", "1, 2 ,\r\n3", "'A1','B''2'", "-1,+2.5"}) {
    EXPECT_EQ(Refusal([&] { RequireIdList(*cn, "InterIDs", ids); }), "") << ids;
  }
  for (const char* ids : {"", " ", "1,", ",1", "1,,2", "1 2", "1);delete from t;--", "1) or (1=1",
                          "(1)", "1,--2", "1,/**/2", "select 1", "1,null", "'a"}) {
    EXPECT_EQ(Refusal([&] { RequireIdList(*cn, "InterIDs", ids); }),
              std::string("InterIDs must be numbers or texts between single quotes, separated "
                          "by commas, not \"") +
                  ids + "\".")
        << ids;
  }
  // Blanks are what the databases read as blanks: a vertical tab is none.
  EXPECT_EQ(Refusal([&] { RequireIdList(*cn, "InterIDs", "1,\f2"); }), "");
  EXPECT_NE(Refusal([&] { RequireIdList(*cn, "InterIDs", "1,\v2"); }), "");
}

// The database's own answers: which tables and views it has, in which
// schema, and which words are its keywords.
TEST(SqlNamesTest, TablesAndColumnsAreThoseTheDatabaseDeclares) {
  const auto cn = ado::Connection::Open("Data Source=:memory:");
  cn->Execute(
      "create table t_Item (FItemID integer, FPicture blob, FTwice generated always as "
      "(FItemID * 2))");
  cn->Execute("create view v_Item as select FItemID, FPicture from t_Item");
  cn->Execute("create temp table t_Scratch (FValue integer)");

  const BusinessTable item = BusinessTable::Require(*cn, "TableName", "main.T_ITEM");
  EXPECT_EQ(item.RequireColumn("FieldName", "fpicture"), "fpicture");
  EXPECT_EQ(item.RequireColumn("FieldName", "[FTwice]"), "FTwice");
  EXPECT_EQ(Refusal([&] { item.RequireColumn("FieldName", "rowid"); }),
            "FieldName must name a column of main.T_ITEM, not \"rowid\".");
  EXPECT_EQ(Refusal([&] { item.RequireColumn("FieldName", "[FPicture] "); }),
            "FieldName must be a column name, not \"[FPicture] \".");
  EXPECT_EQ(BusinessTable::Require(*cn, "TableName", "v_Item").RequireColumn("F", "FItemID"),
            "FItemID");
  EXPECT_EQ(Refusal([&] { BusinessTable::Require(*cn, "TableName", "temp.t_Scratch"); }),
            "TableName must be a table name, not the keyword \"temp\".");
  EXPECT_EQ(Refusal([&] { BusinessTable::Require(*cn, "TableName", "[temp].t_Scratch"); }), "");

  for (const char* missing : {"sqlite_master", "sqlite_schema", "pragma_table_info", "json_each",
                              "main.t_Scratch", "nowhere.t_Item", "db.main.t_Item"}) {
    EXPECT_EQ(Refusal([&] { BusinessTable::Require(*cn, "TableName", missing); }),
              std::string("TableName must name an existing table, not \"") + missing + "\".")
        << missing;
  }
  for (const char* malformed : {"", "t_Item;", "t_Item t", "a.b.c.d", "main..t_Item", ".t_Item",
                                "t_Item.", "@t", "'t_Item'", "[t_Item"}) {
    EXPECT_EQ(Refusal([&] { BusinessTable::Require(*cn, "TableName", malformed); }),
              std::string("TableName must be a table name, not \"") + malformed + "\".")
        << malformed;
  }
  // The database would read the name only up to the NUL, as t_Item.
  const std::string cut("[t_Item\0x]", 10);
  EXPECT_EQ(Refusal([&] { BusinessTable::Require(*cn, "TableName", cut); }),
            "TableName must be a table name, not \"[t_Item\\x00x]\".");
}

}  // namespace
}  // namespace orvo::bills
