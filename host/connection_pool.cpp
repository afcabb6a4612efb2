// The hub's pool: one open connection per data source text on this thread.
// The text is the key exactly as given, so two spellings of one data source
// get two connections; the component always passes the caller's text through
// unchanged, which keeps the lookup a plain comparison.

#include "orvo/host/data_context.hpp"

namespace orvo::host {

std::shared_ptr<ado::Connection> ServiceHub::PooledConnection(const std::string& sDsn) {
  for (const auto& [dsn, connection] : pool_) {
    if (dsn == sDsn) return connection;
  }
  // A data source that cannot be opened raises here and leaves the pool as
  // it was, so the next call tries again.
  std::shared_ptr<ado::Connection> connection = ado::Connection::Open(sDsn);
  pool_.emplace_back(sDsn, connection);
  return connection;
}

void ServiceHub::ClosePool() {
  // A unit of work still running keeps its own references to the connections
  // it enlisted, so they end their transactions before they close.
  pool_.clear();
}

}  // namespace orvo::host
