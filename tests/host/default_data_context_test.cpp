#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

namespace orvo::host {
namespace {

class RecordingObserver : public ado::StatementObserver {
 public:
  void BeforeExecute(std::string_view text, const std::vector<Variant>&) override {
    texts.emplace_back(text);
  }
  void AfterExecute(std::string_view, const AutomationError*) override {}
  std::vector<std::string> texts;
};

TEST(DefaultDataContextTest, ConnectionBeforeOpenRaises) {
  auto context = std::make_shared<ServiceHub>()->DataContext();
  try {
    context->Connection();
    FAIL() << "no data source is open";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), HResult(0x80004005u));
    EXPECT_EQ(e.source(), "OrvoGlobal");
    EXPECT_EQ(e.description(), "The data context has no open data source; call Open first.");
  }
}

TEST(DefaultDataContextTest, OpenGivesAWorkingConnectionAndReturnsEmpty) {
  testing::TempStore store;
  auto context = std::make_shared<ServiceHub>()->DataContext();
  // Keys the host does not know, such as Language, travel along unharmed.
  EXPECT_TRUE(context->Open(store.Dsn() + ";Language=CHS").IsEmpty());
  context->Connection()->Execute("insert into t values (1)");
  // Outside any unit of work the statement is kept at once.
  EXPECT_EQ(store.Rows(), 1);
}

TEST(DefaultDataContextTest, FailedOpenLeavesNoConnection) {
  auto context = std::make_shared<ServiceHub>()->DataContext();
  EXPECT_THROW(context->Open("Provider=NoSuchProvider"), AutomationError);
  EXPECT_THROW(context->Connection(), AutomationError);
}

TEST(DefaultDataContextTest, ObserverOfTheHubSeesStatementsOfPooledConnection) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  // Pooled before the observer is set: the next Open still applies it.
  hub->DataContext()->Open(store.Dsn());
  auto observer = std::make_shared<RecordingObserver>();
  hub->SetStatementObserver(observer);

  auto context = hub->DataContext();
  context->Open(store.Dsn());
  context->Connection()->Execute("insert into t values (5)");
  EXPECT_EQ(observer->texts, (std::vector<std::string>{"insert into t values (5)"}));

  hub->SetStatementObserver(nullptr);
  auto later = hub->DataContext();
  later->Open(store.Dsn());
  later->Connection()->Execute("insert into t values (6)");
  EXPECT_EQ(observer->texts.size(), 1u);
}

TEST(DefaultDataContextTest, SessionReadsTheUserAtEachRead) {
  auto hub = std::make_shared<ServiceHub>();
  auto context = hub->DataContext();
  auto session = context->Session();
  EXPECT_NE(context->Session(), session);

  try {
    session->UserID();
    FAIL() << "nobody is signed in";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), HResult(0x80004005u));
    EXPECT_EQ(e.source(), "OrvoGlobal");
  }
  EXPECT_THROW(session->UserName(), AutomationError);

  hub->SignIn(16394, "Manager");
  EXPECT_EQ(session->UserID(), 16394);
  EXPECT_EQ(session->UserName(), "Manager");
  hub->SignIn(-3, "王五");
  EXPECT_EQ(context->Session()->UserID(), -3);
  EXPECT_EQ(context->Session()->UserName(), "王五");
}

}  // namespace
}  // namespace orvo::host
