#include "orvo/component/print_setup_object.hpp"

#include <atomic>

#include "orvo/automation/error.hpp"
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

void PrintSetupObject::RequireOwnThread() const {
  if (std::this_thread::get_id() == thread_) return;
  throw AutomationError(HResult(0x8001010Eu), kLibraryName,
                        "The object was called on another thread than the one that created it; "
                        "each object is used on its own thread only.");
}

std::shared_ptr<ado::Connection> PrintSetupObject::GetConnection(const std::string& sDsn) {
  dataContext_ = host::ServiceHub::Current()->DataContext();
  dataContext_->Open(sDsn);
  return dataContext_->Connection();
}

}  // namespace orvo
