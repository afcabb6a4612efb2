// ConnectionPool keeps the open connections of one thread, one per data
// source, so that opening a data source on every call costs a lookup and not a
// connect. A data source is known by what its text resolves to: the case of
// its keys and the blanks around them do not matter, nor keys that no provider
// reads (such as Language), and a relative database file is the one in the
// current directory at the time of the request. Every connection it hands out
// reports its statements to the pool's observer, set at the time it is handed
// out, so an observer set later also reaches connections already pooled.
//
// Owned by the thread's hub; used on that thread. Connections handed out are
// shared with the pool, and stay usable by their holders after Close.

#ifndef ORVO_HOST_CONNECTION_POOL_HPP_
#define ORVO_HOST_CONNECTION_POOL_HPP_

#include <memory>
#include <string>
#include <unordered_map>

#include "ado/statement_observer.hpp"
#include "orvo/ado/connection.hpp"

namespace orvo::host {

class ConnectionPool {
 public:
  // The pooled connection to the data source `sDsn` names, opened on first
  // use, and opened anew when a failed rollback broke the one pooled. A data
  // source that cannot be opened raises and is not kept, so the next request
  // tries again.
  std::shared_ptr<ado::Connection> Connection(const std::string& sDsn);
  // Forgets every connection; the next request connects anew.
  void Close();

  // The observer of every connection handed out from now on (null for none).
  void SetObserver(std::shared_ptr<ado::StatementObserver> observer) {
    observer_ = std::move(observer);
  }
  const std::shared_ptr<ado::StatementObserver>& Observer() const { return observer_; }

 private:
  std::shared_ptr<ado::StatementObserver> observer_;
  std::unordered_map<std::string, std::shared_ptr<ado::Connection>> connections_;
  // The text of the last request whose data source does not depend on the
  // current directory, and its connection.
  std::string lastText_;
  std::shared_ptr<ado::Connection> last_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_CONNECTION_POOL_HPP_
