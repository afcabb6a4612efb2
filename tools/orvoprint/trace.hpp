// The observer behind --trace: one JSON object per statement on stderr,
// {"sql": "<text as the classes wrote it>", "params": [...]}, written before
// the statement runs, so a failing statement is traced too.
//
// Used on the thread that runs the statements.

#ifndef ORVO_TOOLS_ORVOPRINT_TRACE_HPP_
#define ORVO_TOOLS_ORVOPRINT_TRACE_HPP_

#include <iosfwd>

#include "orvo/ado/connection.hpp"

namespace orvoprint {

class TraceObserver : public orvo::ado::StatementObserver {
 public:
  explicit TraceObserver(std::ostream& out) : out_(out) {}
  void BeforeExecute(std::string_view text, const std::vector<orvo::Variant>& params) override;
  // The outcome reaches the caller as the command's result or error.
  void AfterExecute(std::string_view, const orvo::AutomationError*) override {}

 private:
  std::ostream& out_;
};

}  // namespace orvoprint

#endif  // ORVO_TOOLS_ORVOPRINT_TRACE_HPP_
