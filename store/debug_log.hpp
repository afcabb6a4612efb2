// The debug log that the bill copy writes: three lines appended to one fixed
// file, /var/tmp/PymLog.txt unless the environment variable ORVO_PYMLOG names
// another. The log never fails its caller: a file that cannot be opened or
// written is skipped silently.
//
// Any thread may write; lines of concurrent writers may interleave.

#ifndef ORVO_STORE_DEBUG_LOG_HPP_
#define ORVO_STORE_DEBUG_LOG_HPP_

#include <string>
#include <string_view>

namespace orvo::store {

// The file the log appends to.
std::string DebugLogPath();

// Appends an empty line, the current local date and time
// ("YYYY-MM-DD HH:MM:SS") and the text, each ended by CR LF. Text is written
// as UTF-8.
void WriteDebugLog(std::string_view text) noexcept;

}  // namespace orvo::store

#endif  // ORVO_STORE_DEBUG_LOG_HPP_
