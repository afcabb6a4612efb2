// The unit of work of the calling thread. Only the outermost scope ends the
// transactions; scopes entered inside it join it, and what they end with
// (success with their last vote, or failure) is kept in the unit.
//
// A commit that fails rolls back that connection and every one not yet
// committed, so none of the unit's work is half kept on them, and raises its
// error. Connections of different data sources that committed before the
// failure stay committed: there is no two-phase commit between data sources.

#include "orvo/host/call_scope.hpp"

#include <memory>
#include <vector>

#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

namespace orvo::host {

namespace {

// The unit of work was aborted while its outermost call wanted to commit.
constexpr std::int32_t kAborted = HResult(0x8004E002u);

struct UnitOfWork {
  CallScope* innermost = nullptr;
  // A call inside the unit failed or ended on Abort.
  bool doomed = false;
  ado::TransactionKind kind = ado::TransactionKind::Reading;
  std::vector<std::shared_ptr<ado::Connection>> enlisted;
  std::vector<std::function<void()>> afterwards;
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

void RollBackAll(const std::vector<std::shared_ptr<ado::Connection>>& connections) noexcept {
  for (const auto& connection : connections) RollBackQuietly(*connection);
}

void CommitAll(const std::vector<std::shared_ptr<ado::Connection>>& connections) {
  for (std::size_t i = 0; i < connections.size(); ++i) {
    try {
      if (connections[i]->InTransaction()) connections[i]->CommitTrans();
    } catch (...) {
      for (std::size_t j = i; j < connections.size(); ++j) RollBackQuietly(*connections[j]);
      throw;
    }
  }
}

// The connections of the unit, taken out so that the unit is clean for the
// next call whatever they do.
std::vector<std::shared_ptr<ado::Connection>> TakeEnlisted(UnitOfWork& unit) {
  std::vector<std::shared_ptr<ado::Connection>> connections = std::move(unit.enlisted);
  unit.enlisted.clear();
  return connections;
}

// Gives the emptied list back to the unit, so that the next unit enlists
// without allocating; a unit that enlisted anew meanwhile keeps its own.
void GiveBack(UnitOfWork& unit,
              std::vector<std::shared_ptr<ado::Connection>>& connections) noexcept {
  connections.clear();
  if (unit.enlisted.empty()) unit.enlisted.swap(connections);
}

void RunAfterwards(UnitOfWork& unit) noexcept {
  std::vector<std::function<void()>> actions = std::move(unit.afterwards);
  unit.afterwards.clear();
  for (const auto& action : actions) {
    try {
      action();
    } catch (...) {
      // What runs after a unit of work is never part of its outcome.
    }
  }
}

}  // namespace

CallScope::CallScope(ado::TransactionKind kind) : outer_(Unit().innermost) {
  UnitOfWork& unit = Unit();
  if (outer_ == nullptr || kind == ado::TransactionKind::Writing) unit.kind = kind;
  unit.innermost = this;
}

CallScope::~CallScope() {
  UnitOfWork& unit = Unit();
  unit.innermost = outer_;
  if (outer_ != nullptr) {
    if (!ended_) unit.doomed = true;
    return;
  }
  // Whatever End did not end: all of it when the call failed.
  std::vector<std::shared_ptr<ado::Connection>> connections = TakeEnlisted(unit);
  RollBackAll(connections);
  GiveBack(unit, connections);
  unit.doomed = false;
  RunAfterwards(unit);
}

void CallScope::End() {
  if (ended_) return;
  ended_ = true;
  UnitOfWork& unit = Unit();
  if (outer_ != nullptr) {
    if (vote_ == Vote::Abort) unit.doomed = true;
    return;
  }
  std::vector<std::shared_ptr<ado::Connection>> connections = TakeEnlisted(unit);
  if (unit.doomed || vote_ == Vote::Abort) {
    RollBackAll(connections);
    GiveBack(unit, connections);
    if (vote_ != Vote::Abort) {
      throw AutomationError(kAborted, kHostSource,
                            "A call inside this unit of work failed or aborted, so none of its "
                            "work was kept.");
    }
    return;
  }
  CommitAll(connections);
  GiveBack(unit, connections);
}

bool CallScope::Active() {
  return Unit().innermost != nullptr;
}

void CallScope::Enlist(const std::shared_ptr<ado::Connection>& connection) {
  UnitOfWork& unit = Unit();
  if (unit.innermost == nullptr || !connection) return;
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

void CallScope::AfterUnit(std::function<void()> action) {
  UnitOfWork& unit = Unit();
  if (unit.innermost == nullptr) {
    action();
    return;
  }
  unit.afterwards.push_back(std::move(action));
}

void CallScope::Cast(Vote vote) {
  UnitOfWork& unit = Unit();
  if (unit.innermost != nullptr) unit.innermost->vote_ = vote;
}

}  // namespace orvo::host
