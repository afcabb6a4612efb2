#include "orvo/host/data_context.hpp"

#include <stdexcept>

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

namespace orvo::host {
namespace {

class CallScopeTest : public ::testing::Test {
 public:
  // Opens the store on a new context of the hub and writes one row, as a
  // public method of the classes does.
  std::shared_ptr<DataContext> Write(std::int32_t id) {
    auto context = hub_->DataContext();
    context->Open(store_.Dsn());
    context->Connection()->Execute("insert into t values (" + std::to_string(id) + ")");
    return context;
  }

  testing::TempStore store_;
  std::shared_ptr<ServiceHub> hub_ = std::make_shared<ServiceHub>();
};

TEST_F(CallScopeTest, AbortDiscardsTheWrite) {
  {
    CallScope scope;
    Write(1)->Abort();
  }
  EXPECT_EQ(store_.Rows(), 0);
  EXPECT_FALSE(hub_->PooledConnection(store_.Dsn())->InTransaction());
}

TEST_F(CallScopeTest, LastVoteWins) {
  {
    CallScope scope;
    auto context = Write(1);
    context->Abort();
    context->Complete();
  }
  EXPECT_EQ(store_.Rows(), 1);
  {
    CallScope scope;
    auto context = Write(2);
    context->Complete();
    context->Abort();
  }
  EXPECT_EQ(store_.Rows(), 1);
}

TEST_F(CallScopeTest, CallWithoutVoteCommits) {
  {
    CallScope scope;
    Write(1);
  }
  EXPECT_EQ(store_.Rows(), 1);
}

TEST_F(CallScopeTest, EscapingExceptionRollsBackWhateverWasVoted) {
  for (auto vote : {CallScope::Vote::None, CallScope::Vote::Abort, CallScope::Vote::Complete}) {
    try {
      CallScope scope;
      Write(1);
      CallScope::Cast(vote);
      throw std::runtime_error("call failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(store_.Rows(), 0) << "vote " << static_cast<int>(vote);
  }
}

TEST_F(CallScopeTest, ScopeEndedWhileAnotherExceptionUnwindsStillCommits) {
  // A call made from a destructor during unwinding is no failure of its own.
  struct WritesOnDestruction {
    CallScopeTest* test;
    ~WritesOnDestruction() {
      CallScope scope;
      test->Write(9)->Complete();
    }
  };
  try {
    WritesOnDestruction writer{this};
    throw std::runtime_error("unrelated");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(store_.Rows(), 1);
}

TEST_F(CallScopeTest, NestedScopeJoinsTheOuterOne) {
  {
    CallScope outer;
    auto context = Write(1);
    {
      CallScope inner;
      Write(2)->Complete();
    }
    // The inner end committed nothing: the transaction is still the outer's.
    EXPECT_TRUE(context->Connection()->InTransaction());
    EXPECT_EQ(store_.Rows(), 0);
    context->Abort();
  }
  EXPECT_EQ(store_.Rows(), 0);
  EXPECT_FALSE(CallScope::Active());
}

TEST_F(CallScopeTest, NothingHappensOutsideAScope) {
  EXPECT_FALSE(CallScope::Active());
  auto context = Write(1);
  context->Abort();
  EXPECT_FALSE(context->Connection()->InTransaction());
  EXPECT_EQ(store_.Rows(), 1);
}

TEST_F(CallScopeTest, EveryDataSourceOfTheUnitEndsTogether) {
  testing::TempStore second;
  {
    CallScope scope;
    Write(1);
    auto context = hub_->DataContext();
    context->Open(second.Dsn());
    context->Connection()->Execute("insert into t values (2)");
    context->Abort();
  }
  EXPECT_EQ(store_.Rows(), 0);
  EXPECT_EQ(second.Rows(), 0);
}

TEST_F(CallScopeTest, TransactionBegunOutsideTheUnitIsTakenOver) {
  auto connection = hub_->PooledConnection(store_.Dsn());
  connection->BeginTrans();
  connection->Execute("insert into t values (1)");
  {
    CallScope scope;
    Write(2)->Abort();
  }
  EXPECT_FALSE(connection->InTransaction());
  EXPECT_EQ(store_.Rows(), 0);
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
    auto context = Write(1);
    context->Connection()->Execute("insert into child values (42)");
    context->Complete();
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
