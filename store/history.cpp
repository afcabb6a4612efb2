#include "store/history.hpp"

#include <string>

#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "store/tables.hpp"
#include "store/writing_transaction.hpp"

namespace orvo::store {

std::int32_t HistoryKeep(ado::Connection& connection) {
  return CLng(
      connection.Execute(std::string("select FKeep from ") + kHistorySettings)->Fields(0).Value());
}

void KeepHistory(ado::Connection& connection, std::int32_t versions) {
  if (versions < 0) {
    throw RuntimeError(kInvalidProcedureCall, "The number of versions to keep is " +
                                                  std::to_string(versions) +
                                                  "; it is 0 (no history) or more.");
  }
  InWritingTransaction(connection, [&] {
    connection.Execute(std::string("update ") + kHistorySettings +
                       " set FKeep = " + std::to_string(versions));
    // The newest `versions` of each row stay; the statement numbers them per
    // row, newest first.
    for (const HistoryTable& history : HistoryTables()) {
      const std::string& name = history.table.name;
      connection.Execute("delete from " + name +
                         " where FVersion in (select FVersion from (select FVersion, "
                         "row_number() over (partition by FId order by FVersion desc) as "
                         "FNewer from " +
                         name + ") as ranked where FNewer > " + std::to_string(versions) + ")");
    }
    return true;
  });
}

}  // namespace orvo::store
