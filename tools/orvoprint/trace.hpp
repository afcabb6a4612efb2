// The observer behind --trace: one JSON object per statement on stderr,
// {"sql": "<text as the classes wrote it>", "params": [...], "ran": "<text
// the database ran>", "ranParams": [...]}, written before the statement runs,
// so a failing statement is traced too. "ran" is the text's shape in the
// database's dialect, its literals lifted out as markers, and "ranParams"
// the values bound to all of its markers. A statement stopped before it
// reached the database is traced without "ran".
//
// Used on the thread that runs the statements.

#ifndef ORVO_TOOLS_ORVOPRINT_TRACE_HPP_
#define ORVO_TOOLS_ORVOPRINT_TRACE_HPP_

#include <iosfwd>
#include <optional>

#include "ado/statement_observer.hpp"
#include "orvo/ado/connection.hpp"
#include "tools/orvoprint/json_codec.hpp"

namespace orvoprint {

class TraceObserver : public orvo::ado::StatementObserver {
 public:
  explicit TraceObserver(std::ostream& out) : out_(out) {}
  void BeforeExecute(std::string_view text, const std::vector<orvo::Variant>& params) override;
  void Adapted(std::string_view text, const orvo::ado::RanStatement& ran) override;
  // The outcome reaches the caller as the command's result or error.
  void AfterExecute(std::string_view text, const orvo::AutomationError* error) override;

 private:
  void Write();

  std::ostream& out_;
  std::optional<OrderedJson> pending_;  // the line of the statement not yet written
};

}  // namespace orvoprint

#endif  // ORVO_TOOLS_ORVOPRINT_TRACE_HPP_
