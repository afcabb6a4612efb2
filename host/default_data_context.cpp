#include "host/default_data_context.hpp"

#include "orvo/automation/error.hpp"
#include "orvo/host/call_scope.hpp"

namespace orvo::host {

DefaultDataContext::DefaultDataContext(std::shared_ptr<ServiceHub> hub,
                                       std::shared_ptr<Journal> journal)
    : hub_(std::move(hub)), journal_(std::move(journal)), number_(journal_->NumberNextContext()) {}

Variant DefaultDataContext::Open(const std::string& sDsn) {
  journal_->Record(number_, "Open");
  std::shared_ptr<ado::Connection> connection = hub_->PooledConnection(sDsn);
  CallScope::Enlist(connection);
  // Taken only once enlisted: a context whose Open failed has no connection
  // that could run statements outside the call's transaction.
  connection_ = std::move(connection);
  return Variant();
}

std::shared_ptr<ado::Connection> DefaultDataContext::Connection() {
  journal_->Record(number_, "Connection");
  if (!connection_) {
    throw AutomationError(HResult(0x80004005u), kHostSource,
                          "The data context has no open data source; call Open first.");
  }
  return connection_;
}

std::shared_ptr<SessionInfo> DefaultDataContext::Session() {
  journal_->Record(number_, "Session");
  return std::shared_ptr<SessionInfo>(shared_from_this(), &session_);
}

void DefaultDataContext::Complete() {
  journal_->Record(number_, "Complete");
  CallScope::Cast(CallScope::Vote::Complete);
}

void DefaultDataContext::Abort() {
  journal_->Record(number_, "Abort");
  CallScope::Cast(CallScope::Vote::Abort);
}

}  // namespace orvo::host
