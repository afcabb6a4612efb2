// The hub of a thread: the signed-in user and the way data contexts are made;
// the pool and the journal do their own work. The hub keeps no reference to
// the contexts it hands out; each default context keeps the hub alive
// instead, so a context outliving its thread's hub variable still finds its
// user and pool.

#include "orvo/host/service_hub.hpp"

#include "ado/statement_observer.hpp"
#include "host/connection_pool.hpp"
#include "host/default_data_context.hpp"
#include "host/journal.hpp"
#include "host/journaling_data_context.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::host {

namespace {

constexpr std::int32_t kFailure = HResult(0x80004005u);

}  // namespace

std::shared_ptr<ServiceHub> ServiceHub::Current() {
  thread_local std::shared_ptr<ServiceHub> hub = std::make_shared<ServiceHub>();
  return hub;
}

ServiceHub::ServiceHub()
    : pool_(std::make_unique<ConnectionPool>()), journal_(std::make_shared<host::Journal>()) {}

ServiceHub::~ServiceHub() = default;

std::shared_ptr<ado::Connection> ServiceHub::PooledConnection(const std::string& sDsn) {
  return pool_->Connection(sDsn);
}

void ServiceHub::ClosePool() {
  pool_->Close();
}

void ServiceHub::SetStatementObserver(std::shared_ptr<ado::StatementObserver> observer) {
  pool_->SetObserver(std::move(observer));
}

const std::shared_ptr<ado::StatementObserver>& ServiceHub::StatementObserver() const {
  return pool_->Observer();
}

const std::vector<JournalEntry>& ServiceHub::Journal() const {
  return journal_->Entries();
}

void ServiceHub::ClearJournal() {
  journal_->Clear();
}

void ServiceHub::SignIn(std::int16_t userId, std::string userName) {
  // The name is written into the store as creator and modifier; a malformed
  // one would read back as another name.
  if (!IsValidUtf8(userName)) {
    throw RuntimeError(kInvalidProcedureCall, "The user name is not valid UTF-8.");
  }
  user_ = User{userId, std::move(userName)};
}

void ServiceHub::SignOut() {
  user_.reset();
}

const ServiceHub::User& ServiceHub::SignedInUser() const {
  if (!user_) {
    throw AutomationError(kFailure, kHostSource,
                          "No user is signed in on this thread; the host application signs the "
                          "calling user in with ServiceHub::SignIn.");
  }
  return *user_;
}

std::shared_ptr<host::DataContext> ServiceHub::DataContext() {
  std::shared_ptr<ServiceHub> self = weak_from_this().lock();
  if (!self) {
    throw AutomationError(kFailure, kHostSource,
                          "The service hub hands out data contexts only when it is shared; use "
                          "ServiceHub::Current().");
  }
  if (!factory_) return std::make_shared<DefaultDataContext>(std::move(self), journal_);
  std::shared_ptr<host::DataContext> inner = factory_(*this);
  if (!inner) {
    throw AutomationError(kFailure, kHostSource,
                          "The host's data context factory gave no data context.");
  }
  return std::make_shared<JournalingDataContext>(journal_, std::move(inner));
}

void ServiceHub::SetDataContextFactory(DataContextFactory factory) {
  factory_ = std::move(factory);
}

}  // namespace orvo::host
