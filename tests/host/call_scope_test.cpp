#include "orvo/host/call_scope.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"
#include "orvo/host/service_hub.hpp"

namespace orvo::host {
namespace {

using Vote = CallScope::Vote;

class CallScopeTest : public ::testing::Test {
 public:
  // Writes one row through a new context of the hub, as a public method does.
  std::shared_ptr<DataContext> Write(std::int32_t id, const testing::TempStore* store = nullptr) {
    auto context = hub_->DataContext();
    context->Open((store ? *store : store_).Dsn());
    context->Connection()->Execute("insert into t values (" + std::to_string(id) + ")");
    return context;
  }

  testing::TempStore store_;
  std::shared_ptr<ServiceHub> hub_ = std::make_shared<ServiceHub>();
};

TEST_F(CallScopeTest, LastVoteDecidesWhenTheCallEndsAndAScopeNotEndedRollsBack) {
  const struct {
    std::vector<Vote> votes;
    bool ends;
    bool kept;
  } cases[] = {{{Vote::Abort}, true, false},
               {{Vote::Abort, Vote::Complete}, true, true},
               {{}, true, true},
               {{Vote::Complete, Vote::Abort}, true, false},
               {{}, false, false},
               {{Vote::Complete}, false, false}};
  std::int32_t rows = 0;
  for (const auto& c : cases) {
    {
      CallScope scope;
      auto context = Write(1);
      for (Vote vote : c.votes) vote == Vote::Abort ? context->Abort() : context->Complete();
      if (c.ends) scope.End();
    }
    rows += c.kept ? 1 : 0;
    EXPECT_EQ(store_.Rows(), rows) << "case " << (&c - cases);
    EXPECT_FALSE(hub_->PooledConnection(store_.Dsn())->InTransaction());
  }
}

TEST_F(CallScopeTest, NestedScopeJoinsTheOuterOneAcrossDataSources) {
  testing::TempStore second;
  {
    CallScope outer;
    auto context = Write(1);
    {
      CallScope inner;
      Write(2, &second)->Complete();
      inner.End();
    }
    // The inner end committed nothing: both transactions are still the outer's.
    EXPECT_TRUE(context->Connection()->InTransaction());
    EXPECT_EQ(second.Rows(), 0);
    context->Abort();
    outer.End();
  }
  EXPECT_EQ(store_.Rows(), 0);
  EXPECT_EQ(second.Rows(), 0);
  EXPECT_FALSE(CallScope::Active());
}

}  // namespace
}  // namespace orvo::host
