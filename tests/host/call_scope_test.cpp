#include "orvo/host/call_scope.hpp"

#include <stdexcept>

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

TEST_F(CallScopeTest, LastVoteDecidesUnlessAnExceptionEscapes) {
  const struct {
    std::vector<Vote> votes;
    bool throws;
    bool kept;
  } cases[] = {{{Vote::Abort}, false, false},
               {{Vote::Abort, Vote::Complete}, false, true},
               {{}, false, true},
               {{Vote::Complete, Vote::Abort}, false, false},
               {{}, true, false},
               {{Vote::Abort}, true, false},
               {{Vote::Complete}, true, false}};
  std::int32_t rows = 0;
  for (const auto& c : cases) {
    try {
      CallScope scope;
      auto context = Write(1);
      for (Vote vote : c.votes) vote == Vote::Abort ? context->Abort() : context->Complete();
      if (c.throws) throw std::runtime_error("call failed");
    } catch (const std::runtime_error&) {
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
    }
    // The inner end committed nothing: both transactions are still the outer's.
    EXPECT_TRUE(context->Connection()->InTransaction());
    EXPECT_EQ(second.Rows(), 0);
    context->Abort();
  }
  EXPECT_EQ(store_.Rows(), 0);
  EXPECT_EQ(second.Rows(), 0);
  EXPECT_FALSE(CallScope::Active());
}

TEST_F(CallScopeTest, FailedCommitRollsBackAndLeavesTheConnectionUsable) {
  // A deferred foreign key is checked only at commit, so the commit fails.
  auto setup = hub_->PooledConnection(store_.Dsn());
  setup->Execute("create table parent (id integer primary key)");
  setup->Execute(
      "create table child (pid integer references parent(id) deferrable initially deferred)");
  setup->Execute("PRAGMA foreign_keys = ON");
  {
    CallScope scope;
    Write(1)->Connection()->Execute("insert into child values (42)");
  }
  EXPECT_FALSE(setup->InTransaction());
  EXPECT_EQ(store_.Rows(), 0);
  {
    CallScope scope;
    Write(2);
  }
  EXPECT_EQ(store_.Rows(), 1);
}

}  // namespace
}  // namespace orvo::host
