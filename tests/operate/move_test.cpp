// Copying a store between backends: the six tables identical row for row,
// ids and identities included, and a failure anywhere leaving the target
// as it was.

#include <gtest/gtest.h>

#include "operate/operations.hpp"
#include "operate_support.hpp"
#include "support/error_of.hpp"
#include "support/recording_observer.hpp"

namespace orvo::operate {
namespace {

using testing::Content;
using testing::ErrorOf;
using testing::Store;
using CopyTest = testing::OperateTest;

TEST_P(CopyTest, FromSqliteToTheBackendAndBackKeepsEveryRowIdAndIdentity) {
  const Store source(testing::SqliteBackend());
  source.Seed();
  const Content seeded = source.Read();
  const Store middle(GetParam());
  const Store back(testing::SqliteBackend());

  std::vector<std::uint64_t> seen;
  const MoveReport there =
      CopyStore(source.Dsn(), middle.Dsn(), {nullptr, [&](std::uint64_t done, std::uint64_t total) {
                                               seen.push_back(done);
                                               EXPECT_EQ(total, 24u);
                                             }});
  EXPECT_EQ(seen.front(), 0u);
  EXPECT_EQ(seen.back(), 24u);
  ASSERT_EQ(there.rows.size(), 6u);
  EXPECT_EQ(there.rows[1], std::make_pair(std::string("T_PrintExportNote"), std::uint64_t{4}));
  CopyStore(middle.Dsn(), back.Dsn(), {});

  EXPECT_EQ(middle.Read(), seeded);
  EXPECT_EQ(back.Read(), seeded);
  for (const store::Table& table : store::Tables()) {
    EXPECT_EQ(seeded.lastIds.at(table.name), 5) << table.name;
    EXPECT_EQ(middle.NextId(table.name), 6) << table.name;
    EXPECT_EQ(back.NextId(table.name), 6) << table.name;
  }
}

TEST_P(CopyTest, AStoreWithoutRowsCopiesItsIdentitiesToo) {
  const Store source(GetParam());
  source.Create();
  source.Exec("insert into T_PrintExport (FName) values ('gone')");
  source.Exec("delete from T_PrintExport");
  const Store target(testing::SqliteBackend());
  CopyStore(source.Dsn(), target.Dsn(), {});
  EXPECT_EQ(target.NextId("T_PrintExport"), 2);
  EXPECT_EQ(target.NextId("T_PrintExportNote"), 1);
}

TEST_P(CopyTest, ATargetThatHoldsRowsOrIsTheSourceIsRefusedUntouched) {
  const Store source(testing::SqliteBackend());
  source.Seed();
  const Store target(GetParam());
  target.Create();
  target.Exec("insert into T_RptExcelPrintExportNote (FName) values ('kept')");
  const Content before = target.Read();
  const AutomationError error = ErrorOf([&] { CopyStore(source.Dsn(), target.Dsn(), {}); });
  EXPECT_NE(error.description().find("The target store is not empty (rows: "
                                     "T_RptExcelPrintExportNote 1)"),
            std::string::npos)
      << error.description();
  EXPECT_EQ(target.Read(), before);

  // The same store under another spelling of its data source.
  const std::string same =
      "data source=" + (source.Directory() / "store.db").string() + ";provider=sqlite";
  EXPECT_NE(
      ErrorOf([&] { CopyStore(source.Dsn(), same, {}); }).description().find("the same store"),
      std::string::npos);
  // A source that is no store is no copy.
  const Store empty(GetParam());
  empty.Create();
  const Store none(testing::SqliteBackend());
  none.Exec("create table Other (a integer)");
  EXPECT_NE(ErrorOf([&] { CopyStore(none.Dsn(), empty.Dsn(), {}); })
                .description()
                .find("holds no template store"),
            std::string::npos);
}

TEST_P(CopyTest, AFailureAnywhereLeavesTheTargetWithoutRows) {
  const Store source(testing::SqliteBackend());
  source.Seed();
  for (const int failing : {1, 9, 24}) {
    SCOPED_TRACE(failing);
    const Store target(GetParam());
    const auto observer = std::make_shared<testing::FailingStatement>("insert into T_", failing);
    const AutomationError error = ErrorOf([&] {
      CopyStore(source.Dsn(), target.Dsn(), {observer, {}});
    });
    EXPECT_EQ(error.description(), "refused");
    // The schema was made in the same transaction: it went with the rows.
    const auto connection = ado::Connection::Open(target.Dsn(), ado::IfMissing::Create);
    EXPECT_EQ(store::ObjectNames(*connection), std::vector<std::string>{});
  }
  // The commit itself fails: the same.
  const Store target(GetParam());
  target.Create();
  const auto observer = std::make_shared<testing::RecordingObserver>();
  observer->FailNext(ado::TransactionStep::Commit,
                     AutomationError(ado::kErrFailure, "test", "no commit"));
  EXPECT_EQ(ErrorOf([&] {
              CopyStore(source.Dsn(), target.Dsn(), {observer, {}});
            }).description(),
            "no commit");
  for (const auto& [table, rows] : target.Read().rows) EXPECT_TRUE(rows.empty()) << table;
}

ORVO_INSTANTIATE_STORE_SUITE(CopyTest);

}  // namespace
}  // namespace orvo::operate
