// The template reads end many statements in a condition on the owner of a
// row: " and FPreparerId=" and the calling user's id, or the manager user's,
// or no condition at all. A statement is kept as its head and its owner, so
// that a fallback chain reads as a list and the calling user's id is read
// from a fresh session for each statement that names it, never cached.
//
// Used inside a method's frame, on its thread.

#ifndef ORVO_BILLS_OWNED_STATEMENT_HPP_
#define ORVO_BILLS_OWNED_STATEMENT_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "component/frame.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::bills {

// The manager user, whose templates serve every user without their own.
inline constexpr std::int32_t kManagerUser = 16394;

enum class Owner { User, Manager, Anyone };

struct OwnedStatement {
  std::string head;
  Owner owner;
};

// The statement's text: its head, then for User or Manager
// " and FPreparerId=" and that user's id in decimal.
std::string StatementText(component::MethodContext& context, const OwnedStatement& statement);

// Runs the statements in order on the working connection until one gives a
// row, and returns the last recordset run (at its end when none gave a row).
std::shared_ptr<ado::Recordset> RunUntilFound(component::MethodContext& context,
                                              const std::vector<OwnedStatement>& statements);

// The settings text of a bill type or report: `head` for the calling user,
// else for the manager user; the first row's FData as text, "" when it is
// Null or neither has a settings row.
std::string ReadSettingsText(component::MethodContext& context, const std::string& head);

}  // namespace orvo::bills

#endif  // ORVO_BILLS_OWNED_STATEMENT_HPP_
