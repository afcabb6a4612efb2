#include "host/journaling_data_context.hpp"

namespace orvo::host {

JournalingDataContext::JournalingDataContext(std::shared_ptr<ServiceHub> hub, std::uint64_t number,
                                             std::shared_ptr<DataContext> inner)
    : hub_(std::move(hub)), number_(number), inner_(std::move(inner)) {}

Variant JournalingDataContext::Open(const std::string& sDsn) {
  hub_->Record(number_, "Open");
  return inner_->Open(sDsn);
}

std::shared_ptr<ado::Connection> JournalingDataContext::Connection() {
  hub_->Record(number_, "Connection");
  return inner_->Connection();
}

std::shared_ptr<SessionInfo> JournalingDataContext::Session() {
  hub_->Record(number_, "Session");
  return inner_->Session();
}

void JournalingDataContext::Complete() {
  hub_->Record(number_, "Complete");
  inner_->Complete();
}

void JournalingDataContext::Abort() {
  hub_->Record(number_, "Abort");
  inner_->Abort();
}

}  // namespace orvo::host
