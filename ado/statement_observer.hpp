// What a connection tells an observer of its statements and transactions:
// the seam through which tests check exact statement texts and make a step
// fail, and through which the command line traces.
//
// Called on the thread that uses the connection.

#ifndef ORVO_ADO_STATEMENT_OBSERVER_HPP_
#define ORVO_ADO_STATEMENT_OBSERVER_HPP_

#include <string>
#include <string_view>
#include <vector>

#include "orvo/automation/error.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::ado {

// What a backend runs for a statement: the text adapted to its dialect, its
// literals lifted out as markers, and the values bound to every marker.
struct RanStatement {
  std::string text;
  std::vector<Variant> params;
};

// The steps of a transaction that a connection takes for its host.
enum class TransactionStep { Begin, Commit, Rollback };

// Sees every statement before it runs, the text the backend runs for it, and
// its outcome after. BeforeExecute may throw an AutomationError to make the
// statement fail with that error, which is the seam that fault tests use;
// BeforeTransaction is the same seam for the steps of a transaction.
class StatementObserver {
 public:
  virtual ~StatementObserver() = default;
  // `text` is the statement as the caller wrote it; `params` the values bound
  // to its markers, after conversion to their parameter types.
  virtual void BeforeExecute(std::string_view text, const std::vector<Variant>& params) = 0;
  // After BeforeExecute and before the statement runs: `ran` is what the
  // backend runs for `text` (the text adapted to its database's dialect, with
  // its literals lifted out) and the values it binds.
  virtual void Adapted(std::string_view /*text*/, const RanStatement& /*ran*/) {}
  // `error` is null when the statement succeeded.
  virtual void AfterExecute(std::string_view text, const AutomationError* error) = 0;
  // Before the connection begins, commits or rolls back a transaction; may
  // throw to make that step fail. Statement traces leave these out.
  virtual void BeforeTransaction(TransactionStep /*step*/) {}
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_STATEMENT_OBSERVER_HPP_
