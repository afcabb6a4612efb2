#include "orvo/automation/error.hpp"
#include "orvo/host/data_context.hpp"

#include <gtest/gtest.h>

#include "host/temp_store.hpp"

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
  // Once the store exists the same text connects: the failure was not kept.
  std::filesystem::create_directories(dir);
  ado::Connection::Open(missing, ado::IfMissing::Create);
  EXPECT_NE(hub->PooledConnection(missing), nullptr);
}

}  // namespace
}  // namespace orvo::host
