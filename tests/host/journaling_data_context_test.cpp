#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

namespace orvo::host {
namespace {

TEST(JournalingDataContextTest, RecordsEveryCallInOrderUnderTheContextNumber) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  hub->SignIn(1, "One");

  auto first = hub->DataContext();
  auto second = hub->DataContext();
  first->Open(store.Dsn());
  second->Session();
  first->Connection();
  second->Abort();
  first->Complete();
  auto third = hub->DataContext();
  third->Open(store.Dsn());

  EXPECT_EQ(hub->Journal(), (std::vector<JournalEntry>{{1, "Open"},
                                                       {2, "Session"},
                                                       {1, "Connection"},
                                                       {2, "Abort"},
                                                       {1, "Complete"},
                                                       {3, "Open"}}));
  hub->ClearJournal();
  EXPECT_TRUE(hub->Journal().empty());
  // Numbering goes on after clearing: the numbers name contexts, not lines.
  hub->DataContext()->Abort();
  EXPECT_EQ(hub->Journal(), (std::vector<JournalEntry>{{4, "Abort"}}));
}

TEST(JournalingDataContextTest, RecordsACallEvenWhenItFails) {
  auto hub = std::make_shared<ServiceHub>();
  auto context = hub->DataContext();

  EXPECT_THROW(context->Connection(), AutomationError);
  EXPECT_THROW(context->Open("Provider=NoSuchProvider"), AutomationError);

  EXPECT_EQ(hub->Journal(), (std::vector<JournalEntry>{{1, "Connection"}, {1, "Open"}}));
}

}  // namespace
}  // namespace orvo::host
