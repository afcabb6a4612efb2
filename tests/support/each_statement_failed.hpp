// Runs a unit of work once with each of its statements failed in turn, the
// first, then the second, and so on until a run meets no failure: for tests
// that a failure anywhere in setting up or upgrading a store leaves nothing
// behind.

#ifndef ORVO_TESTS_SUPPORT_EACH_STATEMENT_FAILED_HPP_
#define ORVO_TESTS_SUPPORT_EACH_STATEMENT_FAILED_HPP_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "orvo/ado/connection.hpp"
#include "orvo/automation/error.hpp"
#include "support/recording_observer.hpp"

namespace orvo::testing {

// Calls `run(connection)` on a new connection to `dsn` whose n-th statement
// fails with an injected error, for n = 1, 2, ... until a call returns, and
// gives what it returned. After each failed call, `left(n, connection)`
// checks what the failure left behind with EXPECT_*; `failures` counts the
// failed calls. A call that fails otherwise, or a check that finds something
// wrong, ends the runs with the result's default.
template <class Run, class Left>
auto WithEachStatementFailed(const std::string& dsn, const Run& run, const Left& left,
                             int& failures) {
  using Result = decltype(run(std::declval<ado::Connection&>()));
  for (int n = 1;; ++n) {
    auto connection = ado::Connection::Open(dsn);
    auto observer = std::make_shared<RecordingObserver>();
    connection->SetObserver(observer);
    observer->FailAt(n, AutomationError(HResult(0x80004005u), "Test", "injected failure"));
    try {
      return run(*connection);
    } catch (const AutomationError& error) {
      if (error.description() != "injected failure") {
        ADD_FAILURE() << "statement " << n << ": " << error.description();
        return Result{};
      }
    }
    ++failures;
    left(n, *connection);
    if (::testing::Test::HasFailure()) return Result{};
  }
}

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_EACH_STATEMENT_FAILED_HPP_
