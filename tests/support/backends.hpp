// The backends that the suites touching a store run on, each with what the
// suites need to know of it: how to name a fresh store, and the tables the
// data-access tests run their statements on, in the backend's own
// declarations. A suite parameterised by backend runs the same cases on each.
//
// Pure data; any thread.

#ifndef ORVO_TESTS_SUPPORT_BACKENDS_HPP_
#define ORVO_TESTS_SUPPORT_BACKENDS_HPP_

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace orvo::testing {

struct Backend {
  std::string name;
  // A data source text for a fresh store in `directory`.
  std::string (*dataSource)(const std::filesystem::path& directory);
  // Makes the data-access tests' tables, which mirror the columns of the
  // store's and compare text as the store's schema does.
  std::vector<std::string> adoTables;
};

inline const Backend& SqliteBackend() {
  static const Backend sqlite{
      "SQLite",
      [](const std::filesystem::path& directory) {
        return "Provider=SQLite;Data Source=" + (directory / "store.db").string();
      },
      {// As a store is made: readers never wait for a writer.
       "PRAGMA journal_mode=WAL",
       "CREATE TABLE T_PrintExport (FId INTEGER PRIMARY KEY AUTOINCREMENT, FBillType INTEGER, "
       "FBillId INTEGER, FPreparerId INTEGER, FDate DATETIME, FName VARCHAR(255) COLLATE NOCASE, "
       "FData VARCHAR(255) COLLATE NOCASE, FBillTypeSub VARCHAR(255) COLLATE NOCASE, "
       "FSel INTEGER, FPrintSet BLOB)",
       "CREATE TABLE T_PrintExportNote (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
       "FName VARCHAR(255) COLLATE NOCASE, FScreenId VARCHAR(20) COLLATE NOCASE, "
       "FCreatorName VARCHAR(30) COLLATE NOCASE, FModifierName VARCHAR(30) COLLATE NOCASE, "
       "FNewBillType INTEGER, FCreateDate DATETIME, FModifyDate DATETIME, FData BLOB)",
       "CREATE TABLE T_RptExcelPrintExport (FId INTEGER PRIMARY KEY AUTOINCREMENT, "
       "FRptId INTEGER, FNoteId INTEGER, FPreparerId INTEGER, FDate DATETIME, "
       "FName VARCHAR(255) COLLATE NOCASE, FData VARCHAR(255) COLLATE NOCASE, FSel INTEGER, "
       "FPrintSet BLOB, FTypeSub VARCHAR(255) COLLATE NOCASE)"}};
  return sqlite;
}

// The backends present in this build and environment: SQLite always.
inline std::vector<Backend> Backends() {
  return {SqliteBackend()};
}

// Shows a backend by its name in test output.
inline void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

}  // namespace orvo::testing

// Runs a suite whose parameter is a Backend on every backend.
#define ORVO_INSTANTIATE_STORE_SUITE(Suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(Backends, Suite, ::testing::ValuesIn(::orvo::testing::Backends()), \
                           [](const auto& instance) { return instance.param.name; })

#endif  // ORVO_TESTS_SUPPORT_BACKENDS_HPP_
