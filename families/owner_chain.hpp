// The reads that look for the calling user's rows first, then the manager
// user's, and at last anyone's. Each statement of such a chain is a pattern
// (families/statement.hpp) whose owner condition names the hole {user}, the
// calling user read from a fresh session for each statement that names it,
// or {manager}, the manager user; a statement naming neither reads anyone's
// rows. The other holes are the caller's.
//
// Used inside a method's frame, on its thread.

#ifndef ORVO_FAMILIES_OWNER_CHAIN_HPP_
#define ORVO_FAMILIES_OWNER_CHAIN_HPP_

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ado/columns_read.hpp"
#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::families {

// Runs `pattern` on the working connection with the caller's holes, {user}
// and {manager} filled; the recordset holds at most `maxRecords` rows, all
// of them for 0, and only the columns `read` names when it is given, as
// ado::Connection::Read.
ado::Recordset RunOwned(component::MethodContext& context, std::string_view pattern,
                        std::span<const Hole> holes, std::size_t maxRecords = 0,
                        const ado::ColumnsRead* read = nullptr);

// Runs the statements of `chain` in order on the working connection until one
// gives a row; the last recordset run (at its end when none gave a row).
// As RunOwned, without telling the connection's observer: for what the
// unit of work itself must know, such as a check repeated under a lock.
ado::Recordset RunUnobserved(component::MethodContext& context, std::string_view pattern,
                             std::span<const Hole> holes);

ado::Recordset FirstFound(component::MethodContext& context,
                          std::span<const std::string_view> chain, std::span<const Hole> holes,
                          std::size_t maxRecords = 0, const ado::ColumnsRead* read = nullptr);
inline ado::Recordset FirstFound(component::MethodContext& context,
                                 std::initializer_list<std::string_view> chain,
                                 std::span<const Hole> holes, std::size_t maxRecords = 0) {
  return FirstFound(context, std::span(chain.begin(), chain.size()), holes, maxRecords);
}

// The settings text: FData of the first row that `userSettings`, else
// `managerSettings`, gives, as text; "" when it is Null or neither gives one.
std::string SettingsText(component::MethodContext& context, std::string_view userSettings,
                         std::string_view managerSettings, std::span<const Hole> holes);

}  // namespace orvo::families

#endif  // ORVO_FAMILIES_OWNER_CHAIN_HPP_
