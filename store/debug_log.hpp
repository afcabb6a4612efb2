// The debug log that the bill copy writes: three lines appended to PymLog.txt
// in the calling user's own state folder ($XDG_STATE_HOME, else
// ~/.local/state), unless the environment variable ORVO_PYMLOG names another
// file. The log never fails its caller and never waits: it follows no
// symbolic link, writes only to a regular file, opens without blocking (a
// FIFO at its path is skipped), and is written only once the call's unit of
// work has ended, so that no store lock is held meanwhile. A file that cannot
// be opened or written is skipped silently.
//
// Any thread may write; records of concurrent writers never interleave
// within one another.

#ifndef ORVO_STORE_DEBUG_LOG_HPP_
#define ORVO_STORE_DEBUG_LOG_HPP_

#include <string>
#include <string_view>

namespace orvo::store {

// The file the log appends to; empty when the user has no home folder.
std::string DebugLogPath();

// Appends an empty line, the current local date and time
// ("YYYY-MM-DD HH:MM:SS") and the text, each ended by CR LF, when the
// calling thread's unit of work ends (at once outside one). Text is written
// as UTF-8.
void WriteDebugLog(std::string_view text) noexcept;

}  // namespace orvo::store

#endif  // ORVO_STORE_DEBUG_LOG_HPP_
