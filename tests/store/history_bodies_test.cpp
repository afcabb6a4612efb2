// A compacted history on every backend: the bodies that the triggers kept
// whole become differences from newer bodies, every version's body is built
// again byte for byte through later changes, deletes and restores, and a
// difference whose newer body changed behind the history's back is refused,
// never turned into a body nobody saved.

#include "store/history_bodies.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using orvo::testing::kBillTables;
using Action = SchemaOutcome::Action;

const HistoryTable& Templates() {
  return HistoryTables()[1];
}

class HistoryBodiesTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(Templates().table.name, "T_PrintExportNote_History");
    std::mt19937 random(5);
    Bytes body(30000);
    for (std::uint8_t& byte : body) byte = static_cast<std::uint8_t>(random());
    id_ = SeedTemplate(kBillTables, 28, "Invoice", Variant(body));
    current_ = body;
  }

  // A designer's save: a few bytes typed over at `at` and some added.
  void Edit(std::size_t at) {
    Bytes body = current_;
    for (std::size_t i = at; i < at + 40; ++i) body[i] ^= 0x5A;
    body.insert(body.begin() + static_cast<std::ptrdiff_t>(at / 2), 25, std::uint8_t{'+'});
    Exec("update T_PrintExportNote set FData = ? where FId = ?", {Variant(body), id_});
    saved_[NewestVersion()] = current_;
    current_ = body;
  }

  std::int32_t NewestVersion() {
    return CLng(Scalar("select max(FVersion) from T_PrintExportNote_History"));
  }

  // Every version kept is built again as it was saved.
  void ExpectEveryVersionBuilt() {
    for (const auto& [version, body] : saved_) {
      if (Count("T_PrintExportNote_History", "FVersion = " + std::to_string(version)) == 0)
        continue;
      const Variant built = BodyOfVersion(Db(), Templates(), version);
      const ByteSpan bytes = built.AsBytes();
      EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), body) << "version " << version;
    }
  }

  std::int64_t KeptBytes() {
    return static_cast<std::int64_t>(
        CDbl(Scalar("select sum(length(FData)) from T_PrintExportNote_History")));
  }

  std::int32_t id_ = 0;
  Bytes current_;
  std::map<std::int32_t, Bytes> saved_;  // by the version that keeps it
};

TEST_P(HistoryBodiesTest, KeepsLittleMoreThanWhatChangedAndBuildsEveryVersionAgain) {
  for (std::size_t n = 0; n < 6; ++n) Edit(1000 + n * 4000);
  EXPECT_EQ(KeptBytes(), 6 * 30000 + 25 * (0 + 1 + 2 + 3 + 4 + 5));

  const Compaction done = CompactHistory(Db());
  EXPECT_EQ(done.looked, 1);
  EXPECT_EQ(done.compacted, 6);
  EXPECT_EQ(done.unreadable, 0);
  EXPECT_LT(KeptBytes(), 6 * 200);
  EXPECT_EQ(done.bytesAfter, KeptBytes());
  ExpectEveryVersionBuilt();
  // Nothing new: nothing to do.
  EXPECT_EQ(CompactHistory(Db()).looked, 0);

  // A change after compaction keeps what the differences were made from.
  Edit(500);
  ExpectEveryVersionBuilt();
  Exec("update T_PrintExportNote set FName = 'renamed' where FId = ?", {id_});
  saved_[NewestVersion()] = current_;
  ExpectEveryVersionBuilt();
  const Compaction again = CompactHistory(Db());
  EXPECT_EQ(again.looked, 1);
  EXPECT_EQ(again.compacted, 2);
  ExpectEveryVersionBuilt();

  // A deleted template's newest version stays whole; the others still build.
  Exec("delete from T_PrintExportNote where FId = ?", {id_});
  saved_[NewestVersion()] = current_;
  CompactHistory(Db());
  EXPECT_TRUE(Scalar("select FDataDiff from T_PrintExportNote_History where FVersion = " +
                     std::to_string(NewestVersion()))
                  .IsNull());
  ExpectEveryVersionBuilt();
}

TEST_P(HistoryBodiesTest, ADifferenceWhoseNewerBodyChangedUnseenIsRefused) {
  Edit(100);
  CompactHistory(Db());
  const std::int32_t version = NewestVersion();
  // With history off no trigger keeps what the row held: the difference no
  // longer fits the row.
  Exec("update T_PrintHistorySettings set FKeep = 0");
  Exec("update T_PrintExportNote set FData = ? where FId = ?", {Variant(Bytes{1, 2, 3}), id_});
  AutomationError refused = testing::ErrorOf([&] { BodyOfVersion(Db(), Templates(), version); });
  EXPECT_EQ(refused.number(), HResult(0x80004005u));
  EXPECT_EQ(refused.description(),
            "The body of version " + std::to_string(version) +
                " cannot be built again. The newer body it was kept against has changed "
                "since.");

  Exec("delete from T_PrintExportNote where FId = ?", {id_});
  refused = testing::ErrorOf([&] { BodyOfVersion(Db(), Templates(), version); });
  EXPECT_EQ(refused.description(), "The body of version " + std::to_string(version) +
                                       " cannot be built again. The row it was kept against is "
                                       "gone.");
  refused = testing::ErrorOf([&] { BodyOfVersion(Db(), Templates(), version + 1000); });
  EXPECT_EQ(refused.description(), "The body of version " + std::to_string(version + 1000) +
                                       " cannot be built again. The history holds no such "
                                       "version.");
  // Compaction counts it and goes on.
  Exec("update T_PrintHistorySettings set FKeep = 20, FCompacted = 0");
  EXPECT_EQ(CompactHistory(Db()).unreadable, 1);
}

// A store whose history kept every body whole (schema 4) gains what
// compaction needs, loses its index by time and keeps its versions.
TEST_P(HistoryBodiesTest, AStoreWhoseHistoryKeptBodiesWholeIsUpgraded) {
  Edit(100);
  Edit(9000);
  MakeHistoryOfSchema(4);
  for (const HistoryTable& history : HistoryTables()) {
    if (!history.body.empty()) Exec("alter table " + history.table.name + " drop column FDataDiff");
    Exec("create index IX_" + history.table.name + "_ChangedAt on " + history.table.name +
         " (FChangedAt)");
  }
  Exec("alter table T_PrintHistorySettings drop column FCompacted");

  const SchemaOutcome upgraded = CreateSchema(Db());
  EXPECT_EQ(upgraded.action, Action::Upgraded);
  EXPECT_EQ(upgraded.fromVersion, 4);
  EXPECT_EQ(Count("T_PrintExportNote_History"), 2);
  // Every change of a kept row no longer pays for an index by time.
  const std::string changedAt = "'ix_t_printexportnote_history_changedat'";
  EXPECT_EQ(GetParam().name == "SQLite"
                ? Count("sqlite_master", "lower(name) = " + changedAt)
                : Count("pg_indexes", "schemaname = current_schema() and indexname = " + changedAt),
            0);
  EXPECT_EQ(CompactHistory(Db()).compacted, 2);
  Edit(20000);
  ExpectEveryVersionBuilt();
  EXPECT_EQ(CreateSchema(Db()).action, Action::Current);
}

ORVO_INSTANTIATE_STORE_SUITE(HistoryBodiesTest);

}  // namespace
}  // namespace orvo::store
