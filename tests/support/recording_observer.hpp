// RecordingObserver records every statement a connection runs, as the caller
// wrote it and with its bound values, and can make the n-th one, or the next
// step of a transaction, fail with a given error: how tests check exact
// statement texts and failure paths.
//
// Used on the thread that runs the statements.

#ifndef ORVO_TESTS_SUPPORT_RECORDING_OBSERVER_HPP_
#define ORVO_TESTS_SUPPORT_RECORDING_OBSERVER_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/statement_observer.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::testing {

class RecordingObserver : public ado::StatementObserver {
 public:
  struct Statement {
    std::string text;
    std::vector<Variant> params;
    bool finished = false;              // AfterExecute was told its outcome
    std::optional<std::int32_t> error;  // the number it failed with
  };

  void BeforeExecute(std::string_view text, const std::vector<Variant>& params) override {
    statements_.push_back(Statement{std::string(text), params, false, std::nullopt});
    if (failure_ && static_cast<int>(statements_.size()) == failAt_) {
      const AutomationError error = *failure_;
      failure_.reset();
      if (transient_) throw ado::TransientError(error);
      throw error;
    }
  }

  void AfterExecute(std::string_view, const AutomationError* error) override {
    statements_.back().finished = true;
    if (error != nullptr) statements_.back().error = error->number();
  }

  void BeforeTransaction(ado::TransactionStep step) override {
    if (!stepFailure_ || stepToFail_ != step) return;
    const AutomationError error = *stepFailure_;
    stepFailure_.reset();
    throw error;
  }

  // Makes the next `step` of a transaction fail with `error`.
  void FailNext(ado::TransactionStep step, AutomationError error) {
    stepToFail_ = step;
    stepFailure_ = std::make_unique<AutomationError>(std::move(error));
  }

  // Makes statement number `n`, counted from the next one, fail with `error`.
  // `transient`: as the database fails a transaction it ends so that
  // another can go on.
  void FailAt(int n, AutomationError error, bool transient = false) {
    failAt_ = static_cast<int>(statements_.size()) + n;
    failure_ = std::make_unique<AutomationError>(std::move(error));
    transient_ = transient;
  }

  const std::vector<Statement>& Statements() const { return statements_; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Statement& statement : statements_) texts.push_back(statement.text);
    return texts;
  }

 private:
  std::vector<Statement> statements_;
  int failAt_ = 0;
  std::unique_ptr<AutomationError> failure_;
  bool transient_ = false;
  ado::TransactionStep stepToFail_ = ado::TransactionStep::Begin;
  std::unique_ptr<AutomationError> stepFailure_;
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_RECORDING_OBSERVER_HPP_
