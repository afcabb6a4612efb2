#include "host/journal.hpp"

namespace orvo::host {

void Journal::DropOlder() {
  // A host runs for months: the journal keeps the recent calls only, dropping
  // the older half at once so that recording stays O(1) amortised.
  entries_.erase(entries_.begin(), entries_.end() - static_cast<std::ptrdiff_t>(kKeeps));
}

}  // namespace orvo::host
