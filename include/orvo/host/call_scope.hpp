// A unit of work: every public method of the classes runs inside one call
// scope, and scopes entered while another is active on the thread (a public
// method calling another, a host grouping several calls) join its unit of
// work. The first connection enlisted (by the default DataContext's Open)
// begins a transaction.
//
// Complete and Abort are votes of the running call; within one call the last
// one wins. A call ends its scope with End when it succeeds: the outermost
// scope then commits, unless its own last vote was Abort or the unit of work
// is doomed, and a commit that fails raises its error, so that no caller is
// told of a write that was lost. An inner call that fails (its scope goes
// without End) or whose last vote is Abort dooms the whole unit of work,
// whatever later votes say; the outermost End then rolls back and, when its
// call wanted to commit, raises 0x8004E002. A scope that goes without End
// rolls back what was not ended.
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

#include <functional>
#include <memory>

#include "orvo/ado/connection.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/export.hpp"

namespace orvo::host {

class ORVO_EXPORT CallScope {
 public:
  explicit CallScope(ado::TransactionKind kind = ado::TransactionKind::Reading);
  // Rolls back (outermost) or dooms the unit of work (inner) unless ended.
  ~CallScope();
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

  // The call succeeded. An inner scope hands its last vote to the unit of
  // work; the outermost one ends the unit, raising the database's error when
  // a commit fails, and 0x8004E002 when the unit was doomed although this
  // call wanted to commit. A second End does nothing.
  void End();

  // Whether a scope is active on this thread.
  static bool Active();
  // Whether this scope began the unit of work of its thread.
  bool Outermost() const { return outer_ == nullptr; }
  // Begins a transaction on `connection` unless this unit of work already has
  // one there; a connection already in a transaction begun elsewhere is taken
  // over and ended with the unit. Does nothing when no scope is active.
  static void Enlist(const std::shared_ptr<ado::Connection>& connection);
  enum class Vote { None, Complete, Abort };
  // Records a vote of the running (innermost) call; does nothing when no
  // scope is active.
  static void Cast(Vote vote);
  // Runs `action` once the unit of work of this thread has ended, committed
  // or rolled back, so that what it does (a slow file, a message) never
  // happens while the unit holds the store's locks; right away when no scope
  // is active. Actions run in the order given; one that throws is skipped.
  static void AfterUnit(std::function<void()> action);

 private:
  CallScope* outer_;
  Vote vote_ = Vote::None;
  bool ended_ = false;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_CALL_SCOPE_HPP_
