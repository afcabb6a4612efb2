// DefaultDataContext is the data context the hub hands out when the host put
// none of its own in place: Open takes the thread's pooled connection for the
// data source (which reports to the hub's statement observer) and enlists it
// in the running unit of work; the votes go to that unit of work. It writes
// every call on it into the hub's journal itself, under its number, as the
// journaling wrapper does for a host's own contexts; one session object, part
// of the context, serves all of its reads, each reading the user signed in at
// that moment.
//
// The context shares the hub and the connection it opened; the connection it
// returns is shared with the pool. Used on the thread of its hub.

#ifndef ORVO_HOST_DEFAULT_DATA_CONTEXT_HPP_
#define ORVO_HOST_DEFAULT_DATA_CONTEXT_HPP_

#include <cstdint>
#include <memory>

#include "host/hub_session.hpp"
#include "host/journal.hpp"
#include "orvo/host/data_context.hpp"
#include "orvo/host/service_hub.hpp"

namespace orvo::host {

class DefaultDataContext final : public DataContext,
                                 public std::enable_shared_from_this<DefaultDataContext> {
 public:
  DefaultDataContext(std::shared_ptr<ServiceHub> hub, std::shared_ptr<Journal> journal);

  Variant Open(const std::string& sDsn) override;
  std::shared_ptr<ado::Connection> Connection() override;
  std::shared_ptr<SessionInfo> Session() override;
  void Complete() override;
  void Abort() override;

 private:
  std::shared_ptr<ServiceHub> hub_;
  std::shared_ptr<Journal> journal_;
  std::uint64_t number_;
  std::shared_ptr<ado::Connection> connection_;
  // Handed out as a part of the context, so that a session keeps its
  // context, and with it the hub, alive, and costs no allocation of its own.
  HubSession session_{*hub_};
};

}  // namespace orvo::host

#endif  // ORVO_HOST_DEFAULT_DATA_CONTEXT_HPP_
