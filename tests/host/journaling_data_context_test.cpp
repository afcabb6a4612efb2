#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

namespace orvo::host {
namespace {

TEST(JournalingDataContextTest, RecordsEveryCallInOrderUnderTheContextNumber) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  auto first = hub->DataContext();
  auto second = hub->DataContext();
  first->Open(store.Dsn());
  second->Session();
  second->Abort();
  first->Connection();
  // A failing call is recorded too.
  EXPECT_THROW(hub->DataContext()->Connection(), AutomationError);
  EXPECT_EQ(hub->Journal(),
            (std::vector<JournalEntry>{
                {1, "Open"}, {2, "Session"}, {2, "Abort"}, {1, "Connection"}, {3, "Connection"}}));
  hub->ClearJournal();
  EXPECT_TRUE(hub->Journal().empty());
  // Numbering goes on after clearing: the numbers name contexts, not lines.
  hub->DataContext()->Abort();
  EXPECT_EQ(hub->Journal(), (std::vector<JournalEntry>{{4, "Abort"}}));
}

TEST(JournalingDataContextTest, KeepsTheRecentCallsOfALongLivedHub) {
  auto hub = std::make_shared<ServiceHub>();
  auto context = hub->DataContext();
  const std::size_t calls = 5 * ServiceHub::kJournalKeeps;
  for (std::size_t i = 0; i < calls; ++i) context->Abort();
  context->Complete();
  EXPECT_GE(hub->Journal().size(), ServiceHub::kJournalKeeps);
  EXPECT_LE(hub->Journal().size(), 2 * ServiceHub::kJournalKeeps);
  EXPECT_EQ(hub->Journal().back(), (JournalEntry{1, "Complete"}));
}

}  // namespace
}  // namespace orvo::host
