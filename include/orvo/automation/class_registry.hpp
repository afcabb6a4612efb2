// The class registry: creates objects by ProgID or class identifier, as a
// scripting host does. One registry per process; classes are entered at
// start-up, before objects are created.
//
// Any thread may use it.

#ifndef ORVO_AUTOMATION_CLASS_REGISTRY_HPP_
#define ORVO_AUTOMATION_CLASS_REGISTRY_HPP_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/type_info.hpp"
#include "orvo/export.hpp"

namespace orvo {

// The registry keeps a pointer to each entered ClassInfo, which must outlive
// its entry (the class tables are static).
class ORVO_EXPORT ClassRegistry {
 public:
  static ClassRegistry& Instance();

  // Enters a class; a class already entered under the same identifier is
  // replaced.
  void Register(const ClassInfo& info);
  void Unregister(std::string_view clsid);

  // The class with this ProgID (any case) or class identifier (with or
  // without braces, any case); null when there is none.
  const ClassInfo* Find(std::string_view progIdOrClsid) const;

 private:
  mutable std::mutex mutex_;
  std::vector<const ClassInfo*> classes_;
  // Counts the changes, so that a lookup remembered by a thread is known to
  // be stale.
  std::atomic<std::uint64_t> generation_{0};
};

// Creates an object by ProgID or class identifier; raises 429 "ActiveX
// component can't create object" for a name that no class answers to.
ORVO_EXPORT std::shared_ptr<Dispatch> CreateObject(std::string_view progIdOrClsid);

}  // namespace orvo

#endif  // ORVO_AUTOMATION_CLASS_REGISTRY_HPP_
