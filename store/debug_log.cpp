#include "store/debug_log.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "orvo/automation/variant.hpp"
#include "orvo/host/call_scope.hpp"

namespace orvo::store {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The calling user's home folder: $HOME, else the one the user database gives.
std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    home = found->pw_dir;
  }
  return home;
}

// The folder where the calling user's programs keep their state:
// $XDG_STATE_HOME when it names an absolute one, else ~/.local/state.
std::filesystem::path StateFolder() {
  const std::filesystem::path configured = Environment("XDG_STATE_HOME");
  if (configured.is_absolute()) return configured;
  const std::filesystem::path home = HomeFolder();
  if (!home.is_absolute()) return {};
  return home / ".local" / "state";
}

// Makes the folders of `folder` that are missing, readable by their owner
// only, as a user's state folder is.
void MakePrivateFolders(const std::filesystem::path& folder) {
  std::filesystem::path made;
  for (const std::filesystem::path& step : folder) {
    made /= step;
    mkdir(made.c_str(), 0700);
  }
}

// Appends `record` to `path` in one write. The file is opened without
// following a symbolic link and without waiting (a FIFO without a reader
// fails at once), and only a regular file is written.
void Append(const std::string& path, const std::string& record) noexcept {
  const int fd =
      open(path.c_str(),
           O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0) return;
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    // One write of the whole record, so a reader never sees half of it.
    [[maybe_unused]] const ssize_t written = write(fd, record.data(), record.size());
  }
  close(fd);
}

}  // namespace

std::string DebugLogPath() {
  const std::string configured = Environment("ORVO_PYMLOG");
  if (!configured.empty()) return configured;
  const std::filesystem::path folder = StateFolder();
  return folder.empty() ? std::string() : (folder / "PymLog.txt").string();
}

void WriteDebugLog(std::string_view text) noexcept {
  try {
    std::string record = "\r\n" + Date::Now().GeneralText() + "\r\n";
    record.append(text);
    record += "\r\n";
    std::string path = DebugLogPath();
    if (path.empty()) return;
    if (Environment("ORVO_PYMLOG").empty()) {
      // The state folder is the user's own; it is made when missing.
      MakePrivateFolders(std::filesystem::path(path).parent_path());
    }
    // Written once the call's unit of work has ended, so that the store's
    // locks are never held while a file is written.
    host::CallScope::AfterUnit(
        [path = std::move(path), record = std::move(record)] { Append(path, record); });
  } catch (...) {
    // The log is a diagnostic aid; losing a line must never fail the copy.
  }
}

}  // namespace orvo::store
