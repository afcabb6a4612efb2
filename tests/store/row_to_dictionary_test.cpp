#include "store/row_to_dictionary.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using Entries = std::vector<std::pair<std::string, Variant>>;

// A table of its own with a column of every kind a row can bring: text,
// Boolean (a declared BOOLEAN column gives adBoolean fields), binary,
// integer and date.
class RowToDictionaryTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    testing::StoreTest::SetUp();
    Exec(
        "create table T_RowKinds (FKey INTEGER, FName VARCHAR(255), FFlag BOOLEAN, FPicture BLOB,"
        " FDate DATETIME)");
    Exec("insert into T_RowKinds (FKey, FName, FFlag, FPicture, FDate) values (?,?,?,?,?)",
         {1, "first", true, Bytes{0x00, 0xFF, 0x10}, Date::FromParts(2024, 3, 5, 14, 7, 9)});
    Exec("insert into T_RowKinds (FKey, FName, FFlag, FPicture, FDate) values (?,?,?,?,?)",
         {2, Variant::Null(), false, Variant::Null(), Variant::Null()});
    Exec("insert into T_RowKinds (FKey, FName, FFlag) values (?,?,?)", {3, "", Variant::Null()});
  }

  std::shared_ptr<ado::Recordset> Rows(const std::string& selectList) {
    return Db().Execute("select " + selectList + " from T_RowKinds order by FKey");
  }
};

TEST_P(RowToDictionaryTest, KeepsValuesAsTheyAreUnderTheFieldNamesInFieldOrder) {
  auto rows = Rows("fname, FFlag, FPicture, FKey, FDate");
  ASSERT_EQ(rows->Fields("FFlag").Type(), ado::adBoolean);
  const auto row = RowToDictionary(*rows);
  EXPECT_EQ(row->Entries(), (Entries{{"fname", Variant("first")},
                                     {"FFlag", Variant(std::int16_t{1})},
                                     {"FPicture", Variant(Bytes{0x00, 0xFF, 0x10})},
                                     {"FKey", Variant(1)},
                                     {"FDate", Variant(Date::FromParts(2024, 3, 5, 14, 7, 9))}}));
}

TEST_P(RowToDictionaryTest, NullBecomesTheEmptyStringAndFalseZero) {
  auto rows = Rows("FName, FFlag, FPicture, FDate");
  rows->MoveNext();
  EXPECT_EQ(RowToDictionary(*rows)->Entries(), (Entries{{"FName", Variant("")},
                                                        {"FFlag", Variant(std::int16_t{0})},
                                                        {"FPicture", Variant("")},
                                                        {"FDate", Variant("")}}));
  // A Null Boolean is Null first: the empty string, not 0.
  rows->MoveNext();
  EXPECT_EQ(RowToDictionary(*rows)->Value("FFlag"), Variant(""));
}

TEST_P(RowToDictionaryTest, AStarListGivesTheDeclaredNames) {
  auto rows = Rows("*");
  std::vector<std::string> names;
  const auto row = RowToDictionary(*rows);
  for (const auto& [name, value] : row->Entries()) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"FKey", "FName", "FFlag", "FPicture", "FDate"}));
}

TEST_P(RowToDictionaryTest, LeavesTheRecordsetWhereItWas) {
  auto rows = Rows("FKey, FPicture");
  rows->MoveNext();
  const auto second = RowToDictionary(*rows);
  EXPECT_EQ(second->Value("FKey"), Variant(2));
  EXPECT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Fields("FKey").Value(), Variant(2));
  // Reading the row did not start the chunked reads of its fields.
  rows->MoveFirst();
  RowToDictionary(*rows);
  EXPECT_EQ(rows->Fields("FPicture").GetChunk(2), Variant(Bytes{0x00, 0xFF}));
  rows->MoveNext();
  rows->MoveNext();
  EXPECT_EQ(RowToDictionary(*rows)->Value("FKey"), Variant(3));
}

TEST_P(RowToDictionaryTest, ARecordsetPastItsLastRowFails) {
  auto rows = Db().Execute("select FKey from T_RowKinds where FKey=0");
  ASSERT_TRUE(rows->Eof());
  try {
    RowToDictionary(*rows);
    FAIL() << "there is no current row";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), ado::kErrNoCurrentRecord);
  }
}

ORVO_INSTANTIATE_STORE_SUITE(RowToDictionaryTest);

}  // namespace
}  // namespace orvo::store
