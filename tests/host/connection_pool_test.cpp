#include "orvo/host/connection_pool.hpp"

#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"
#include "support/recording_observer.hpp"

namespace orvo::host {
namespace {

TEST(ConnectionPoolTest, OneConnectionPerDataSourceTextUntilClosePool) {
  testing::TempStore store;
  testing::TempStore other;
  auto hub = std::make_shared<ServiceHub>();
  auto a = hub->DataContext();
  auto b = hub->DataContext();
  a->Open(store.Dsn());
  b->Open(store.Dsn());
  EXPECT_EQ(a->Connection(), b->Connection());
  EXPECT_NE(hub->PooledConnection(other.Dsn()), a->Connection());
  hub->ClosePool();
  EXPECT_NE(hub->PooledConnection(store.Dsn()), a->Connection());

  const auto dir = store.dir.Path() / "no" / "such";
  const std::string missing = "Provider=SQLite;Data Source=" + (dir / "x.db").string();
  EXPECT_THROW(hub->PooledConnection(missing), AutomationError);
  // Once the folder exists the same text connects: the failure was not kept.
  std::filesystem::create_directories(dir);
  EXPECT_NE(hub->PooledConnection(missing), nullptr);
}

TEST(ConnectionPoolTest, ObserverSetLaterReachesConnectionsAlreadyPooled) {
  testing::TempStore store;
  ConnectionPool pool;
  auto connection = pool.Connection(store.Dsn());
  auto observer = std::make_shared<orvo::testing::RecordingObserver>();
  pool.SetObserver(observer);
  pool.Connection(store.Dsn())->Execute("select 1");
  EXPECT_EQ(observer->Texts(), std::vector<std::string>{"select 1"});
  pool.SetObserver(nullptr);
  EXPECT_EQ(pool.Connection(store.Dsn())->Observer(), nullptr);
}

}  // namespace
}  // namespace orvo::host
