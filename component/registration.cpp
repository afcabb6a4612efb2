#include "component/registration.hpp"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// Replaces the registry with `registry` (removes it when empty): a new file
// of a name no other writer uses, synced, then renamed over the old one, so
// that a reader sees the old or the new registry, never half of one.
void WriteRegistry(const std::string& path, const nlohmann::json& registry) {
  if (registry.empty()) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) FileError("Cannot remove", path);
    return;
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) FileError("Cannot write", path);
  const std::string text = registry.dump(2) + "\n";
  bool written = true;
  for (std::size_t at = 0; written && at < text.size();) {
    const ssize_t n = write(fd, text.data() + at, text.size() - at);
    written = n > 0;
    if (written) at += static_cast<std::size_t>(n);
  }
  written = fsync(fd) == 0 && written;
  written = close(fd) == 0 && written;
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    FileError("Cannot write", path);
  }
}

// Holds the registry's folder locked for as long as it lives, so that two
// processes registering at once each read what the other wrote and neither
// loses the other's keys.
class RegistryLock {
 public:
  explicit RegistryLock(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) FileError("Cannot lock the folder of", path);
    if (flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      FileError("Cannot lock the folder of", path);
    }
  }
  ~RegistryLock() {
    if (fd_ >= 0) close(fd_);
  }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;

 private:
  int fd_ = -1;
};

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
  const RegistryLock lock(registryPath);
  nlohmann::json registry = ReadRegistry(registryPath);
  registry.update(RegistrationEntries(libraryPath));
  WriteRegistry(registryPath, registry);
}

void UnregisterLibrary(const std::string& registryPath) {
  const RegistryLock lock(registryPath);
  nlohmann::json registry = ReadRegistry(registryPath);
  const nlohmann::json entries = RegistrationEntries({});
  for (const auto& entry : entries.items()) registry.erase(entry.key());
  WriteRegistry(registryPath, registry);
}

}  // namespace orvo::component
