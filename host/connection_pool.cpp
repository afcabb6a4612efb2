// The pool keys connections by the data source text exactly as given.

#include "orvo/host/connection_pool.hpp"

namespace orvo::host {

std::shared_ptr<ado::Connection> ConnectionPool::Connection(const std::string& sDsn) {
  auto found = connections_.find(sDsn);
  if (found == connections_.end()) {
    // A data source that cannot be opened raises here and leaves the pool as
    // it was.
    std::shared_ptr<ado::Connection> connection = ado::Connection::Open(sDsn);
    found = connections_.emplace(sDsn, std::move(connection)).first;
  }
  found->second->SetObserver(observer_);
  return found->second;
}

}  // namespace orvo::host
