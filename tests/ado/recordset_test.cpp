#include "orvo/ado/recordset.hpp"

#include <gtest/gtest.h>

#include "ado_test_support.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::ado {
namespace {

using testing::ErrorOf;

Recordset TwoRows() {
  ResultSet result;
  result.hasRows = true;
  result.columns = std::make_shared<const std::vector<ColumnInfo>>(std::vector<ColumnInfo>{
      {"FName", adVarChar}, {"FData", adLongVarBinary}, {"FId", adInteger}});
  result.values = {Variant("存放abc"),
                   Variant(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
                   Variant(1),
                   Variant::Null(),
                   Variant(Bytes{11, 12}),
                   Variant(2)};
  return Recordset(std::move(result));
}

TEST(RecordsetTest, UnknownFieldsAndMovesPastTheEndAreRefused) {
  Recordset rs = TwoRows();
  const AutomationError missing = ErrorOf([&] { rs.Fields("FNope"); });
  EXPECT_EQ(missing.number(), kErrItemNotFound);
  EXPECT_EQ(missing.source(), "ADODB.Fields");
  EXPECT_EQ(ErrorOf([&] { rs.Fields(3); }).number(), kErrItemNotFound);
  EXPECT_EQ(ErrorOf([&] { rs.Fields(-1); }).number(), kErrItemNotFound);

  rs.MoveNext();
  EXPECT_EQ(rs.Fields(2).Value(), Variant(2));
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }).number(), kErrNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs.Fields(0).Value(); }).number(), kErrNoCurrentRecord);
  rs.Close();
  EXPECT_EQ(ErrorOf([&] { rs.Fields(0); }).number(), kErrObjectClosed);
}

TEST(RecordsetTest, FieldsByNameFindTheFirstColumnOfThatNameWhateverItsCase) {
  ResultSet result;
  result.hasRows = true;
  // Names of one size with one last letter, names told apart only by their
  // first or a middle letter, a name twice, and a column without a name.
  result.columns = std::make_shared<const std::vector<ColumnInfo>>(
      std::vector<ColumnInfo>{{"FData", adVarChar},
                              {"FDate", adVarChar},
                              {"xData", adVarChar},
                              {"FDaTa", adVarChar},
                              {"FBillId", adInteger},
                              {"FBillType", adInteger},
                              {"", adInteger},
                              {"FB", adInteger},
                              {"FBillTypeSuA", adInteger},
                              {"FBillTypeSub", adInteger},
                              {"F@", adInteger},
                              {"FBillType@@", adInteger},
                              {"F[", adInteger},
                              {"\xC3\x81", adInteger}});
  for (int i = 0; i < 14; ++i) result.values.push_back(Variant(i));
  Recordset rs(std::move(result));
  const auto indexOf = [&](std::string_view name) { return CLng(rs.Fields(name).Value()); };
  EXPECT_EQ(indexOf("fdata"), 0);
  EXPECT_EQ(indexOf("FDATE"), 1);
  EXPECT_EQ(indexOf("XDATA"), 2);
  EXPECT_EQ(indexOf("fbilltype"), 5);
  EXPECT_EQ(indexOf("FBILLID"), 4);
  EXPECT_EQ(indexOf(""), 6);
  EXPECT_EQ(indexOf(std::string_view()), 6);  // empty, pointing nowhere
  EXPECT_EQ(indexOf("fb"), 7);
  // Names longer than eight letters told apart, or alike, after the eighth.
  EXPECT_EQ(indexOf("FBILLTYPESUB"), 9);
  EXPECT_EQ(indexOf("fbilltypesua"), 8);
  EXPECT_EQ(indexOf("F@"), 10);
  EXPECT_EQ(indexOf("fbilltype@@"), 11);
  EXPECT_EQ(indexOf("F["), 12);
  EXPECT_EQ(indexOf("\xC3\x81"), 13);
  EXPECT_EQ(rs.Fields("FData").Name(), "FData");
  // Characters that differ in the case bit alone but are no ASCII letters
  // (next to either end of the capitals, or past ASCII: a capital and a small
  // letter of another script), before the eighth and after it, do not match.
  for (const std::string_view missing :
       {"FDatb", "GData", "FDat", "FData ", "F", "FBillTyp", "F`", "FBillType``", "FBillTypeSuc",
        "FBillTypeSubb", "F{", "\xC3\xA1"}) {
    EXPECT_EQ(ErrorOf([&] { rs.Fields(missing); }).number(), kErrItemNotFound) << missing;
  }
}

TEST(RecordsetTest, ADateColumnsTextKeptAsReadIsADateWhenItWritesOneAndTextOtherwise) {
  const auto dated = [](bool datesAsText) {
    ResultSet result;
    result.hasRows = true;
    result.datesAsText = datesAsText;
    result.columns = std::make_shared<const std::vector<ColumnInfo>>(
        std::vector<ColumnInfo>{{"FDate", adDBTimeStamp}, {"FName", adVarChar}});
    result.values = {Variant("2026-01-05"), Variant("2026-01-06"), Variant("2026-02-30 08:00"),
                     Variant("2026-01-07 08:09:10")};
    return Recordset(std::move(result));
  };
  Recordset rs = dated(true);
  const Variant first(Date::FromParts(2026, 1, 5));
  EXPECT_EQ(rs.Fields("FDate").Value(), first);
  EXPECT_EQ(rs.Fields(0).Value(), first);  // read twice, the same value
  EXPECT_EQ(rs.Fields(0).ActualSize(), 8);
  EXPECT_EQ(rs.Fields("FName").Value(), Variant("2026-01-06"));  // not a date column
  rs.MoveNext();
  // No such day: the text as it was stored.
  EXPECT_EQ(rs.Fields(0).ActualSize(), 16);
  EXPECT_EQ(rs.Fields(0).Value(), Variant("2026-02-30 08:00"));
  EXPECT_EQ(rs.Fields(1).Value(), Variant("2026-01-07 08:09:10"));
  rs.MoveFirst();
  EXPECT_EQ(rs.Fields(0).Value(), first);

  // A backend that reads its dates itself leaves a text as it gave it.
  Recordset given = dated(false);
  EXPECT_EQ(given.Fields(0).Value(), Variant("2026-01-05"));
}

TEST(RecordsetTest, GetChunkReadsSuccessivePiecesThenNullAndStartsAgainOnAnotherRow) {
  Recordset rs = TwoRows();
  Field data = rs.Fields("FData");
  EXPECT_EQ(data.ActualSize(), 10);
  EXPECT_EQ(data.GetChunk(4), Variant(Bytes{1, 2, 3, 4}));
  EXPECT_EQ(data.GetChunk(4), Variant(Bytes{5, 6, 7, 8}));
  EXPECT_EQ(data.GetChunk(4), Variant(Bytes{9, 10}));
  EXPECT_TRUE(data.GetChunk(4).IsNull());
  // Another row starts again at its beginning.
  rs.MoveNext();
  EXPECT_EQ(rs.Fields("FData").GetChunk(100), Variant(Bytes{11, 12}));
  EXPECT_TRUE(rs.Fields("FName").GetChunk(1).IsNull());
  EXPECT_EQ(rs.Fields("FName").ActualSize(), 0);
  EXPECT_EQ(ErrorOf([&] { rs.Fields("FId").GetChunk(1); }).number(), HResult(0x800A0C93u));
}

}  // namespace
}  // namespace orvo::ado
