// The journal of a hub: every call made on the data contexts the hub handed
// out, in order, under the number of the context, so that the order and count
// of Open, Complete and Abort can be checked. It keeps the recent calls only
// (at least kKeeps), so a hub that lives as long as its thread does not grow
// without bound.
//
// Owned by its hub and shared with the journaling wrappers of the contexts;
// used on the hub's thread.

#ifndef ORVO_HOST_JOURNAL_HPP_
#define ORVO_HOST_JOURNAL_HPP_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace orvo::host {

// One call: which context (numbered from 1 in the order the hub handed them
// out) and which operation ("Open", "Connection", "Session", "Complete",
// "Abort"): a name of static storage, so that recording allocates nothing.
struct JournalEntry {
  std::uint64_t context = 0;
  std::string_view operation;
  friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

class Journal {
 public:
  static constexpr std::size_t kKeeps = 4096;

  // The number of a context about to be handed out; numbers are never reused,
  // also not after Clear, since they name contexts and not lines.
  std::uint64_t NumberNextContext() { return ++contexts_; }
  // `operation` names a text of static storage, as the operations' names are.
  // Inline: every call of the component records five or six operations.
  void Record(std::uint64_t context, std::string_view operation) {
    if (entries_.size() >= 2 * kKeeps) DropOlder();
    entries_.push_back(JournalEntry{context, operation});
  }
  const std::vector<JournalEntry>& Entries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  // Keeps the newest kKeeps entries.
  void DropOlder();

  std::vector<JournalEntry> entries_;
  std::uint64_t contexts_ = 0;
};

}  // namespace orvo::host

#endif  // ORVO_HOST_JOURNAL_HPP_
