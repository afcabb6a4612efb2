#include "families/statement.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvo::families {
namespace {

TEST(StatementTest, HolesTakeNumbersQuotedTextsAndVerbatimTextsAsTheyStand) {
  EXPECT_EQ(Fill("select * from T where FName='{name}' and FBillType={type} and FSel={sel}",
                 {{"type", -28}, {"name", Quoted{"O'Brien {type}"}}, {"sel", Verbatim{"1.5"}}}),
            "select * from T where FName='O''Brien {type}' and FBillType=-28 and FSel=1.5");
  // A hole may stand twice; blanks around it are the pattern's own.
  EXPECT_EQ(Fill(" {f} = {f} + 1 ", {{"f", Verbatim{"[Count]"}}}), " [Count] = [Count] + 1 ");
  EXPECT_EQ(Fill("no holes", {}), "no holes");
  EXPECT_THROW(Fill("FPreparerId={user}", {{"type", 1}}), std::logic_error);
}

// Counts how often the host is asked for the number.
struct Asked {
  mutable int times = 0;
  static std::int32_t Find(const void* source) {
    ++static_cast<const Asked*>(source)->times;
    return 16394;
  }
};

TEST(StatementTest, ADeferredNumberIsFoundOnceAndOnlyForAPatternWithItsHole) {
  const Asked asked;
  {
    const Hole user("user", Deferred{&Asked::Find, &asked});
    const std::vector<Hole> holes{{"type", 7}};
    const FilledStatement statement("select 1 from T where FBillType={type}", holes,
                                    std::span<const Hole>(&user, 1));
    EXPECT_EQ(statement.Text(), "select 1 from T where FBillType=7");
  }
  EXPECT_EQ(asked.times, 0);
  const Hole user("user", Deferred{&Asked::Find, &asked});
  const FilledStatement statement("select 1 from T where FPreparerId={user} or FName='{user}'", {},
                                  std::span<const Hole>(&user, 1));
  EXPECT_EQ(statement.Text(), "select 1 from T where FPreparerId=16394 or FName='16394'");
  ASSERT_EQ(statement.Values().size(), 2u);
  EXPECT_EQ(statement.Values()[0].value, Variant(16394));
  EXPECT_EQ(statement.Values()[1].value, Variant("16394"));
  EXPECT_EQ(asked.times, 1);
}

std::vector<Variant> ValuesOf(const FilledStatement& statement) {
  std::vector<Variant> values;
  for (const ado::BoundValue& value : statement.Values()) values.push_back(value.value);
  return values;
}

TEST(StatementTest, ShapesBindWhatTheDatabaseCanTakeAndWriteNamesIntoTheText) {
  const std::string_view pattern =
      "select {col} from T where FName='{name}' and FBillType={type}and FSel={sel}";
  // A statement refers to its holes: they live as long as it does.
  const std::vector<Hole> boundHoles{{"col", Verbatim{"FData"}},
                                     {"name", Quoted{"O'Brien"}},
                                     {"type", -28},
                                     {"sel", Verbatim{"1.5"}}};
  const FilledStatement bound(pattern, boundHoles);
  EXPECT_EQ(bound.Shape(), "select FData from T where FName=? and FBillType=? and FSel=?");
  EXPECT_EQ(ValuesOf(bound), (std::vector<Variant>{"O'Brien", -28, 1.5}));
  EXPECT_EQ(bound.Text(),
            "select FData from T where FName='O''Brien' and FBillType=-28and FSel=1.5");
  // The same pattern with other values: a name elsewhere, a number where the
  // name stood; each statement gets its own shape.
  const std::vector<Hole> otherHoles{
      {"col", Verbatim{"7"}}, {"name", Quoted{""}}, {"type", 5}, {"sel", Verbatim{"x"}}};
  const FilledStatement other(pattern, otherHoles);
  EXPECT_EQ(other.Shape(), "select ? from T where FName=? and FBillType=? and FSel=x");
  EXPECT_EQ(ValuesOf(other), (std::vector<Variant>{7, "", 5}));
  EXPECT_EQ(other.Text(), "select 7 from T where FName='' and FBillType=5and FSel=x");
  EXPECT_EQ(bound.Shape(), "select FData from T where FName=? and FBillType=? and FSel=?");
  // An insert of nine values keeps every one, in order, as one of four does.
  const std::vector<Hole> manyHoles{{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4},          {"e", 5},
                                    {"f", 6}, {"g", 7}, {"h", 8}, {"i", Quoted{"9"}}};
  const FilledStatement many("values({a},{b},{c},{d},{e},{f},{g},{h},'{i}')", manyHoles);
  EXPECT_EQ(many.Shape(), "values(?,?,?,?,?,?,?,?,?)");
  EXPECT_EQ(ValuesOf(many), (std::vector<Variant>{1, 2, 3, 4, 5, 6, 7, 8, "9"}));
  const FilledStatement four("values({a},{b},{c},'{i}')", manyHoles);
  EXPECT_EQ(ValuesOf(four), (std::vector<Variant>{1, 2, 3, "9"}));
  const FilledStatement none("select 1", {});
  EXPECT_EQ(none.Shape(), "select 1");
  EXPECT_TRUE(none.Values().empty());
  EXPECT_THROW(FilledStatement("FPreparerId={user}", {{"type", 1}}), std::logic_error);
}

TEST(StatementTest, AShapeFollowsItsPatternsTextAndOutlivesOtherPatterns) {
  // A pattern changed in place, at the same address, gives its new shape.
  std::string pattern = "select * from T where FBillType={type}";
  EXPECT_EQ(FilledStatement(pattern, {{"type", 1}}).Shape(), "select * from T where FBillType=?");
  pattern.replace(pattern.find("FBillType"), 9, "FBillTyp2");
  EXPECT_EQ(FilledStatement(pattern, {{"type", 1}}).Shape(), "select * from T where FBillTyp2=?");
  // A statement keeps its shape while many other patterns are read.
  const std::vector<Hole> holes{{"type", 1}};
  const FilledStatement kept(pattern, holes);
  std::vector<std::string> others;
  for (int i = 0; i < 500; ++i) {
    others.push_back("select " + std::to_string(i) + " from T where FBillType={type}");
  }
  for (const std::string& text : others) {
    EXPECT_EQ(FilledStatement(text, {{"type", 2}}).Shape(), text.substr(0, text.find('{')) + "?");
  }
  EXPECT_EQ(kept.Shape(), "select * from T where FBillTyp2=?");
}

TEST(StatementTest, PatternsRunInTurnAreEachReadOnce) {
  // A call runs several patterns, and a site a few dozen: wherever their
  // texts lie, none is read again while it stays in use.
  std::vector<std::string> patterns;
  for (int i = 0; i < 200; ++i) {
    patterns.push_back("select " + std::to_string(i) + " from T where FBillType={type}");
  }
  for (const std::string& pattern : patterns) {
    EXPECT_EQ(FilledStatement(pattern, {{"type", 0}}).Values().size(), 1u);
  }
  const std::uint64_t read = PatternsReadByThisThread();
  for (int round = 0; round < 3; ++round) {
    for (const std::string& pattern : patterns) {
      EXPECT_EQ(FilledStatement(pattern, {{"type", round}}).Values().size(), 1u);
    }
  }
  EXPECT_EQ(PatternsReadByThisThread(), read);
}

TEST(StatementTest, OnlyASharedShapeOfWellFormedTextIsKnownWellFormed) {
  const std::vector<Hole> holes{{"type", 1}, {"col", Verbatim{"FData"}}};
  std::string pattern = "select '\xC3\xA9' from T where FBillType={type}";
  EXPECT_TRUE(FilledStatement(pattern, holes).ShapeKnownWellFormed());
  // Changed in place into a cut character, the pattern is judged again.
  pattern[9] = 'x';
  EXPECT_FALSE(FilledStatement(pattern, holes).ShapeKnownWellFormed());
  // A shape of the statement's own, with a value written in, is left to
  // the connection to check.
  EXPECT_FALSE(FilledStatement("select {col} from T", holes).ShapeKnownWellFormed());
}

}  // namespace
}  // namespace orvo::families
