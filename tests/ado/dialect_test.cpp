#include "ado/dialect.hpp"
#include "ado/statement_observer.hpp"

#include <gtest/gtest.h>

#include "ado/postgres/postgres_backend.hpp"
#include "ado/sqlite/sqlite_backend.hpp"
#include "ado_test_support.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado {
namespace {

// The statements the SQLite tests run cover the common spellings; these are
// the corners a rewrite could get wrong without the database noticing.
TEST(DialectTest, StatementsAreRewrittenOnlyWhereTheBackendNeedsIt) {
  struct Case {
    const char* text;
    const char* adapted;  // nullptr: left exactly as written
  };
  const Case cases[] = {
      {"SELECT @@identity AS id", "SELECT nullif(last_insert_rowid(),0) AS id"},
      // Trailing blanks and a semicolon stay after the limit.
      {"Select top 1 FId From T Where A=3 ", "Select FId AS \"FId\" From T Where A=3 LIMIT 1 "},
      {"select distinct TOP (3) a from t order by a;",
       "select distinct a AS \"a\" from t order by a LIMIT 3;"},
      {"select x from t where id in (select top 1 id from u order by id) and y=1",
       "select x AS \"x\" from t where id in (select id from u order by id LIMIT 1) and y=1"},
      // Only a number makes a top clause; anything else is the database's to judge.
      {"select top @n a from t", nullptr},
      // A column named isnull, and the word inside quotes, are left alone.
      {"update t set isnull=1 where x='isnull(y)'", nullptr},
      {"delete [T_PrintExport] where FID=12", "delete FROM \"T_PrintExport\" where FID=12"},
      {"Delete From T_PrintExport Where FID=12", nullptr},
      {"where a=-5and b=1.5and c=1e5 and d=2e-3or e=5else",
       "where a=-5 and b=1.5 and c=1e5 and d=2e-3 or e=5 else"},
      {"select [FName] from [T_PrintExport] where [F]]x]=N'a''b'",
       "select \"FName\" AS \"FName\" from \"T_PrintExport\" where \"F]x\"='a''b'"},
      {"select [a\"b] from t", "select \"a\"\"b\" AS \"a\"\"b\" from t"},
      {"insert into T (FName,FData) values ('存放页面设置信息','[x] isnull( 5and top 1 "
       "@@IDENTITY')",
       nullptr},
      {"update t set a=1 -- [x] 5and\nwhere b=2 /* isnull( */", nullptr},
      {"update t set a='unterminated [x] 5and", nullptr},
      {"select 表名 from t", "select 表名 AS \"表名\" from t"},
      {"select FName\r\n from T", "select FName AS \"FName\"\r\n from T"},
      // A delete without FROM can only open a statement; elsewhere the word
      // belongs to the statement's own clauses.
      {"update t set a=1; delete t where a=2", "update t set a=1; delete FROM t where a=2"},
      {"create table v (a integer references t (a) on delete cascade)", nullptr},
      {"create trigger r after delete on t begin delete from u; end", nullptr},
      // TOP limits its own select, also inside a compound, never the compound.
      {"select top 1 a from t union all select b from u",
       "select * from (select a AS \"a\" from t LIMIT 1) union all select b AS \"b\" from u"},
      {"select a from t except select top (2) b from u order by 1",
       "select a AS \"a\" from t except select * from (select b AS \"b\" from u LIMIT 2) order by "
       "1"},
      // What the text ends inside of stays as written, for the database to refuse.
      {"select [a from t", nullptr},
      {"select a from [t", "select a AS \"a\" from [t"},
      {"select \"a from t", nullptr},
      {"select N'a from t", nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AdaptStatement(c.text, kSqliteSpelling), c.adapted ? c.adapted : c.text) << c.text;
  }
}

TEST(DialectTest, AnotherBackendGetsItsOwnSpellings) {
  constexpr DialectSpelling kPostgresLike{"lastval()", "", "coalesce"};
  EXPECT_EQ(AdaptStatement("select @@IDENTITY", kPostgresLike), "select lastval()");
  EXPECT_EQ(AdaptStatement("ISNULL (a, b)", kPostgresLike), "coalesce (a, b)");
}

// A marker stays a marker of its own whatever is glued to it: SQLite reads
// "?1" as its marker number 1, and the server "$11" as marker 11, "a$1" as a
// name and "$$" as the start of a quoted text.
TEST(DialectTest, AMarkerGluedToANumberOrANameStaysOneMarker) {
  EXPECT_EQ(AdaptStatement("select ?1 from t where a=?", kSqliteSpelling),
            "select ? 1 from t where a=?");
  EXPECT_EQ(AdaptStatement("select ?1 from t where b=a? and c=$?and d=?", kPostgresSpelling),
            "select $1 1 from t where b=a $2 and c=$ $3 and d=$4");
}

// Quoted texts and names that a rewrite puts side by side stay two.
TEST(DialectTest, RewrittenQuotesNeverJoin) {
  EXPECT_EQ(AdaptStatement("select [a][b], \"c\"[d] from t where x='e'N'f'", kSqliteSpelling),
            "select \"a\" \"b\", \"c\" \"d\" from t where x='e' 'f'");
  EXPECT_EQ(AdaptStatement("select \"c\"#d from t", kPostgresSpelling),
            "select \"c\" \"#d\" from t");
}

// "#temp" and "a@b" were names to the original server, and stay names: the
// backends would read a marker or an operator in them.
TEST(DialectTest, ABareNameWithAMarkerCharacterIsQuoted) {
  EXPECT_EQ(AdaptStatement("select #Bills.a@b from #Bills where @x=1", kSqliteSpelling),
            "select \"#Bills\".\"a@b\" AS \"a@b\" from \"#Bills\" where @x=1");
  EXPECT_EQ(AdaptStatement("update #Bills set a@B=1", kPostgresSpelling),
            "update \"#bills\" set \"a@b\"=1");
  const auto cn = Connection::Open("Data Source=:memory:");
  cn->Execute("create table [#Bills] ([a@b] integer)");
  cn->Execute("insert into #Bills (a@b) values (7)");
  const auto rs = cn->Execute("select a@b from #Bills");
  EXPECT_EQ(rs->Fields(0).Value(), Variant(7));
}

// What the adapted texts mean, asked of the database itself.
TEST(DialectTest, AdaptedStatementsKeepTheirMeaning) {
  const auto cn = Connection::Open("Data Source=:memory:");
  for (const char* text : {
           "create table t (a integer primary key)",
           "create table u (b integer references t (a) on delete cascade)",
           "create table gone (a integer)",
           "create trigger r after delete on t begin insert into gone values (old.a); end",
           "insert into t values (1), (2), (3)",
           "insert into u values (1), (2)",
       }) {
    cn->Execute(text);
  }
  const auto rows = [&](const char* text) {
    std::vector<Variant> values;
    for (auto rs = cn->Execute(text); !rs->Eof(); rs->MoveNext()) {
      values.push_back(rs->Fields(0).Value());
    }
    return values;
  };
  // One row of t and every row of u.
  EXPECT_EQ(rows("select top 1 a from t union all select b from u").size(), 3u);
  // Every row of t and one of u, the whole compound in order.
  const std::vector<Variant> ordered =
      rows("select a from t union all select top 1 b from u order by 1 desc");
  ASSERT_EQ(ordered.size(), 4u);
  EXPECT_EQ(ordered.front(), Variant(3));
  // The observer is told what the database ran for the text it saw.
  struct RanObserver : StatementObserver {
    void BeforeExecute(std::string_view, const std::vector<Variant>&) override {}
    void Adapted(std::string_view text, const RanStatement& adapted) override {
      ran.emplace_back(std::string(text) + " -> " + adapted.text);
      values.push_back(adapted.params);
    }
    void AfterExecute(std::string_view, const AutomationError*) override {}
    std::vector<std::string> ran;
    std::vector<std::vector<Variant>> values;
  };
  auto observer = std::make_shared<RanObserver>();
  cn->SetObserver(observer);
  cn->Execute("Delete t Where a=1");
  // Its literals are lifted out, so one prepared statement serves every value.
  EXPECT_EQ(observer->ran,
            std::vector<std::string>{"Delete t Where a=1 -> Delete FROM t Where a=?"});
  EXPECT_EQ(observer->values, std::vector<std::vector<Variant>>{{Variant(1)}});
  EXPECT_EQ(rows("select a from t"), (std::vector<Variant>{2, 3}));
  EXPECT_EQ(rows("select a from gone"), (std::vector<Variant>{1}));

  const AutomationError refused = testing::ErrorOf([&] { cn->Execute("select [a from t"); });
  EXPECT_EQ(refused.number(), kErrStatementRefused);
  EXPECT_EQ(refused.source(), "SQLite");
}

}  // namespace
}  // namespace orvo::ado
