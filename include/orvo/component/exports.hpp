// The entry points of the library as an in-process server: class factories
// for the six classes, the unload check, and registration into the registry
// file ($ORVO_REGISTRY, else $XDG_CONFIG_HOME/orvo/registry.json, else
// ~/.config/orvo/registry.json). Results are HRESULT codes: 0 for S_OK, 1 for
// S_FALSE, negative values for failures.
//
// Factories live as long as the library; any thread may call the exports,
// while objects stay on the thread that created them.

#ifndef ORVO_COMPONENT_EXPORTS_HPP_
#define ORVO_COMPONENT_EXPORTS_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "orvo/automation/dispatch.hpp"
#include "orvo/export.hpp"

namespace orvo {

// Creates instances of one class.
class ClassFactory {
 public:
  explicit ClassFactory(const ClassInfo& info) : info_(info) {}
  const ClassInfo& Class() const { return info_; }
  std::shared_ptr<Dispatch> CreateInstance() const { return info_.create(); }

 private:
  const ClassInfo& info_;
};

// The registry file that registration writes.
ORVO_EXPORT std::string RegistryPath();

}  // namespace orvo

extern "C" {

// The interface identifiers a factory answers to.
inline constexpr const char* kIID_IUnknown = "{00000000-0000-0000-C000-000000000046}";
inline constexpr const char* kIID_IClassFactory = "{00000001-0000-0000-C000-000000000046}";

// Stores an orvo::ClassFactory* (owned by the library) in *factory. Fails with
// 0x80040111 for an unknown class, 0x80004002 for an unknown interface and
// 0x80004003 for a null pointer.
ORVO_EXPORT std::int32_t DllGetClassObject(const char* clsid, const char* iid, void** factory);
// 0 when no instance of the six classes is alive, 1 otherwise.
ORVO_EXPORT std::int32_t DllCanUnloadNow(void);
// Writes the entries of the six classes, their interfaces and the type library
// into the registry file; 0x80040201 when the file cannot be written.
ORVO_EXPORT std::int32_t DllRegisterServer(void);
// Removes exactly the entries that registration writes.
ORVO_EXPORT std::int32_t DllUnregisterServer(void);
}

#endif  // ORVO_COMPONENT_EXPORTS_HPP_
