// What the store's own changes (its schema, its history settings) run in: one
// writing transaction on the caller's connection, committed when the work
// returns and rolled back when it raises, the work's error raised again.
//
// On the caller's thread, on a connection outside any transaction.

#ifndef ORVO_STORE_WRITING_TRANSACTION_HPP_
#define ORVO_STORE_WRITING_TRANSACTION_HPP_

#include "orvo/ado/connection.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::store {

template <class Work>
auto InWritingTransaction(ado::Connection& connection, Work work) {
  connection.BeginTrans(ado::TransactionKind::Writing);
  try {
    auto result = work();
    connection.CommitTrans();
    return result;
  } catch (...) {
    try {
      if (connection.InTransaction()) connection.RollbackTrans();
    } catch (const AutomationError&) {
      // The database ends the transaction itself when it cannot go on; the
      // first failure is the one to report.
    }
    throw;
  }
}

}  // namespace orvo::store

#endif  // ORVO_STORE_WRITING_TRANSACTION_HPP_
