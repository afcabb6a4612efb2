#include "ado/dialect.hpp"

#include <gtest/gtest.h>

#include "ado/sqlite/sqlite_backend.hpp"

namespace orvo::ado {
namespace {

std::string Adapt(std::string_view text) {
  return AdaptStatement(text, kSqliteSpelling);
}

constexpr DialectSpelling kPostgresLike{"lastval()", "", "coalesce"};

TEST(DialectTest, IdentityBecomesTheBackendsExpressionWithAnEmptyName) {
  EXPECT_EQ(Adapt("select @@IDENTITY"), "select nullif(last_insert_rowid(),0) AS \"\"");
  EXPECT_EQ(Adapt("SELECT @@identity AS id"), "SELECT nullif(last_insert_rowid(),0) AS id");
  EXPECT_EQ(AdaptStatement("select @@IDENTITY", kPostgresLike), "select lastval()");
}

TEST(DialectTest, TopBecomesALimitAtTheEndOfItsSelect) {
  EXPECT_EQ(Adapt("Select top 1 FId From T_PrintExportNote Where FNewBillType=28"),
            "Select FId AS \"FId\" From T_PrintExportNote Where FNewBillType=28 LIMIT 1");
  // Trailing blanks and a semicolon stay after the limit.
  EXPECT_EQ(
      Adapt("Select top 1 FId From T_PrintExportNoteLM Where FNewBillType=28 AND FDataFrom = 3 "),
      "Select FId AS \"FId\" From T_PrintExportNoteLM Where FNewBillType=28 AND FDataFrom = 3 "
      "LIMIT 1 ");
  EXPECT_EQ(Adapt("select distinct TOP (3) a from t order by a;"),
            "select distinct a AS \"a\" from t order by a LIMIT 3;");
  EXPECT_EQ(Adapt("select x from t where id in (select top 1 id from u order by id) and y=1"),
            "select x AS \"x\" from t where id in (select id AS \"id\" from u order by id LIMIT 1) "
            "and y=1");
  // Only a number makes a top clause; anything else is left for the database to judge.
  EXPECT_EQ(Adapt("select top @n a from t"), "select top @n a from t");
}

TEST(DialectTest, IsnullCallsBecomeTheBackendsFunction) {
  const std::string e1 = " Where i.FBillType=28 And isnull(i.FBillTypeSub, '') = ''  And i.FSel=1";
  EXPECT_EQ(Adapt(e1), " Where i.FBillType=28 And ifnull(i.FBillTypeSub, '') = ''  And i.FSel=1");
  EXPECT_EQ(AdaptStatement("ISNULL (a, b)", kPostgresLike), "coalesce (a, b)");
  // A column named isnull, and the word inside quotes, are left alone.
  EXPECT_EQ(Adapt("update t set isnull=1 where x='isnull(y)'"),
            "update t set isnull=1 where x='isnull(y)'");
}

TEST(DialectTest, DeleteGainsTheFromTheServerLetCallersOmit) {
  EXPECT_EQ(Adapt("Delete T_PrintExport Where FID=12"), "Delete FROM T_PrintExport Where FID=12");
  EXPECT_EQ(Adapt("delete [T_PrintExport] where FID=12"),
            "delete FROM \"T_PrintExport\" where FID=12");
  EXPECT_EQ(Adapt("Delete From T_PrintExport Where FID=12"),
            "Delete From T_PrintExport Where FID=12");
}

TEST(DialectTest, ANumberGluedToAWordGetsABlank) {
  EXPECT_EQ(
      Adapt("Update T_PrintExport set FSel=1 where fbilltype=28 and FBillID=5and FPreParerID=7"),
      "Update T_PrintExport set FSel=1 where fbilltype=28 and FBillID=5 and FPreParerID=7");
  EXPECT_EQ(Adapt("where a=-5and b=1.5and c=1e5 and d=2e-3or e=5else"),
            "where a=-5 and b=1.5 and c=1e5 and d=2e-3 or e=5 else");
}

TEST(DialectTest, BracketsBecomeQuotedNamesAndNationalTextsPlainOnes) {
  EXPECT_EQ(Adapt("select [FName] from [T_PrintExport] where [F]]x]=N'a''b'"),
            "select \"FName\" AS \"FName\" from \"T_PrintExport\" where \"F]x\"='a''b'");
  EXPECT_EQ(Adapt("select [a\"b] from t"), "select \"a\"\"b\" AS \"a\"\"b\" from t");
}

TEST(DialectTest, QuotedTextAndCommentsAreNeverTouched) {
  const std::string insert =
      "insert into T_PrintExport (FBillType,FBillID,FDate,FName,FSel,FPreParerID,FData) values "
      "(28,0,'2024-05-06','存放页面设置信息',0,7,'[x] isnull( 5and top 1 @@IDENTITY')";
  EXPECT_EQ(Adapt(insert), insert);
  EXPECT_EQ(Adapt("update t set a=1 -- [x] 5and\nwhere b=2 /* isnull( */"),
            "update t set a=1 -- [x] 5and\nwhere b=2 /* isnull( */");
}

TEST(DialectTest, PlainColumnReferencesKeepTheirWrittenSpelling) {
  EXPECT_EQ(Adapt("select fbilltype,fname from T_PrintExport where fbilltype= 28"),
            "select fbilltype AS \"fbilltype\",fname AS \"fname\" from T_PrintExport where "
            "fbilltype= 28");
  EXPECT_EQ(Adapt("select fdata from T where x=1"), "select fdata AS \"fdata\" from T where x=1");
  // Aliased items, stars and expressions are the database's to name.
  const std::string base =
      "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
      "i.FbillId=c.FId  ";
  EXPECT_EQ(Adapt(base), base);
  const std::string count =
      "select count(1) as FNoteNumber from T_PrintExport \r\n where FName = 'x' \r\n   and "
      "FBillType = 28";
  EXPECT_EQ(Adapt(count), count);
  EXPECT_EQ(Adapt("Select  * From T"), "Select  * From T");
  // Subqueries too; a grouped column's bare alias stays as it is.
  EXPECT_EQ(
      Adapt(" select distinct a.FRptId,a.fname from T a inner join  (select   FRptId,fname,"
            "max(FNoteId) FNoteId from T where FRptId=5 and FNoteId>0  group by FRptId,fname) b "
            "on a.FRptId=b.FRptId"),
      " select distinct a.FRptId AS \"FRptId\",a.fname AS \"fname\" from T a inner join  "
      "(select   FRptId AS \"FRptId\",fname AS \"fname\",max(FNoteId) FNoteId from T where "
      "FRptId=5 and FNoteId>0  group by FRptId,fname) b on a.FRptId=b.FRptId");
  // A select list broken over lines by the caller.
  EXPECT_EQ(Adapt("select FName\r\n from T"), "select FName AS \"FName\"\r\n from T");
}

}  // namespace
}  // namespace orvo::ado
