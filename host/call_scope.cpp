// The unit of work of the calling thread. Only the outermost scope ends the
// transactions; scopes entered inside it (a public method calling another)
// join it, so the inner one's end commits nothing.
//
// Ending a transaction happens in a destructor and must not throw. When a
// commit fails, that connection is rolled back, and so is every connection
// not yet committed, so none of the unit's work is half kept on it; the
// failure itself cannot reach the caller and is dropped. Connections of
// different data sources that committed before the failure stay committed:
// there is no two-phase commit between data sources.

#include <exception>
#include <memory>
#include <vector>

#include "orvo/host/call_scope.hpp"

namespace orvo::host {

namespace {

struct UnitOfWork {
  int depth = 0;
  CallScope::Vote lastVote = CallScope::Vote::None;
  ado::TransactionKind kind = ado::TransactionKind::Reading;
  std::vector<std::shared_ptr<ado::Connection>> enlisted;
};

UnitOfWork& Unit() {
  thread_local UnitOfWork unit;
  return unit;
}

void RollBackQuietly(ado::Connection& connection) noexcept {
  try {
    if (connection.InTransaction()) connection.RollbackTrans();
  } catch (...) {
    // Nothing more can be done here; the database drops the transaction when
    // the connection closes.
  }
}

void CommitAll(const std::vector<std::shared_ptr<ado::Connection>>& connections) noexcept {
  for (std::size_t i = 0; i < connections.size(); ++i) {
    try {
      if (connections[i]->InTransaction()) connections[i]->CommitTrans();
    } catch (...) {
      for (std::size_t j = i; j < connections.size(); ++j) RollBackQuietly(*connections[j]);
      return;
    }
  }
}

}  // namespace

CallScope::CallScope(ado::TransactionKind kind) : uncaught_(std::uncaught_exceptions()) {
  UnitOfWork& unit = Unit();
  if (unit.depth == 0 || kind == ado::TransactionKind::Writing) unit.kind = kind;
  ++unit.depth;
}

CallScope::~CallScope() {
  UnitOfWork& unit = Unit();
  if (--unit.depth > 0) return;
  // Taken out first, so that the unit is clean for the next call whatever
  // the connections do.
  std::vector<std::shared_ptr<ado::Connection>> connections = std::move(unit.enlisted);
  unit.enlisted.clear();
  const bool aborted = unit.lastVote == Vote::Abort;
  unit.lastVote = Vote::None;
  // An exception leaving the outermost scope means the call failed, whatever
  // it voted before.
  const bool failing = std::uncaught_exceptions() > uncaught_;
  if (aborted || failing) {
    for (const auto& connection : connections) RollBackQuietly(*connection);
  } else {
    CommitAll(connections);
  }
}

bool CallScope::Active() {
  return Unit().depth > 0;
}

void CallScope::Enlist(const std::shared_ptr<ado::Connection>& connection) {
  UnitOfWork& unit = Unit();
  if (unit.depth == 0 || !connection) return;
  for (const auto& enlisted : unit.enlisted) {
    if (enlisted == connection) return;
  }
  // A connection already in a transaction that this unit did not begin (one
  // left open by a failed rollback, or begun by hand) is taken over: the unit
  // ends it with its own outcome instead of failing to begin a second one.
  // Reserve first so remembering it cannot fail after the transaction began.
  unit.enlisted.reserve(unit.enlisted.size() + 1);
  if (!connection->InTransaction()) connection->BeginTrans(unit.kind);
  unit.enlisted.push_back(connection);
}

void CallScope::Cast(Vote vote) {
  UnitOfWork& unit = Unit();
  if (unit.depth > 0) unit.lastVote = vote;
}

}  // namespace orvo::host
