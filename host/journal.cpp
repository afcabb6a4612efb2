#include "host/journal.hpp"

namespace orvo::host {

void Journal::Record(std::uint64_t context, std::string_view operation) {
  // A host runs for months: the journal keeps the recent calls only, dropping
  // the older half at once so that recording stays O(1) amortised.
  if (entries_.size() >= 2 * kKeeps) {
    entries_.erase(entries_.begin(), entries_.end() - static_cast<std::ptrdiff_t>(kKeeps));
  }
  entries_.push_back(JournalEntry{context, operation});
}

}  // namespace orvo::host
