#include <algorithm>
#include <cstdint>
#include <string>

#include "automation/ascii.hpp"
#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/error.hpp"

namespace orvo {

namespace {

// A class identifier without its braces, so that "{ABC}" and "abc" compare equal.
std::string_view BareClsid(std::string_view clsid) {
  if (clsid.size() >= 2 && clsid.front() == '{' && clsid.back() == '}') {
    return clsid.substr(1, clsid.size() - 2);
  }
  return clsid;
}

bool SameClsid(std::string_view a, std::string_view b) {
  return ascii::EqualsIgnoreCase(BareClsid(a), BareClsid(b));
}

}  // namespace

ClassRegistry& ClassRegistry::Instance() {
  static ClassRegistry registry;
  return registry;
}

void ClassRegistry::Register(const ClassInfo& info) {
  const std::lock_guard lock(mutex_);
  ++generation_;
  for (const ClassInfo*& entry : classes_) {
    if (SameClsid(entry->clsid, info.clsid)) {
      entry = &info;
      return;
    }
  }
  classes_.push_back(&info);
}

void ClassRegistry::Unregister(std::string_view clsid) {
  const std::lock_guard lock(mutex_);
  ++generation_;
  std::erase_if(classes_,
                [clsid](const ClassInfo* entry) { return SameClsid(entry->clsid, clsid); });
}

const ClassInfo* ClassRegistry::Find(std::string_view progIdOrClsid) const {
  if (progIdOrClsid.empty()) return nullptr;
  // A scripting host creates the same class call after call: the thread
  // remembers its last answer until a class is entered or removed.
  thread_local struct {
    const ClassRegistry* registry = nullptr;
    std::uint64_t generation = 0;
    std::string name;
    const ClassInfo* info = nullptr;
  } last;
  if (last.registry == this && last.generation == generation_.load() &&
      last.name == progIdOrClsid) {
    return last.info;
  }
  const std::lock_guard lock(mutex_);
  const ClassInfo* found = nullptr;
  for (const ClassInfo* entry : classes_) {
    if (ascii::EqualsIgnoreCase(entry->progId, progIdOrClsid) ||
        SameClsid(entry->clsid, progIdOrClsid)) {
      found = entry;
      break;
    }
  }
  last = {this, generation_.load(), std::string(progIdOrClsid), found};
  return found;
}

std::shared_ptr<Dispatch> CreateObject(std::string_view progIdOrClsid) {
  const ClassInfo* info = ClassRegistry::Instance().Find(progIdOrClsid);
  std::shared_ptr<Dispatch> object = info != nullptr && info->create ? info->create() : nullptr;
  if (object == nullptr) throw RuntimeError(kCannotCreateObject);
  return object;
}

}  // namespace orvo
