#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"
#include "support/error_of.hpp"

namespace orvo::host {
namespace {

using orvo::testing::ErrorOf;

TEST(DefaultDataContextTest, ConnectionRaisesUntilAnOpenSucceeds) {
  auto context = std::make_shared<ServiceHub>()->DataContext();
  EXPECT_THROW(context->Open("Provider=NoSuchProvider"), AutomationError);
  const AutomationError e = ErrorOf([&] { context->Connection(); });
  EXPECT_EQ(e.number(), HResult(0x80004005u));
  EXPECT_EQ(e.source(), "OrvoGlobal");
  EXPECT_EQ(e.description(), "The data context has no open data source; call Open first.");
  testing::TempStore store;
  // Keys the host does not know, such as Language, travel along unharmed.
  EXPECT_TRUE(context->Open(store.Dsn() + ";Language=CHS").IsEmpty());
  context->Connection()->Execute("insert into t values (1)");
  // Outside any unit of work the statement is kept at once.
  EXPECT_EQ(store.Rows(), 1);
}

}  // namespace
}  // namespace orvo::host
