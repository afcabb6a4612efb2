// ServiceHub is the host of one thread (the apartment): the host application
// signs the calling user in on it, and it hands out a new DataContext whenever
// an instance asks, the default one or the host's own. It is made of parts
// with one job each: the thread's connection pool (with the statement
// observer), and the journal in which every call on a context it handed out is
// written.
//
// Current() gives the thread's hub, created on first use and shared by
// everything on the thread; a hub is used only on its thread. Contexts it
// hands out share it, so they keep their user, pool and journal while they
// live.

#ifndef ORVO_HOST_SERVICE_HUB_HPP_
#define ORVO_HOST_SERVICE_HUB_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "orvo/export.hpp"
#include "orvo/host/data_context.hpp"

namespace orvo::ado {
class StatementObserver;
}  // namespace orvo::ado

namespace orvo::host {

class ConnectionPool;
class Journal;
struct JournalEntry;

class ORVO_EXPORT ServiceHub : public std::enable_shared_from_this<ServiceHub> {
 public:
  using DataContextFactory = std::function<std::shared_ptr<host::DataContext>(ServiceHub&)>;

  // The hub of the calling thread, created on first use.
  static std::shared_ptr<ServiceHub> Current();

  ServiceHub();
  ~ServiceHub();
  ServiceHub(const ServiceHub&) = delete;
  ServiceHub& operator=(const ServiceHub&) = delete;

  // The calling user of this thread; every SessionInfo reads it. A name that
  // is not valid UTF-8 is refused with 5, keeping the user signed in before.
  void SignIn(std::int16_t userId, std::string userName);
  void SignOut();
  struct User {
    std::int16_t id;
    std::string name;
  };
  // Raises 0x80004005 "No user is signed in..." when nobody is.
  const User& SignedInUser() const;

  // A new DataContext each time (the default one unless a factory was put in
  // place), wrapped so that its calls are written into the journal.
  std::shared_ptr<host::DataContext> DataContext();
  // Puts a host's own data context in place of the default; an empty factory
  // restores the default.
  void SetDataContextFactory(DataContextFactory factory);

  // The thread's pooled connection to a data source, reporting to the
  // statement observer; ClosePool makes the next request connect anew.
  std::shared_ptr<ado::Connection> PooledConnection(const std::string& sDsn);
  void ClosePool();

  // For the library's own tools and tests (host/journal.hpp,
  // ado/statement_observer.hpp). Every pooled connection handed out from now
  // on reports its statements to this observer (null for none).
  ORVO_INTERNAL void SetStatementObserver(std::shared_ptr<ado::StatementObserver> observer);
  ORVO_INTERNAL const std::shared_ptr<ado::StatementObserver>& StatementObserver() const;
  // The recent calls on the contexts this hub handed out, oldest first.
  ORVO_INTERNAL const std::vector<JournalEntry>& Journal() const;
  ORVO_INTERNAL void ClearJournal();

 private:
  std::optional<User> user_;
  DataContextFactory factory_;
  std::unique_ptr<ConnectionPool> pool_;
  std::shared_ptr<host::Journal> journal_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_SERVICE_HUB_HPP_
