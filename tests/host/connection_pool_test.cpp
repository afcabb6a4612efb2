#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

namespace orvo::host {
namespace {

TEST(ConnectionPoolTest, OneConnectionPerDataSourceText) {
  testing::TempStore store;
  testing::TempStore other;
  auto hub = std::make_shared<ServiceHub>();

  auto a = hub->DataContext();
  auto b = hub->DataContext();
  a->Open(store.Dsn());
  b->Open(store.Dsn());
  EXPECT_EQ(a->Connection(), b->Connection());

  auto c = hub->DataContext();
  c->Open(other.Dsn());
  EXPECT_NE(c->Connection(), a->Connection());
  // The text is the key as given: another spelling is another connection.
  auto d = hub->DataContext();
  d->Open(store.Dsn() + ";");
  EXPECT_NE(d->Connection(), a->Connection());
}

TEST(ConnectionPoolTest, ClosePoolMakesTheNextOpenConnectAnew) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  auto before = hub->PooledConnection(store.Dsn());
  EXPECT_EQ(hub->PooledConnection(store.Dsn()), before);
  hub->ClosePool();
  EXPECT_NE(hub->PooledConnection(store.Dsn()), before);
}

TEST(ConnectionPoolTest, DataSourceThatCannotBeOpenedIsNotPooled) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  const std::string missing =
      "Provider=SQLite;Data Source=" + (store.Dir() / "no" / "such" / "dir" / "x.db").string();
  EXPECT_THROW(hub->PooledConnection(missing), AutomationError);
  // Once the folder exists the same text connects: the failure was not kept.
  std::filesystem::create_directories(store.Dir() / "no" / "such" / "dir");
  EXPECT_NE(hub->PooledConnection(missing), nullptr);
}

}  // namespace
}  // namespace orvo::host
