#include "host/connection_pool.hpp"
#include "ado/statement_observer.hpp"

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
  // Once the store exists the same text connects: the failure was not kept.
  std::filesystem::create_directories(dir);
  ado::Connection::Open(missing, ado::IfMissing::Create);
  EXPECT_NE(hub->PooledConnection(missing), nullptr);
}

TEST(ConnectionPoolTest, AConnectionWhoseRollbackFailedIsReplaced) {
  testing::TempStore store;
  auto hub = std::make_shared<ServiceHub>();
  auto observer = std::make_shared<orvo::testing::RecordingObserver>();
  hub->SetStatementObserver(observer);
  const auto broken = hub->PooledConnection(store.Dsn());
  broken->BeginTrans();
  observer->FailNext(ado::TransactionStep::Rollback,
                     AutomationError(HResult(0x80004005u), "SQLite", "disk I/O error"));
  EXPECT_THROW(broken->RollbackTrans(), AutomationError);
  EXPECT_TRUE(broken->Broken());
  // Left in the pool, it would fail every later unit of work at its begin.
  const auto replaced = hub->PooledConnection(store.Dsn());
  EXPECT_NE(replaced, broken);
  replaced->BeginTrans();
  replaced->CommitTrans();
}

// Runs with the current directory set to `directory`, restoring it afterwards.
class InDirectory {
 public:
  explicit InDirectory(const std::filesystem::path& directory)
      : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
  }
  ~InDirectory() { std::filesystem::current_path(before_); }

 private:
  std::filesystem::path before_;
};

TEST(ConnectionPoolTest, DataSourceIsKnownByWhatItsTextResolvesTo) {
  testing::TempStore first;
  testing::TempStore second;
  ConnectionPool pool;
  const std::string relative = "Provider=SQLite;Data Source=t.db";
  std::shared_ptr<ado::Connection> here;
  {
    InDirectory in(first.dir.Path());
    here = pool.Connection(relative);
    // Other spellings of the same file: key case, blanks, a "." in the path,
    // the provider by default, keys the host does not read.
    const std::string file = (first.dir.Path() / "t.db").string();
    for (const std::string& same :
         {std::string(" data source = ./t.db ; provider = sqlite"), "Data Source=" + file,
          "DATA SOURCE=" + first.dir.Path().string() + "/./t.db;Language=CHS"}) {
      EXPECT_EQ(pool.Connection(same).get(), here.get()) << same;
    }
  }
  {
    // The same relative text from another directory names another file.
    InDirectory in(second.dir.Path());
    auto there = pool.Connection(relative);
    EXPECT_NE(there.get(), here.get());
    there->Execute("insert into t values (1)");
  }
  EXPECT_EQ(first.Rows(), 0);
  EXPECT_EQ(second.Rows(), 1);
}

TEST(ConnectionPoolTest, TextsThatOpenAFileDifferentlyGetConnectionsOfTheirOwn) {
  testing::TempStore store;
  ConnectionPool pool;
  auto reading = pool.Connection(store.Dsn() + ";Mode=Read");
  // A writer of the same file is not handed the read-only connection.
  pool.Connection(store.Dsn())->Execute("insert into t values (1)");
  EXPECT_NE(pool.Connection(store.Dsn()).get(), reading.get());
  EXPECT_EQ(store.Rows(), 1);
}

}  // namespace
}  // namespace orvo::host
