#include "store/debug_log.hpp"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "orvo/automation/variant.hpp"

namespace orvo::store {

std::string DebugLogPath() {
  const char* configured = std::getenv("ORVO_PYMLOG");
  return configured != nullptr && *configured != '\0' ? configured : "/var/tmp/PymLog.txt";
}

void WriteDebugLog(std::string_view text) noexcept {
  try {
    std::string record = "\r\n" + Date::Now().GeneralText() + "\r\n";
    record.append(text);
    record += "\r\n";
    // One write of the whole record, so a reader never sees half of it.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(DebugLogPath().c_str(), "ab"),
                                                         &std::fclose);
    if (file) std::fwrite(record.data(), 1, record.size(), file.get());
  } catch (...) {
    // The log is a diagnostic aid; losing a line must never fail the copy.
  }
}

}  // namespace orvo::store
