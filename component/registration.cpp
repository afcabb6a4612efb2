#include "component/registration.hpp"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "orvo/ado/types.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/type_library.hpp"

namespace orvo::component {

namespace {

// The standard automation marshaller that dual interfaces are registered with.
constexpr const char* kAutomationMarshaller = "{00020424-0000-0000-C000-000000000046}";

[[noreturn]] void FileError(const std::string& what, const std::string& path) {
  throw AutomationError(ado::kErrFailure, kLibraryName, what + " the registry file " + path + ".");
}

nlohmann::json ReadRegistry(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (!std::filesystem::exists(path)) return nlohmann::json::object();
    FileError("Cannot read", path);
  }
  nlohmann::json registry = nlohmann::json::parse(in, nullptr, false);
  if (registry.is_discarded() || !registry.is_object()) FileError("Cannot parse", path);
  return registry;
}

void WriteRegistry(const std::string& path, const nlohmann::json& registry) {
  std::error_code ignored;
  if (registry.empty()) {
    std::filesystem::remove(path, ignored);
    return;
  }
  const std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
  // A new file renamed over the old one: a reader sees the old or the new
  // registry, never half of one.
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << registry.dump(2) << '\n';
    if (!out.flush()) FileError("Cannot write", path);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::filesystem::remove(temporary, ignored);
    FileError("Cannot replace", path);
  }
}

std::string Version(const TypeLibInfo& library) {
  return std::to_string(library.majorVersion) + "." + std::to_string(library.minorVersion);
}

}  // namespace

std::string LibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&LibraryPath), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  std::error_code ignored;
  const auto absolute = std::filesystem::absolute(info.dli_fname, ignored);
  return absolute.empty() ? std::string(info.dli_fname) : absolute.string();
}

nlohmann::json RegistrationEntries(const std::string& libraryPath) {
  const TypeLibInfo& library = TypeLibrary();
  const std::string version = Version(library);
  nlohmann::json keys = nlohmann::json::object();
  const std::string typelib = "TypeLib\\" + library.libid + "\\" + version;
  keys[typelib] = {{"", library.name}};
  keys[typelib + "\\0\\linux"] = {{"", libraryPath}};
  keys[typelib + "\\FLAGS"] = {{"", "0"}};
  for (const ClassInfo* cls : library.classes) {
    const std::string clsid = "CLSID\\" + cls->clsid;
    keys[clsid] = {{"", cls->progId}};
    keys[clsid + "\\InprocServer32"] = {{"", libraryPath}, {"ThreadingModel", "Apartment"}};
    keys[clsid + "\\ProgID"] = {{"", cls->progId}};
    keys[clsid + "\\TypeLib"] = {{"", library.libid}};
    keys[clsid + "\\VERSION"] = {{"", version}};
    keys[cls->progId] = {{"", cls->progId}};
    keys[cls->progId + "\\Clsid"] = {{"", cls->clsid}};
    const std::string iid = "Interface\\" + cls->iid;
    keys[iid] = {{"", cls->interfaceName}};
    keys[iid + "\\ProxyStubClsid32"] = {{"", kAutomationMarshaller}};
    keys[iid + "\\TypeLib"] = {{"", library.libid}, {"Version", version}};
  }
  return keys;
}

void RegisterLibrary(const std::string& registryPath, const std::string& libraryPath) {
  nlohmann::json registry = ReadRegistry(registryPath);
  registry.update(RegistrationEntries(libraryPath));
  WriteRegistry(registryPath, registry);
}

void UnregisterLibrary(const std::string& registryPath) {
  nlohmann::json registry = ReadRegistry(registryPath);
  const nlohmann::json entries = RegistrationEntries({});
  for (const auto& entry : entries.items()) registry.erase(entry.key());
  WriteRegistry(registryPath, registry);
}

}  // namespace orvo::component
