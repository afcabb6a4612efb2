// Listing and restoring the versions that the store's history keeps, on
// every backend: what a blunt write replaced comes back byte for byte, a
// deleted template comes back with its id, and a restore is itself kept.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "operate/operations.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"
#include "support/store_fixture.hpp"

namespace orvo::operate {
namespace {

using orvo::testing::kBillTables;
using orvo::testing::kReportTables;

Bytes Body(std::size_t n) {
  Bytes body(n % 3 == 0 ? n * 997 : n);  // empty, one byte, and up to 50 KB
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i * 31 + n);
  return body;
}

class HistoryCommandsTest : public testing::StoreTest {
 protected:
  std::vector<TableRows> List(const HistoryFilter& filter = {}) {
    return ListHistory(Dsn(), filter, {});
  }
  // The versions listed, as "table:FId:FChange".
  std::vector<std::string> Listed(const HistoryFilter& filter = {}) {
    std::vector<std::string> listed;
    for (const TableRows& table : List(filter)) {
      for (const std::vector<Variant>& row : table.rows) {
        listed.push_back(table.table + ":" + CStr(row[3]) + ":" + CStr(row[2]));
      }
    }
    return listed;
  }
};

TEST_P(HistoryCommandsTest, EveryBodyUpdateNoteRowReplacedIsRestoredByteForByte) {
  std::vector<std::int32_t> ids;
  for (std::size_t n = 0; n < 50; ++n) {
    ids.push_back(SeedTemplate(kBillTables, 28, "Invoice " + std::to_string(n), Variant(Body(n))));
  }
  clsPrintSetupUpdate().UpdateNoteRow(Dsn(), 28, Variant(Bytes{'n', 'e', 'w'}));

  HistoryFilter type28;
  type28.billType = 28;
  const std::vector<TableRows> listed = List(type28);
  std::vector<std::int32_t> versions;
  for (const TableRows& table : listed) {
    for (const std::vector<Variant>& row : table.rows) {
      ASSERT_EQ(table.table, "T_PrintExportNote_History");
      versions.push_back(CLng(row[0]));
    }
  }
  ASSERT_EQ(versions.size(), 50u);
  for (const std::int32_t version : versions) {
    const RestoreReport report = RestoreVersion(Dsn(), version, {});
    EXPECT_FALSE(report.inserted);
    EXPECT_NE(report.replacedBy, 0);
  }
  for (std::size_t n = 0; n < ids.size(); ++n) {
    const Variant body =
        Scalar("select FData from T_PrintExportNote where FId = " + std::to_string(ids[n]));
    const ByteSpan bytes = body.AsBytes();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Body(n)) << n;
  }
  // Each restore kept what it replaced, the new body, marked as a restore.
  EXPECT_EQ(Count("T_PrintExportNote_History", "FChange = 'restore' and FData = x'6e6577'"), 50);
}

// A designer's saves, compacted: each earlier body is listed with its size
// and comes back byte for byte, also after other restores.
TEST_P(HistoryCommandsTest, EditsRestoredFromACompactedHistoryAreByteForByte) {
  std::vector<Bytes> saved = {Body(9)};  // 8,973 bytes
  const std::int32_t id = SeedTemplate(kBillTables, 30, "Invoice", Variant(saved.back()));
  for (std::size_t edit = 1; edit <= 4; ++edit) {
    Bytes body = saved.back();
    body.insert(body.begin() + static_cast<std::ptrdiff_t>(edit * 1500), 40, std::uint8_t(edit));
    clsPrintSetupUpdate().UpdateNoteRow(Dsn(), 30, Variant(body));
    saved.push_back(body);
  }
  const store::Compaction done = CompactStore(Dsn(), {});
  EXPECT_EQ(done.compacted, 4);
  EXPECT_LT(done.bytesAfter, 4 * 200);

  HistoryFilter template30;
  template30.templateId = id;
  std::vector<std::int32_t> versions;
  for (const TableRows& table : List(template30)) {
    for (const std::vector<Variant>& row : table.rows) {
      versions.push_back(CLng(row[0]));
      EXPECT_EQ(CLng(row.back()), static_cast<std::int32_t>(saved[versions.size() - 1].size()));
    }
  }
  ASSERT_EQ(versions.size(), 4u);
  for (const std::size_t n : {0, 2, 1, 3}) {
    RestoreVersion(Dsn(), versions[n], {});
    const Variant body =
        Scalar("select FData from T_PrintExportNote where FId = " + std::to_string(id));
    const ByteSpan bytes = body.AsBytes();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), saved[n]) << n;
  }
}

