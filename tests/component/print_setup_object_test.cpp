#include <gtest/gtest.h>

#include <thread>

#include "orvo/component/classes.hpp"
#include "support/store_fixture.hpp"

namespace orvo {
namespace {

class PrintSetupObjectTest : public testing::StoreTest {};

TEST_P(PrintSetupObjectTest, InstancesOnOneThreadShareTheHubAndHoldTheirOwnContext) {
  clsPrintSetupQuery first;
  clsPrintSetupUpdate second;
  EXPECT_NE(first.DataContext(), nullptr);
  EXPECT_NE(first.DataContext(), second.DataContext());
  EXPECT_EQ(host::ServiceHub::Current().get(), &Hub());

  std::shared_ptr<host::ServiceHub> other_thread_hub;
  std::thread([&] {
    clsPrintSetupQuery elsewhere;
    other_thread_hub = host::ServiceHub::Current();
  }).join();
  EXPECT_NE(other_thread_hub.get(), &Hub());
}

TEST_P(PrintSetupObjectTest, EveryCallRenewsTheDataContext) {
  clsPrintSetupQuery query;
  const auto created_with = query.DataContext();
  query.GetPageAndPrintSet(Dsn(), 28);
  EXPECT_NE(query.DataContext(), created_with);
}

TEST_P(PrintSetupObjectTest, LiveObjectsCountsInstances) {
  const std::int64_t before = PrintSetupObject::LiveObjects();
  {
    clsPrintSetupQueryRpt report;
    auto update = std::make_shared<clsPrintSetupUpdateLM>();
    EXPECT_EQ(PrintSetupObject::LiveObjects(), before + 2);
  }
  EXPECT_EQ(PrintSetupObject::LiveObjects(), before);
}

TEST_P(PrintSetupObjectTest, TransModeIsTwoWithoutTouchingDataContextOrDatabase) {
  clsPrintSetupUpdate standard;
  clsPrintSetupUpdateLM partitioned;
  clsPrintSetupUpdateRpt report;
  EXPECT_EQ(standard.TransMode(), 2);
  EXPECT_EQ(partitioned.TransMode(), 2);
  EXPECT_EQ(report.Invoke("TransMode", {}), Variant(2));
  EXPECT_TRUE(Hub().Journal().empty());
  EXPECT_TRUE(Observer().Statements().empty());
}

ORVO_INSTANTIATE_STORE_SUITE(PrintSetupObjectTest);

}  // namespace
}  // namespace orvo
