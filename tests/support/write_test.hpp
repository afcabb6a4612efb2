// WriteTest adds to StoreTest what the tests of the writing methods share:
// running a call with each of its statements failing in turn, and checking
// that every such failure reaches the caller, leaves the store exactly as it
// was and ends the call with its Abort vote; and reading one row as text.
//
// One test at a time per thread.

#ifndef ORVO_TESTS_SUPPORT_WRITE_TEST_HPP_
#define ORVO_TESTS_SUPPORT_WRITE_TEST_HPP_

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "support/store_fixture.hpp"

namespace orvo::testing {

class WriteTest : public StoreTest {
 protected:
  // The failure injected into each statement in turn.
  static AutomationError Locked() {
    return AutomationError(HResult(0x80004005u), "SQLite", "database is locked");
  }

  // Runs `call` with its first statement failing, then its second, and so on,
  // until it runs to its end (and changes the store). Every failing run must
  // raise what `check(error, n)` accepts, leave the store as it was, never
  // vote Complete and vote Abort `aborts` times, last. Returns how many
  // statements the call runs. One more failure stays armed past the last
  // statement: only another FailEachStatement or the end of the test may
  // follow.
  template <class Call, class Check>
  int FailEachStatement(Call call, int aborts, Check check) {
    const std::string before = Snapshot();
    for (int n = 1; n <= 32; ++n) {
      Hub().ClearJournal();
      Observer().FailAt(n, Locked());
      try {
        call();
        return n - 1;
      } catch (const AutomationError& error) {
        check(error, n);
      }
      EXPECT_EQ(Snapshot(), before) << "statement " << n << " failed";
      const auto votes = JournalOperations();
      EXPECT_EQ(std::count(votes.begin(), votes.end(), "Abort"), aborts) << n;
      EXPECT_EQ(std::count(votes.begin(), votes.end(), "Complete"), 0) << n;
      EXPECT_EQ(votes.back(), "Abort") << n;
    }
    ADD_FAILURE() << "the call never ran to its end";
    return 0;
  }

  // As above for the methods that raise the failing error unchanged.
  template <class Call>
  int FailEachStatement(Call call, int aborts = 1) {
    return FailEachStatement(call, aborts, [](const AutomationError& error, int n) {
      EXPECT_EQ(error.number(), HResult(0x80004005u)) << n;
      EXPECT_EQ(error.source(), "SQLite") << n;
      EXPECT_EQ(error.description(), "database is locked") << n;
      EXPECT_EQ(error.helpFile(), "") << n;
    });
  }

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
