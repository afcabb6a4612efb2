#include "orvo/component/print_setup_object.hpp"

#include <atomic>

#include "orvo/host/service_hub.hpp"

namespace orvo {

namespace {
std::atomic<std::int64_t> live_objects{0};
}

PrintSetupObject::PrintSetupObject() : dataContext_(host::ServiceHub::Current()->DataContext()) {
  ++live_objects;
}

PrintSetupObject::~PrintSetupObject() {
  --live_objects;
}

std::int64_t PrintSetupObject::LiveObjects() {
  return live_objects.load();
}

std::shared_ptr<ado::Connection> PrintSetupObject::GetConnection(const std::string& sDsn) {
  dataContext_ = host::ServiceHub::Current()->DataContext();
  dataContext_->Open(sDsn);
  return dataContext_->Connection();
}

}  // namespace orvo
