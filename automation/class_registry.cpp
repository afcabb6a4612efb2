#include <algorithm>

#include "orvo/automation/ascii.hpp"
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
  std::erase_if(classes_,
                [clsid](const ClassInfo* entry) { return SameClsid(entry->clsid, clsid); });
}

const ClassInfo* ClassRegistry::Find(std::string_view progIdOrClsid) const {
  if (progIdOrClsid.empty()) return nullptr;
  const std::lock_guard lock(mutex_);
  for (const ClassInfo* entry : classes_) {
    if (ascii::EqualsIgnoreCase(entry->progId, progIdOrClsid) ||
        SameClsid(entry->clsid, progIdOrClsid)) {
      return entry;
    }
  }
  return nullptr;
}

std::shared_ptr<Dispatch> CreateObject(std::string_view progIdOrClsid) {
  const ClassInfo* info = ClassRegistry::Instance().Find(progIdOrClsid);
  std::shared_ptr<Dispatch> object = info != nullptr && info->create ? info->create() : nullptr;
  if (object == nullptr) throw RuntimeError(kCannotCreateObject);
  return object;
}

}  // namespace orvo