TEST_P(HistoryCommandsTest, ADeletedTemplateComesBackWithItsIdAndAMissingVersionChangesNothing) {
  const std::int32_t kept = SeedTemplate(kReportTables, 5, "Report", Variant(Body(7)));
  const std::int32_t other = SeedTemplate(kReportTables, 5, "Other", Variant(Body(8)));
  Exec("delete from T_RptExcelPrintExportNote where FId = ?", {kept});
  const std::string deleted = Snapshot();

  const AutomationError refused = testing::ErrorOf([&] { RestoreVersion(Dsn(), 999, {}); });
  EXPECT_EQ(refused.description(),
            "The store's history holds no version 999; nothing was restored.");
  EXPECT_EQ(Snapshot(), deleted);

  HistoryFilter one;
  one.templateId = kept;
  const std::vector<std::string> versions = Listed(one);
  ASSERT_EQ(versions, std::vector<std::string>{
                          "T_RptExcelPrintExportNote_History:" + std::to_string(kept) + ":delete"});
  std::int32_t version = 0;
  for (const TableRows& table : List(one)) {
    if (!table.rows.empty()) version = CLng(table.rows[0][0]);
  }
  const RestoreReport report = RestoreVersion(Dsn(), version, {});
  EXPECT_TRUE(report.inserted);
  EXPECT_EQ(report.id, kept);
  EXPECT_EQ(Row("T_RptExcelPrintExportNote", "FName", "FId = " + std::to_string(kept)), "Report");
  EXPECT_EQ(Count("T_RptExcelPrintExportNote"), 2);
  // The identity goes on past both.
  EXPECT_GT(SeedTemplate(kReportTables, 5, "Third", Variant(Body(1))), other);
}

TEST_P(HistoryCommandsTest, FiltersNarrowTheVersionsListed) {
  const std::int32_t mine = SeedTemplate(kBillTables, 28, "Mine", Variant(Body(1)));
  const std::int32_t theirs = SeedTemplate(kBillTables, 29, "Theirs", Variant(Body(2)));
  SeedAssignment(kBillTables, 28, mine, kUser, "Mine", 1);
  SeedSettingsRow(kBillTables, 28, kUser, Variant(Body(4)), "option");
  SeedSettingsRow(kBillTables, 29, 8, Variant(Body(4)), "option");
  Exec("update T_PrintExportNote set FName = FName || 'x'");
  Exec("update T_PrintExport set FData = 'changed'");

  const std::string table = "T_PrintExportNote_History:";
  HistoryFilter user;
  user.user = kUser;
  const std::vector<std::string> users = Listed(user);
  EXPECT_EQ(users.size(), 2u);
  EXPECT_EQ(users.back(), table + std::to_string(mine) + ":update");
  HistoryFilter type;
  type.billType = 29;
  EXPECT_EQ(Listed(type).size(), 2u);
  EXPECT_EQ(Listed(type).back(), table + std::to_string(theirs) + ":update");
  HistoryFilter later;
  later.since = Variant(Date::FromParts(2100, 1, 1, 0, 0, 0));
  EXPECT_TRUE(Listed(later).empty());
  later.since = Variant(Date::FromParts(2000, 1, 1, 0, 0, 0));
  EXPECT_EQ(Listed(later).size(), 4u);
}

ORVO_INSTANTIATE_STORE_SUITE(HistoryCommandsTest);

}  // namespace
}  // namespace orvo::operate
