// The pool keeps one connection per store that a data source text names
// (ado::IdentityOf): two spellings of one store share one connection, which
// keeps a unit of work from opening the same store twice and waiting on
// itself.

#include "host/connection_pool.hpp"

#include "ado/connection_string.hpp"

namespace orvo::host {

std::shared_ptr<ado::Connection> ConnectionPool::Connection(const std::string& sDsn) {
  // A host names its data source with the same text call after call: the
  // text it named last is known without reading it again.
  if (last_ && sDsn == lastText_ && !last_->Broken()) {
    last_->SetObserver(observer_);
    return last_;
  }
  const auto [key, followsDirectory] = ado::IdentityOf(sDsn);
  auto found = connections_.find(key);
  // A connection whose rollback failed may still be inside its transaction,
  // one whose server went away can run nothing more: every later call on it
  // would fail, so a new one takes its place.
  if (found != connections_.end() && found->second->Broken()) {
    connections_.erase(found);
    found = connections_.end();
  }
  if (found == connections_.end()) {
    // A data source that cannot be opened raises here and leaves the pool as
    // it was.
    std::shared_ptr<ado::Connection> connection = ado::Connection::Open(sDsn);
    found = connections_.emplace(key, std::move(connection)).first;
  }
  found->second->SetObserver(observer_);
  last_ = followsDirectory ? nullptr : found->second;
  lastText_ = followsDirectory ? std::string() : sDsn;
  return found->second;
}

void ConnectionPool::Close() {
  last_.reset();
  lastText_.clear();
  connections_.clear();
}

}  // namespace orvo::host
