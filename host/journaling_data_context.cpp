#include "host/journaling_data_context.hpp"

namespace orvo::host {

JournalingDataContext::JournalingDataContext(std::shared_ptr<Journal> journal,
                                             std::shared_ptr<DataContext> inner)
    : journal_(std::move(journal)),
      number_(journal_->NumberNextContext()),
      inner_(std::move(inner)) {}

Variant JournalingDataContext::Open(const std::string& sDsn) {
  journal_->Record(number_, "Open");
  return inner_->Open(sDsn);
}

std::shared_ptr<ado::Connection> JournalingDataContext::Connection() {
  journal_->Record(number_, "Connection");
  return inner_->Connection();
}

std::shared_ptr<SessionInfo> JournalingDataContext::Session() {
  journal_->Record(number_, "Session");
  return inner_->Session();
}

void JournalingDataContext::Complete() {
  journal_->Record(number_, "Complete");
  inner_->Complete();
}

void JournalingDataContext::Abort() {
  journal_->Record(number_, "Abort");
  inner_->Abort();
}

}  // namespace orvo::host
