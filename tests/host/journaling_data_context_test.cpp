#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"

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

}  // namespace
}  // namespace orvo::host
