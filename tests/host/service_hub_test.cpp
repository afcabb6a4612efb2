#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <thread>

#include <gtest/gtest.h>

namespace orvo::host {
namespace {

constexpr std::int32_t kFailure = HResult(0x80004005u);

// A host's own data context: counts what reaches it.
class CountingContext : public DataContext {
 public:
  explicit CountingContext(int& calls) : calls_(calls) {}
  Variant Open(const std::string&) override {
    ++calls_;
    return Variant("opened");
  }
  std::shared_ptr<ado::Connection> Connection() override { return nullptr; }
  std::shared_ptr<SessionInfo> Session() override { return nullptr; }
  void Complete() override { ++calls_; }
  void Abort() override { ++calls_; }

 private:
  int& calls_;
};

TEST(ServiceHubTest, OneHubPerThread) {
  auto here = ServiceHub::Current();
  EXPECT_EQ(ServiceHub::Current(), here);

  std::shared_ptr<ServiceHub> there;
  std::thread([&] { there = ServiceHub::Current(); }).join();
  ASSERT_NE(there, nullptr);
  EXPECT_NE(there, here);
}

TEST(ServiceHubTest, ContextsOfOneThreadShareItsHub) {
  auto hub = ServiceHub::Current();
  hub->SignIn(7, "Seven");
  auto session = ServiceHub::Current()->DataContext()->Session();
  EXPECT_EQ(session->UserID(), 7);
  EXPECT_EQ(session->UserName(), "Seven");
  hub->SignOut();
}

TEST(ServiceHubTest, SignedInUserRaisesWhenNobodyIsSignedIn) {
  auto hub = std::make_shared<ServiceHub>();
  try {
    hub->SignedInUser();
    FAIL() << "no user must raise";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), kFailure);
    EXPECT_EQ(e.source(), "OrvoGlobal");
    EXPECT_EQ(e.description(),
              "No user is signed in on this thread; the host application signs the calling "
              "user in with ServiceHub::SignIn.");
  }
  hub->SignIn(16394, "Manager");
  EXPECT_EQ(hub->SignedInUser().id, 16394);
  hub->SignOut();
  EXPECT_THROW(hub->SignedInUser(), AutomationError);
}

TEST(ServiceHubTest, EachDataContextIsNew) {
  auto hub = std::make_shared<ServiceHub>();
  auto first = hub->DataContext();
  auto second = hub->DataContext();
  EXPECT_NE(first, second);
}

TEST(ServiceHubTest, HostFactoryIsUsedAndStillJournaled) {
  auto hub = std::make_shared<ServiceHub>();
  int calls = 0;
  ServiceHub* seen = nullptr;
  hub->SetDataContextFactory([&](ServiceHub& h) {
    seen = &h;
    return std::make_shared<CountingContext>(calls);
  });

  auto context = hub->DataContext();
  EXPECT_EQ(context->Open("anything"), Variant("opened"));
  context->Complete();

  EXPECT_EQ(seen, hub.get());
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(hub->Journal(), (std::vector<JournalEntry>{{1, "Open"}, {1, "Complete"}}));

  // An empty factory puts the default back: its Connection raises before Open.
  hub->SetDataContextFactory({});
  EXPECT_THROW(hub->DataContext()->Connection(), AutomationError);
}

TEST(ServiceHubTest, NoContextToHandOutRaises) {
  auto hub = std::make_shared<ServiceHub>();
  hub->SetDataContextFactory([](ServiceHub&) { return std::shared_ptr<DataContext>(); });
  EXPECT_THROW(hub->DataContext(), AutomationError);
  // A hub that no shared_ptr holds could not be kept alive by its contexts.
  ServiceHub unshared;
  EXPECT_THROW(unshared.DataContext(), AutomationError);
}

}  // namespace
}  // namespace orvo::host
