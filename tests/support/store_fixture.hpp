// StoreTest gives each test a fresh template store in a temporary directory,
// a signed-in calling user on the thread's hub, an observer that records
// every statement (and can fail the n-th one), and helpers to seed rows.
// The behaviour suites are parameterised by backend, so the same cases run on
// every backend that is present: SQLite always.
//
// One test at a time per thread; everything is released after each test.

#ifndef ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_
#define ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_directory.hpp"

namespace orvo::testing {

// A backend the suites run on: how to make a data source text for a fresh
// store in `directory`.
struct Backend {
  std::string name;
  std::string (*dataSource)(const std::filesystem::path& directory);
};

// The backends present in this build and environment.
std::vector<Backend> Backends();

// Shows a backend by its name in test output.
inline void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

class StoreTest : public ::testing::TestWithParam<Backend> {
 protected:
  static constexpr std::int16_t kManager = 16394;
  static constexpr std::int16_t kUser = 7;

  void SetUp() override;
  void TearDown() override;

  const std::string& Dsn() const { return dsn_; }
  // A connection of the test's own, outside every unit of work.
  ado::Connection& Db() { return *db_; }
  std::shared_ptr<ado::Connection> DbPtr() { return db_; }
  host::ServiceHub& Hub() { return *hub_; }
  RecordingObserver& Observer() { return *observer_; }

  void SignIn(std::int16_t userId, const std::string& userName) { hub_->SignIn(userId, userName); }

  // Runs a statement with values for its markers on the test's connection.
  void Exec(const std::string& text, const std::vector<Variant>& values = {});
  // The first column of the first row of a query, Empty when there is none.
  Variant Scalar(const std::string& text);
  std::int32_t Count(const std::string& table, const std::string& where = "");

  // Inserts one row with the given columns and values and returns its FId.
  std::int32_t InsertRow(const std::string& table,
                         const std::vector<std::pair<std::string, Variant>>& columns);

  // Every row of the six tables, ordered by table and FId, one line a row with
  // every column: compare two of them to see that a call changed nothing.
  std::string Snapshot();

  // A settings row (FBillId 0) of T_PrintExport, or of T_PrintExportLM when
  // `dataFrom` is given.
  void SeedSettingsRow(std::int32_t billType, std::int16_t user, const Variant& printSet,
                       const std::string& optionText = "", const Variant& dataFrom = Variant());

  // The operations of the hub's journal, in order ("Open", "Complete", ...).
  std::vector<std::string> JournalOperations() const;

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

 private:
  std::unique_ptr<TempDirectory> directory_;
  std::string dsn_;
  std::shared_ptr<host::ServiceHub> hub_;
  std::shared_ptr<RecordingObserver> observer_;
  std::shared_ptr<ado::Connection> db_;
};

// Names the instantiation by backend: "SQLite".
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

}  // namespace orvo::testing

// Runs a StoreTest suite on every backend.
#define ORVO_INSTANTIATE_STORE_SUITE(Suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::ValuesIn(::orvo::testing::Backends()), \
                           ::orvo::testing::BackendName)

#endif  // ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_
