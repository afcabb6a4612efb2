#include "orvo/component/exports.hpp"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "automation/ascii.hpp"
#include "component/registration.hpp"
#include "orvo/component/print_setup_object.hpp"
#include "orvo/component/type_library.hpp"

namespace orvo {

namespace {

constexpr std::int32_t kOk = 0;
constexpr std::int32_t kFalse = 1;
constexpr std::int32_t kNoInterface = HResult(0x80004002u);
constexpr std::int32_t kPointer = HResult(0x80004003u);
constexpr std::int32_t kClassNotAvailable = HResult(0x80040111u);
constexpr std::int32_t kRegisterClassFailed = HResult(0x80040201u);

bool SameIdentifier(std::string_view a, std::string_view b) {
  auto strip = [](std::string_view s) {
    if (s.size() >= 2 && s.front() == '{' && s.back() == '}') s = s.substr(1, s.size() - 2);
    return s;
  };
  return ascii::EqualsIgnoreCase(strip(a), strip(b));
}

const std::vector<ClassFactory>& Factories() {
  static const std::vector<ClassFactory> factories = [] {
    std::vector<ClassFactory> all;
    for (const ClassInfo* cls : TypeLibrary().classes) all.emplace_back(*cls);
    return all;
  }();
  return factories;
}

}  // namespace

std::string RegistryPath() {
  if (const char* path = std::getenv("ORVO_REGISTRY"); path != nullptr && *path != '\0') {
    return path;
  }
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
    return std::string(config) + "/orvo/registry.json";
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.config/orvo/registry.json";
}

}  // namespace orvo

extern "C" {

std::int32_t DllGetClassObject(const char* clsid, const char* iid, void** factory) {
  using namespace orvo;
  if (factory == nullptr || clsid == nullptr || iid == nullptr) return kPointer;
  *factory = nullptr;
  if (!SameIdentifier(iid, kIID_IClassFactory) && !SameIdentifier(iid, kIID_IUnknown)) {
    return kNoInterface;
  }
  for (const ClassFactory& candidate : Factories()) {
    if (SameIdentifier(candidate.Class().clsid, clsid)) {
      *factory = const_cast<ClassFactory*>(&candidate);
      return kOk;
    }
  }
  return kClassNotAvailable;
}

std::int32_t DllCanUnloadNow(void) {
  return orvo::PrintSetupObject::LiveObjects() == 0 ? orvo::kOk : orvo::kFalse;
}

std::int32_t DllRegisterServer(void) {
  try {
    orvo::component::RegisterLibrary(orvo::RegistryPath(), orvo::component::LibraryPath());
    orvo::RegisterComponentClasses();
    return orvo::kOk;
  } catch (...) {
    return orvo::kRegisterClassFailed;
  }
}

std::int32_t DllUnregisterServer(void) {
  try {
    orvo::component::UnregisterLibrary(orvo::RegistryPath());
    return orvo::kOk;
  } catch (...) {
    return orvo::kRegisterClassFailed;
  }
}
}
