// The host data context: what the business application gives the component on
// every call. ServiceHub (one per thread, the apartment) signs the calling
// user in and hands out DataContexts; a DataContext opens a data source, gives
// its connection and the calling user's SessionInfo, and takes the call's
// votes (Complete, Abort). A host application may put its own DataContext in
// place of the default one with ServiceHub::SetDataContextFactory.
//
// The default DataContext pools one connection per thread and data source, and
// joins the call's unit of work (see CallScope): the first Open in a call
// begins a transaction, which the outermost scope commits or rolls back.
//
// Every call made on a DataContext handed out by the hub is written into the
// hub's journal, so the order and count of Open, Complete and Abort can be
// checked.
//
// All of these belong to the thread that created them.

#ifndef ORVO_HOST_DATA_CONTEXT_HPP_
#define ORVO_HOST_DATA_CONTEXT_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvo/ado/connection.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo::host {

// Errors raised by the host carry this source.
inline constexpr const char* kHostSource = "OrvoGlobal";

class SessionInfo {
 public:
  virtual ~SessionInfo() = default;
  virtual std::int16_t UserID() const = 0;
  virtual std::string UserName() const = 0;
};

class DataContext {
 public:
  virtual ~DataContext() = default;
  // Opens the data source named by `sDsn`; afterwards Connection() gives an
  // open connection to it. The result carries nothing the component uses.
  virtual Variant Open(const std::string& sDsn) = 0;
  // The connection of the data source last opened; raises when none is open.
  virtual std::shared_ptr<ado::Connection> Connection() = 0;
  // A fresh SessionInfo for the calling user on every call.
  virtual std::shared_ptr<SessionInfo> Session() = 0;
  virtual void Complete() = 0;
  virtual void Abort() = 0;
};

// One line of the hub's journal: which context (numbered from 1 in the order
// the hub handed them out) and which operation ("Open", "Connection",
// "Session", "Complete", "Abort").
struct JournalEntry {
  std::uint64_t context = 0;
  std::string operation;
  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

class ServiceHub : public std::enable_shared_from_this<ServiceHub> {
 public:
  using DataContextFactory = std::function<std::shared_ptr<host::DataContext>(ServiceHub&)>;

  // The hub of the calling thread, created on first use.
  static std::shared_ptr<ServiceHub> Current();

  // The calling user of this thread; every SessionInfo reads it.
  void SignIn(std::int16_t userId, std::string userName);
  void SignOut();
  struct User {
    std::int16_t id;
    std::string name;
  };
  // Raises 0x80004005 "No user is signed in..." when nobody is.
  User SignedInUser() const;

  // A new DataContext each time (the default one unless a factory was put in
  // place), wrapped so that its calls are journaled.
  std::shared_ptr<host::DataContext> DataContext();
  // Puts a host's own data context in place of the default; an empty factory
  // restores the default.
  void SetDataContextFactory(DataContextFactory factory);

  // Every connection the default data context opens from now on reports its
  // statements to this observer (null for none).
  void SetStatementObserver(std::shared_ptr<ado::StatementObserver> observer);
  const std::shared_ptr<ado::StatementObserver>& StatementObserver() const { return observer_; }

  // The journal keeps at least the last kJournalKeeps calls, so a hub that
  // lives as long as its thread does not grow without bound.
  static constexpr std::size_t kJournalKeeps = 4096;
  const std::vector<JournalEntry>& Journal() const { return journal_; }
  void ClearJournal() { journal_.clear(); }
  // Used by the journaling wrapper.
  void Record(std::uint64_t context, std::string_view operation);

  // Pooled connections of this thread, one per data source text; closing them
  // makes the next Open connect anew.
  std::shared_ptr<ado::Connection> PooledConnection(const std::string& sDsn);
  void ClosePool();

 private:
  std::optional<User> user_;
  DataContextFactory factory_;
  std::shared_ptr<ado::StatementObserver> observer_;
  std::vector<JournalEntry> journal_;
  std::uint64_t contexts_ = 0;
  std::vector<std::pair<std::string, std::shared_ptr<ado::Connection>>> pool_;
};

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

#endif  // ORVO_HOST_DATA_CONTEXT_HPP_
