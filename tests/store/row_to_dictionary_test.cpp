#include "store/row_to_dictionary.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using Entries = std::vector<std::pair<std::string, Variant>>;

using RowToDictionaryTest = testing::StoreTest;

// Values stay under the names as the statement wrote them; Null, a Null
// Boolean among them, is the empty text; a Boolean is the Integer 1 or 0.
TEST_P(RowToDictionaryTest, KeepsValuesUnderTheNamesAsWrittenNullAsEmptyAndBooleansAsOneOrZero) {
  // Types that every backend declares alike.
  Exec(
      "create table T_RowKinds (FKey INTEGER, FName VARCHAR(255), FFlag BOOLEAN, FDate TIMESTAMP)");
  const std::string insert = "insert into T_RowKinds values (?,?,?,?)";
  Exec(insert, {1, "first", true, Date::FromParts(2024, 3, 5, 14, 7, 9)});
  Exec(insert, {2, Variant::Null(), false, Variant::Null()});
  Exec(insert, {3, "", Variant::Null(), Variant::Null()});
  auto rows = Db().Execute("select fname, FFlag, FKey, FDate from T_RowKinds order by FKey");
  ASSERT_EQ(rows->Fields("FFlag").Type(), ado::adBoolean);
  const Entries expected[] = {{{"fname", Variant("first")},
                               {"FFlag", Variant(std::int16_t{1})},
                               {"FKey", Variant(1)},
                               {"FDate", Variant(Date::FromParts(2024, 3, 5, 14, 7, 9))}},
                              {{"fname", Variant("")},
                               {"FFlag", Variant(std::int16_t{0})},
                               {"FKey", Variant(2)},
                               {"FDate", Variant("")}},
                              {{"fname", Variant("")},
                               {"FFlag", Variant("")},
                               {"FKey", Variant(3)},
                               {"FDate", Variant("")}}};
  for (const Entries& row : expected) {
    EXPECT_EQ(RowToDictionary(*rows)->Entries(), row);
    rows->MoveNext();
  }
  EXPECT_EQ(testing::ErrorOf([&] { RowToDictionary(*rows); }).number(), ado::kErrNoCurrentRecord);
}

ORVO_INSTANTIATE_STORE_SUITE(RowToDictionaryTest);

}  // namespace
}  // namespace orvo::store
