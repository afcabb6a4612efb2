#include "orvo/host/journal.hpp"

#include <gtest/gtest.h>

namespace orvo::host {
namespace {

TEST(JournalTest, KeepsTheRecentCallsOfALongLivedHub) {
  Journal journal;
  const std::uint64_t context = journal.NumberNextContext();
  for (std::size_t i = 0; i < 5 * Journal::kKeeps; ++i) journal.Record(context, "Abort");
  journal.Record(context, "Complete");
  EXPECT_GE(journal.Entries().size(), Journal::kKeeps);
  EXPECT_LE(journal.Entries().size(), 2 * Journal::kKeeps);
  EXPECT_EQ(journal.Entries().back(), (JournalEntry{1, "Complete"}));
}

}  // namespace
}  // namespace orvo::host
