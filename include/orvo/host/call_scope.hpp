// A unit of work: every public method of the classes runs inside one. The
// first connection enlisted (by the default DataContext's Open) begins a
// transaction; Complete and Abort are votes, the last one winning. When the
// outermost scope ends, its transactions commit unless the last vote was
// Abort or an exception is leaving the scope, in which case they roll back.
// A scope entered while another is active on the thread joins it.
//
// A scope that may write says so: the transactions of its unit of work then
// begin as writing ones (ado::TransactionKind), so that concurrent writers
// wait for each other instead of failing when a read turns into a write. A
// writing scope joining a reading unit makes the connections enlisted after
// it begin as writing ones.
//
// A scope lives on the stack of one call and is used on its thread only; the
// unit of work keeps a reference to every connection enlisted until it ends.

#ifndef ORVO_HOST_CALL_SCOPE_HPP_
#define ORVO_HOST_CALL_SCOPE_HPP_

#include <memory>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/types.hpp"

namespace orvo::host {

class CallScope {
 public:
  explicit CallScope(ado::TransactionKind kind = ado::TransactionKind::Reading);
  ~CallScope();
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

  // Whether a scope is active on this thread.
  static bool Active();
  // Begins a transaction on `connection` unless this unit of work already has
  // one there; a connection already in a transaction begun elsewhere is taken
  // over and ended with the unit. Does nothing when no scope is active. When
  // a commit fails, the unit rolls back instead and drops the failure, since a
  // scope's end cannot raise.
  static void Enlist(const std::shared_ptr<ado::Connection>& connection);
  enum class Vote { None, Complete, Abort };
  // Records a vote; does nothing when no scope is active.
  static void Cast(Vote vote);

 private:
  int uncaught_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_CALL_SCOPE_HPP_
