#include "store/row_to_dictionary.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using orvo::testing::ErrorOf;
using Entries = std::vector<std::pair<std::string, Variant>>;

using RowToDictionaryTest = testing::StoreTest;

TEST_P(RowToDictionaryTest, KeepsValuesUnderTheNamesAsWrittenNullAsEmptyAndBooleansAsOneOrZero) {
  // A declared BOOLEAN column gives adBoolean fields.
  Exec(
      "create table T_RowKinds (FKey INTEGER, FName VARCHAR(255), FFlag BOOLEAN, FPicture BLOB,"
      " FDate DATETIME)");
  const std::string insert = "insert into T_RowKinds values (?,?,?,?,?)";
  Exec(insert, {1, "first", true, Bytes{0x00, 0xFF, 0x10}, Date::FromParts(2024, 3, 5, 14, 7, 9)});
  Exec(insert, {2, Variant::Null(), false, Variant::Null(), Variant::Null()});
  Exec(insert, {3, "", Variant::Null(), Variant::Null(), Variant::Null()});
  auto rows =
      Db().Execute("select fname, FFlag, FPicture, FKey, FDate from T_RowKinds order by FKey");
  ASSERT_EQ(rows->Fields("FFlag").Type(), ado::adBoolean);
  EXPECT_EQ(RowToDictionary(*rows)->Entries(),
            (Entries{{"fname", Variant("first")},
                     {"FFlag", Variant(std::int16_t{1})},
                     {"FPicture", Variant(Bytes{0x00, 0xFF, 0x10})},
                     {"FKey", Variant(1)},
                     {"FDate", Variant(Date::FromParts(2024, 3, 5, 14, 7, 9))}}));
  // Reading the row neither moved the recordset nor started the chunked reads.
  EXPECT_EQ(rows->Fields("FKey").Value(), Variant(1));
  EXPECT_EQ(rows->Fields("FPicture").GetChunk(2), Variant(Bytes{0x00, 0xFF}));
  rows->MoveNext();
  EXPECT_EQ(RowToDictionary(*rows)->Entries(), (Entries{{"fname", Variant("")},
                                                        {"FFlag", Variant(std::int16_t{0})},
                                                        {"FPicture", Variant("")},
                                                        {"FKey", Variant(2)},
                                                        {"FDate", Variant("")}}));
  EXPECT_EQ(rows->Fields("FKey").Value(), Variant(2));
  // A Null Boolean is Null first: the empty string, not 0.
  rows->MoveNext();
  EXPECT_EQ(RowToDictionary(*rows)->Value("FFlag"), Variant(""));
  EXPECT_FALSE(rows->Eof());
}

TEST_P(RowToDictionaryTest, ARecordsetPastItsLastRowFails) {
  auto rows = Db().Execute("select FId from T_PrintExport");
  ASSERT_TRUE(rows->Eof());
  EXPECT_EQ(ErrorOf([&] { RowToDictionary(*rows); }).number(), ado::kErrNoCurrentRecord);
}

ORVO_INSTANTIATE_STORE_SUITE(RowToDictionaryTest);

}  // namespace
}  // namespace orvo::store
