// StoreFixture gives each test a fresh template store of its own, a
// signed-in calling user on the thread's hub, an observer that records every
// statement (and can fail the n-th one), and helpers to seed rows. StoreTest
// runs a suite on every backend (support/backends.hpp); suites with a
// parameter of their own derive from StoreFixture and say which backend they
// run on. On a backend that cannot be had here SetUp skips the test: a suite
// that sets up more after StoreFixture::SetUp returns first when IsSkipped().
//
// One test at a time per thread; everything is released after each test.

#ifndef ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_
#define ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/journal.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/host/service_hub.hpp"
#include "support/backends.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_directory.hpp"

namespace orvo::testing {

using Columns = std::vector<std::pair<std::string, Variant>>;

// The tables and columns of one family of templates.
struct TemplateTables {
  const char* rows;
  const char* notes;
  const char* keyColumn;       // bill type or report
  const char* idColumn;        // template id
  const char* newKeyColumn;    // the template's bill type or report
  const char* subTypeColumn;   // sub-type of an assignment row
  std::int32_t partition = 0;  // FDataFrom of the rows seeded, 0 where there is none

  // A condition that selects the rows of these tables' partition.
  std::string Scope() const {
    return partition == 0 ? "1=1" : "FDataFrom=" + std::to_string(partition);
  }
  TemplateTables InPartition(std::int32_t dataFrom) const {
    TemplateTables tables = *this;
    tables.partition = dataFrom;
    return tables;
  }
};

inline const TemplateTables kBillTables{"T_PrintExport", "T_PrintExportNote", "FBillType",
                                        "FBillId",       "FNewBillType",      "FBillTypeSub"};
inline const TemplateTables kBillTablesLM{"T_PrintExportLM",
                                          "T_PrintExportNoteLM",
                                          "FBillType",
                                          "FBillId",
                                          "FNewBillType",
                                          "FBillTypeSub",
                                          1};
inline const TemplateTables kReportTables{"T_RptExcelPrintExport",
                                          "T_RptExcelPrintExportNote",
                                          "FRptId",
                                          "FNoteId",
                                          "FNewRptId",
                                          "FTypeSub"};

class StoreFixture : public ::testing::Test {
 protected:
  static constexpr std::int16_t kManager = 16394;
  static constexpr std::int16_t kUser = 7;
  static constexpr const char* kSeeded = "2020-01-02 03:04:05";

  virtual const Backend& StoreBackend() const = 0;

  void SetUp() override;
  void TearDown() override;

  const std::string& Dsn() const { return dsn_; }
  // A connection of the test's own, outside every unit of work.
  ado::Connection& Db() { return *db_; }
  host::ServiceHub& Hub() { return *hub_; }
  RecordingObserver& Observer() { return *observer_; }

  void SignIn(std::int16_t userId, const std::string& userName) { hub_->SignIn(userId, userName); }

  // Runs a statement with values for its markers on the test's connection.
  void Exec(const std::string& text, const std::vector<Variant>& values = {});
  // The first column of the first row of a query, Empty when there is none.
  Variant Scalar(const std::string& text);
  std::int32_t Count(const std::string& table, const std::string& where = "");
  // Inserts one row with the given columns and values and returns its FId.
  std::int32_t InsertRow(const std::string& table, const Columns& columns);

  // A template of bill type or report `key`, created and last modified by the
  // manager on kSeeded, its screen id the key; `more` adds columns or replaces
  // these. Its FId.
  std::int32_t SeedTemplate(const TemplateTables& tables, std::int32_t key, const std::string& name,
                            const Variant& body, const Columns& more = {});
  // A row of `user` for `key` pointing to template `id` (0 for a settings
  // row); its FId.
  std::int32_t SeedAssignment(const TemplateTables& tables, std::int32_t key, std::int32_t id,
                              std::int32_t user, const std::string& name, std::int32_t sel,
                              const Variant& subType = Variant::Null(), const Columns& more = {});
  // A manager's template and his assignment row pointing to it; the
  // template's FId.
  std::int32_t SeedManagersTemplate(const TemplateTables& tables, std::int32_t key,
                                    const std::string& name, const Variant& body, std::int32_t sel);
  // A settings row of `user` for `key`, with its print settings and option
  // text.
  void SeedSettingsRow(const TemplateTables& tables, std::int32_t key, std::int16_t user,
                       const Variant& printSet, const std::string& optionText = "");

  // Every row of the six tables, ordered by table and FId, one line a row with
  // every column, then of their histories, ordered by version, then every row
  // of the business tables named, in the order of their lines: compare two of
  // them to see that a call changed nothing.
  std::string Snapshot(const std::vector<std::string>& businessTables = {});
  // The statement texts that the observer saw, today's date written "<today>".
  std::vector<std::string> Texts();
  // The values bound to the statement `index` (from 0) that the observer
  // saw, as "Kind:value" separated by ", "; a date by its kind alone.
  std::string Params(std::size_t index);
  // The columns of the one row that `where` selects from `table`, as text
  // separated by "|" (Null as "NULL").
  std::string Row(const std::string& table, const std::string& columns, const std::string& where);

  // The store's history as schema 5 made it: no numbers of versions among
  // their row's, an index by row and version, no trigger on the number of
  // versions kept, on SQLite the count of numbers given in the settings row,
  // and triggers of its own, here ones that keep nothing, which an upgrade
  // must make again. Then records `version` as the store's.
  void MakeHistoryOfSchema(int version);

  // The calls of the hub's journal that decide a unit of work, in order:
  // "Open", "Complete" and "Abort".
  std::vector<std::string> Votes() const;

  // The failure that fault tests inject into a statement or a commit.
  static AutomationError Locked() {
    return AutomationError(HResult(0x80004005u), "SQLite", "database is locked");
  }

 private:
  std::int32_t Seed(const std::string& table, Columns columns, const Columns& more,
                    std::int32_t partition);

  std::unique_ptr<TempDirectory> directory_;
  std::unique_ptr<FreshStore> store_;
  std::string dsn_;
  std::shared_ptr<host::ServiceHub> hub_;
  std::shared_ptr<RecordingObserver> observer_;
  std::shared_ptr<ado::Connection> db_;
};

// A suite run on every backend (ORVO_INSTANTIATE_STORE_SUITE).
class StoreTest : public StoreFixture, public ::testing::WithParamInterface<Backend> {
 protected:
  const Backend& StoreBackend() const override { return GetParam(); }
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_SUPPORT_STORE_FIXTURE_HPP_
