// WriteTest adds to StoreTest what the tests of the writing methods share:
// seeding a template, the values bound to a statement, and one row as text.
//
// One test at a time per thread.

#ifndef ORVO_TESTS_SUPPORT_WRITE_TEST_HPP_
#define ORVO_TESTS_SUPPORT_WRITE_TEST_HPP_

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "support/store_fixture.hpp"

namespace orvo::testing {

class WriteTest : public StoreTest {
 protected:
  // A template of `creator`, created and last modified by Bob on 2020-01-02
  // 03:04:05, whose body is "old"; its screen id is its bill type unless
  // `screenId` is given. Returns its id.
  std::int32_t SeedTemplate(const std::string& table, const std::string& creator,
                            const std::string& name, std::int32_t billType,
                            const Variant& dataFrom = Variant(), const std::string& screenId = "") {
    std::vector<std::pair<std::string, Variant>> columns{
        {"FName", name},
        {"FScreenId", screenId.empty() ? std::to_string(billType) : screenId},
        {"FCreatorName", creator},
        {"FModifierName", "Bob"},
        {"FNewBillType", billType},
        {"FCreateDate", kSeeded},
        {"FModifyDate", kSeeded},
        {"FData", Bytes{'o', 'l', 'd'}}};
    if (!dataFrom.IsEmpty()) columns.emplace_back("FDataFrom", dataFrom);
    return InsertRow(table, columns);
  }
  static constexpr const char* kSeeded = "2020-01-02 03:04:05";

  // The values bound to the statement `index` (from 0) that the observer
  // saw, as "Kind:value" separated by ", "; a date by its kind alone.
  std::string Params(std::size_t index) {
    std::string text;
    for (const Variant& value : Observer().Statements().at(index).params) {
      text += (text.empty() ? "" : ", ") + std::string(value.KindName());
      if (value.kind() != Variant::Kind::Date && !value.IsNull()) text += ":" + CStr(value);
    }
    return text;
  }

  // The columns of the one row that `where` selects from `table`, as text
  // separated by "|" (Null as "NULL").
  std::string Row(const std::string& table, const std::string& columns, const std::string& where) {
    auto rows = Db().Execute("select " + columns + " from " + table + " where " + where);
    if (rows->Eof()) return "no row";
    std::string text;
    for (std::int32_t i = 0; i < rows->FieldCount(); ++i) {
      const Variant value = rows->Fields(i).Value();
      text += (i == 0 ? "" : "|") + (value.IsNull() ? std::string("NULL") : CStr(value));
    }
    rows->MoveNext();
    return rows->Eof() ? text : "more than one row";
  }
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_WRITE_TEST_HPP_
