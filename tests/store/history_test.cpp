// The history that the store keeps of its templates and settings, on every
// backend: each earlier content of a changed or deleted row, byte for byte,
// within the number of versions the store keeps, written by the database
// whoever writes, and nothing of a write that failed.

#include "store/history.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/store/schema.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::store {
namespace {

using orvo::testing::kBillTables;

// A body of `size` bytes that no other size gives, zero bytes among them.
Bytes Body(std::size_t size) {
  Bytes body(size);
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<std::uint8_t>((i * 7 + size) % 256);
  return body;
}

class HistoryTest : public testing::StoreTest {
 protected:
  // The versions of template `id`, oldest first, as "change:FName:body size".
  std::vector<std::string> Versions(const std::string& table, std::int32_t id) {
    std::vector<std::string> versions;
    for (auto rows =
             Db().Execute("select FChange, FName, FData from " + table +
                          "_History where FId = " + std::to_string(id) + " order by FVersion");
         !rows->Eof(); rows->MoveNext()) {
      versions.push_back(CStr(rows->Fields(0).Value()) + ":" + CStr(rows->Fields(1).Value()) + ":" +
                         std::to_string(rows->Fields(2).Value().AsBytes().size()));
    }
    return versions;
  }
  std::int32_t Kept() { return Count("T_PrintExportNote_History"); }
  // The snapshot of the six tables alone.
  std::string Current() {
    const std::string all = Snapshot();
    const std::size_t history = all.find("_History:");
    return history == std::string::npos ? all : all.substr(0, all.rfind('\n', history) + 1);
  }
};

TEST_P(HistoryTest, EveryBodyThatUpdateNoteRowReplacedIsKeptByteForByte) {
  std::vector<std::int32_t> ids;
  for (std::size_t n = 0; n < 50; ++n) {
    // Empty, one byte, and up to 64 KB.
    const Bytes body = Body(n == 0 ? 0 : n == 1 ? 1 : n * 1311);
    ids.push_back(SeedTemplate(kBillTables, 28, "Invoice " + std::to_string(n), Variant(body)));
  }
  SeedTemplate(kBillTables, 29, "Other type", Variant(Body(5)));
  const std::string before = Current();

  clsPrintSetupUpdate().UpdateNoteRow(Dsn(), 28, Variant(Bytes{'n', 'e', 'w'}));

  ASSERT_EQ(Kept(), 50);
  for (std::size_t n = 0; n < ids.size(); ++n) {
    const Variant kept =
        Scalar("select FData from T_PrintExportNote_History where FId = " + std::to_string(ids[n]) +
               " and FChange = 'update'");
    const ByteSpan body = kept.AsBytes();
    const Bytes expected = Body(n == 0 ? 0 : n == 1 ? 1 : n * 1311);
    EXPECT_EQ(Bytes(body.begin(), body.end()), expected) << n;
  }
  // Each version is the whole row as it was: putting every version back
  // gives the store it was before the call.
  for (const std::int32_t id : ids) {
    Exec(
        "update T_PrintExportNote set FModifierName = (select FModifierName from "
        "T_PrintExportNote_History where FId = ?), FModifyDate = (select FModifyDate from "
        "T_PrintExportNote_History where FId = ?), FData = (select FData from "
        "T_PrintExportNote_History where FId = ?) where FId = ?",
        {id, id, id, id});
  }
  EXPECT_EQ(Current(), before);
}

TEST_P(HistoryTest, TheNewestVersionsOfEachRowAreKeptAndTheOlderOnesGoInTheSameWrite) {
  const std::int32_t id = SeedTemplate(kBillTables, 28, "v0", Variant(Body(1)));
  const std::int32_t other = SeedTemplate(kBillTables, 28, "w0", Variant(Body(1)));
  EXPECT_EQ(HistoryKeep(Db()), 20);
  KeepHistory(Db(), 3);
  for (int n = 1; n <= 5; ++n) {
    Exec("update T_PrintExportNote set FName = ? where FId = ?", {"v" + std::to_string(n), id});
  }
  Exec("update T_PrintExportNote set FName = 'w1' where FId = ?", {other});
  EXPECT_EQ(Versions("T_PrintExportNote", id),
            (std::vector<std::string>{"update:v2:1", "update:v3:1", "update:v4:1"}));
  EXPECT_EQ(Versions("T_PrintExportNote", other), std::vector<std::string>{"update:w0:1"});

  // Fewer versions kept: the older go at once; none: no more are kept.
  KeepHistory(Db(), 1);
  EXPECT_EQ(Versions("T_PrintExportNote", id), std::vector<std::string>{"update:v4:1"});
  KeepHistory(Db(), 0);
  EXPECT_EQ(Kept(), 0);
  Exec("delete from T_PrintExportNote where FId = ?", {id});
  EXPECT_EQ(Kept(), 0);
  EXPECT_EQ(HistoryKeep(Db()), 0);

  // A smaller number of versions that an operator writes by hand removes
  // what it no longer keeps at once too.
  KeepHistory(Db(), 20);
  for (int n = 1; n <= 6; ++n) {
    Exec("update T_PrintExportNote set FName = ? where FId = ?", {"w" + std::to_string(n), other});
  }
  Exec("update T_PrintHistorySettings set FKeep = 2");
  EXPECT_EQ(Versions("T_PrintExportNote", other),
            (std::vector<std::string>{"update:w4:1", "update:w5:1"}));
  Exec("update T_PrintExportNote set FName = 'w7' where FId = ?", {other});
  EXPECT_EQ(Versions("T_PrintExportNote", other),
            (std::vector<std::string>{"update:w5:1", "update:w6:1"}));
  // A version put in by hand without its number among the row's is kept,
  // and the row's next versions are numbered on from its others.
  Exec(
      "insert into T_PrintExportNote_History (FChangedAt, FChange, FId, FName, FData) select "
      "FChangedAt, 'update', FId, 'by hand', FData from T_PrintExportNote_History where FId = ? "
      "and FName = 'w6'",
      {other});
  Exec("update T_PrintExportNote set FName = 'w8' where FId = ?", {other});
  EXPECT_EQ(Versions("T_PrintExportNote", other),
            (std::vector<std::string>{"update:w6:1", "update:by hand:1", "update:w7:1"}));

  const AutomationError refused = testing::ErrorOf([&] { KeepHistory(Db(), -1); });
  EXPECT_EQ(refused.number(), 5);
  EXPECT_EQ(HistoryKeep(Db()), 2);
}

// One number names one version for good: removing the newest versions, by
// hand or with the whole history, frees no number for the next ones.
TEST_P(HistoryTest, ANumberIsNeverGivenTwiceThoughTheNewestVersionsAreRemoved) {
  const std::int32_t id = SeedTemplate(kBillTables, 28, "v0", Variant(Body(1)));
  const auto newest = [&](const std::string& table) {
    return CLng(Scalar("select coalesce(max(FVersion), 0) from " + table + "_History"));
  };
  const auto change = [&](int n) {
    Exec("update T_PrintExportNote set FName = ? where FId = ?", {"v" + std::to_string(n), id});
  };
  for (int n = 1; n <= 3; ++n) change(n);
  std::int32_t given = newest("T_PrintExportNote");
  Exec("delete from T_PrintExportNote_History where FVersion >= ?", {given - 1});
  change(4);
  EXPECT_EQ(newest("T_PrintExportNote"), given + 1);

  // In another history too.
  given = newest("T_PrintExportNote");
  Exec("delete from T_PrintExportNote_History where FVersion = ?", {given});
  SeedSettingsRow(kBillTables, 28, kUser, Variant(Body(4)), "option");
  Exec("update T_PrintExport set FData = 'changed'");
  EXPECT_EQ(newest("T_PrintExport"), given + 1);

  given = newest("T_PrintExport");
  KeepHistory(Db(), 0);
  KeepHistory(Db(), 20);
  change(5);
  EXPECT_EQ(newest("T_PrintExportNote"), given + 1);
  EXPECT_EQ(Versions("T_PrintExportNote", id), std::vector<std::string>{"update:v4:1"});
}

TEST_P(HistoryTest, TemplatesAndSettingsAreKeptNotTheRowsThatOnlyPointAtATemplate) {
  const std::int32_t note = SeedTemplate(kBillTables, 28, "Invoice", Variant(Body(3)));
  const std::int32_t assignment = SeedAssignment(kBillTables, 28, note, kUser, "Invoice", 1);
  SeedSettingsRow(kBillTables, 28, kUser, Variant(Body(4)), "option");
  const std::int32_t reportSettings =
      InsertRow("T_RptExcelPrintExport", {{"FRptId", 5}, {"FNoteId", 0}, {"FPreparerId", kUser}});
  InsertRow("T_RptExcelPrintExport", {{"FRptId", 5}, {"FNoteId", 9}, {"FPreparerId", kUser}});

  Exec("update T_PrintExport set FSel = 0");
  Exec("update T_RptExcelPrintExport set FSel = 0");
  Exec("delete from T_PrintExportNote");
  Exec("delete from T_PrintExport where FId = ?", {assignment});

  EXPECT_EQ(Count("T_PrintExport_History"), 1);
  EXPECT_EQ(Row("T_PrintExport_History", "FBillId, FData, FChange", "1=1"), "0|option|update");
  EXPECT_EQ(Count("T_RptExcelPrintExport_History"), 1);
  EXPECT_EQ(Row("T_RptExcelPrintExport_History", "FId", "1=1"), std::to_string(reportSettings));
  EXPECT_EQ(Versions("T_PrintExportNote", note), std::vector<std::string>{"delete:Invoice:3"});
  // Versions are numbered across the store, never twice.
  EXPECT_EQ(Count("T_PrintExport_History",
                  "FVersion in (select FVersion from T_RptExcelPrintExport_History union select "
                  "FVersion from T_PrintExportNote_History)"),
            0);
}

TEST_P(HistoryTest, AWriteThatFailsLeavesNoVersionBehind) {
  SeedTemplate(kBillTables, 28, "Invoice", Variant(Body(3)));
  SeedTemplate(kBillTables, 28, "Order", Variant(Body(4)));
  clsPrintSetupUpdate update;
  // The update itself is the call's last statement.
  Observer().FailAt(2, Locked());
  EXPECT_EQ(
      testing::ErrorOf([&] { update.UpdateNoteRow(Dsn(), 28, Variant(Body(9))); }).description(),
      "database is locked");
  EXPECT_EQ(Kept(), 0);
  // A database's own refusal of the row, after the version was written.
  Exec(StoreBackend().name == "SQLite"
           ? "create trigger Refused before update on T_PrintExportNote when new.FName = 'x' "
             "begin select raise(abort, 'refused'); end"
           : "alter table T_PrintExportNote add constraint refused check (FName <> 'x')");
  EXPECT_FALSE(testing::ErrorOf([&] { Exec("update T_PrintExportNote set FName = 'x'"); })
                   .description()
                   .empty());
  EXPECT_EQ(Kept(), 0);
  update.UpdateNoteRow(Dsn(), 28, Variant(Body(9)));
  EXPECT_EQ(Kept(), 2);
}

TEST_P(HistoryTest, RetentionHoldsUnderWritersAtOnce) {
  const std::int32_t id = SeedTemplate(kBillTables, 28, "Shared", Variant(Body(1)));
  KeepHistory(Db(), 5);
  constexpr int kWriters = 4;
  constexpr int kWrites = 25;
  std::vector<std::thread> writers;
  std::atomic<int> failures{0};
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      try {
        const auto connection = ado::Connection::Open(Dsn());
        for (int n = 0; n < kWrites; ++n) {
          connection->Execute("update T_PrintExportNote set FName = 'w" + std::to_string(w) + "n" +
                              std::to_string(n) + "' where FId = " + std::to_string(id));
        }
      } catch (const AutomationError&) {
        ++failures;
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  ASSERT_EQ(failures, 0);
  EXPECT_EQ(Versions("T_PrintExportNote", id).size(), 5u);
  // The five kept are the newest: the one before the last write is among them.
  EXPECT_EQ(CLng(Scalar("select count(1) from T_PrintExportNote_History where FVersion = (select "
                        "max(FVersion) from T_PrintExportNote_History)")),
            1);
  EXPECT_EQ(CLng(Scalar("select max(FVersion) - min(FVersion) from T_PrintExportNote_History")), 4);
  // Numbered among the row's versions in the order they were made, each once.
  EXPECT_EQ(CStr(Scalar("select count(distinct FRowVersion) || ' ' || (max(FRowVersion) - "
                        "min(FRowVersion)) || ' ' || max(FRowVersion) from "
                        "T_PrintExportNote_History")),
            "5 4 " + std::to_string(kWriters * kWrites));
}

// A store whose history found the version to remove by counting a row's
// versions (schema 5) numbers the versions it has, oldest first, keeps no
// more of a row than the number kept, and its triggers use the numbers from
// then on.
TEST_P(HistoryTest, AStoreWhoseHistoryCountedVersionsIsUpgraded) {
  const std::int32_t id = SeedTemplate(kBillTables, 28, "v0", Variant(Body(1)));
  const std::int32_t other = SeedTemplate(kBillTables, 28, "w0", Variant(Body(2)));
  for (int n = 1; n <= 3; ++n) {
    Exec("update T_PrintExportNote set FName = ? where FId = ?", {"v" + std::to_string(n), id});
  }
  Exec("update T_PrintExportNote set FName = 'w1' where FId = ?", {other});
  MakeHistoryOfSchema(5);
  // Fewer versions kept, written by hand: schema 5 removed the row's older
  // versions at its next change only.
  Exec("update T_PrintHistorySettings set FKeep = 2");

  const SchemaOutcome upgraded = CreateSchema(Db());
  EXPECT_EQ(upgraded.action, SchemaOutcome::Action::Upgraded);
  EXPECT_EQ(upgraded.fromVersion, 5);
  const auto numbers = [&](std::int32_t row) {
    return CStr(Scalar("select " +
                       std::string(GetParam().name == "SQLite" ? "group_concat(FRowVersion, ' ')"
                                                               : "string_agg(FRowVersion::text, "
                                                                 "' ' order by FVersion)") +
                       " from (select FRowVersion, FVersion from T_PrintExportNote_History where "
                       "FId = " +
                       std::to_string(row) + " order by FVersion) as versions"));
  };
  EXPECT_EQ(numbers(id), "2 3");
  EXPECT_EQ(numbers(other), "1");

  Exec("update T_PrintHistorySettings set FKeep = 3");
  Exec("update T_PrintExportNote set FName = 'v4' where FId = ?", {id});
  EXPECT_EQ(Versions("T_PrintExportNote", id),
            (std::vector<std::string>{"update:v1:1", "update:v2:1", "update:v3:1"}));
  EXPECT_EQ(numbers(id), "2 3 4");
  Exec("update T_PrintHistorySettings set FKeep = 1");
  EXPECT_EQ(Versions("T_PrintExportNote", id), std::vector<std::string>{"update:v3:1"});
  EXPECT_EQ(CreateSchema(Db()).action, SchemaOutcome::Action::Current);
}

ORVO_INSTANTIATE_STORE_SUITE(HistoryTest);

}  // namespace
}  // namespace orvo::store
