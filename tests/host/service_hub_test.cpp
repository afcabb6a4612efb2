#include "orvo/host/service_hub.hpp"
#include "orvo/automation/error.hpp"
#include "support/error_of.hpp"

#include <thread>

#include <gtest/gtest.h>

namespace orvo::host {
namespace {

using orvo::testing::ErrorOf;

TEST(ServiceHubTest, OneHubPerThreadSharedByItsContexts) {
  auto here = ServiceHub::Current();
  std::shared_ptr<ServiceHub> there;
  std::thread([&] { there = ServiceHub::Current(); }).join();
  ASSERT_NE(there, nullptr);
  EXPECT_NE(there, here);
  auto session = ServiceHub::Current()->DataContext()->Session();
  here->SignIn(-3, "王五");
  // The session reads the user at each read, not when it was made.
  EXPECT_EQ(session->UserID(), -3);
  EXPECT_EQ(session->UserName(), "王五");
  here->SignOut();
}

TEST(ServiceHubTest, SignedInUserRaisesWhenNobodyIsSignedIn) {
  auto hub = std::make_shared<ServiceHub>();
  const AutomationError e = ErrorOf([&] { hub->SignedInUser(); });
  EXPECT_EQ(e.number(), HResult(0x80004005u));
  EXPECT_EQ(e.source(), "OrvoGlobal");
  EXPECT_EQ(e.description(),
            "No user is signed in on this thread; the host application signs the calling "
            "user in with ServiceHub::SignIn.");
  hub->SignIn(16394, "Manager");
  EXPECT_EQ(hub->SignedInUser().id, 16394);
  // A name the store would read back as another is refused; the user stays.
  EXPECT_EQ(ErrorOf([&] { hub->SignIn(7, "Al\xC3"); }).number(), 5);
  EXPECT_EQ(hub->SignedInUser().name, "Manager");
  hub->SignOut();
  EXPECT_THROW(hub->SignedInUser(), AutomationError);
}

// A host's own contexts serve the barcode suite; here a factory that gives
// none, and the default context put back by an empty one.
TEST(ServiceHubTest, AFactoryThatGivesNoContextFailsAndAnEmptyOnePutsTheDefaultBack) {
  auto hub = std::make_shared<ServiceHub>();
  hub->SetDataContextFactory([](ServiceHub&) { return std::shared_ptr<DataContext>(); });
  EXPECT_THROW(hub->DataContext(), AutomationError);
  hub->SetDataContextFactory({});
  const AutomationError e = ErrorOf([&] { hub->DataContext()->Connection(); });
  EXPECT_EQ(e.source(), "OrvoGlobal");
  EXPECT_EQ(e.description(), "The data context has no open data source; call Open first.");
}

}  // namespace
}  // namespace orvo::host
