// JournalingDataContext wraps every data context the hub hands out: it writes
// each call into the hub's journal, under the context's number, before passing
// the call on, so the journal shows a call even when the inner context fails.
//
// The wrapper owns the inner context and shares the journal. Used on the
// thread of its hub.

#ifndef ORVO_HOST_JOURNALING_DATA_CONTEXT_HPP_
#define ORVO_HOST_JOURNALING_DATA_CONTEXT_HPP_

#include <cstdint>
#include <memory>

#include "host/journal.hpp"
#include "orvo/host/data_context.hpp"

namespace orvo::host {

class JournalingDataContext final : public DataContext {
 public:
  JournalingDataContext(std::shared_ptr<Journal> journal, std::shared_ptr<DataContext> inner);

  Variant Open(const std::string& sDsn) override;
  std::shared_ptr<ado::Connection> Connection() override;
  std::shared_ptr<SessionInfo> Session() override;
  void Complete() override;
  void Abort() override;

 private:
  std::shared_ptr<Journal> journal_;
  std::uint64_t number_;
  std::shared_ptr<DataContext> inner_;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_JOURNALING_DATA_CONTEXT_HPP_
