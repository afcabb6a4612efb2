// Helpers for the data-access tests: the error a call raises and a fresh
// SQLite store with the tables the statements run on.

#ifndef ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_
#define ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvo/ado/command.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/error.hpp"
#include "support/error_of.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_directory.hpp"

namespace orvo::ado::testing {

using orvo::testing::RecordingObserver;

using orvo::testing::ErrorOf;

// Mirrors the columns of the template store's tables; text columns compare
// as the store's schema makes them compare.
inline constexpr const char* kSchema[] = {
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
    "FPrintSet BLOB, FTypeSub VARCHAR(255) COLLATE NOCASE)",
};

// A fresh store file per test, removed afterwards.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cn_ = Connection::Open(DataSource(), IfMissing::Create);
    // As a store is created: readers never wait for a writer.
    cn_->Execute("PRAGMA journal_mode=WAL");
    for (const char* statement : kSchema) cn_->Execute(statement);
  }
  void TearDown() override { cn_.reset(); }

  std::string DataSource() const { return dir_.SqliteDsn(); }

  // The single value of a one-row, one-column statement.
  Variant Scalar(const std::string& text) {
    auto rs = cn_->Execute(text);
    EXPECT_FALSE(rs->Eof()) << text;
    return rs->Fields(0).Value();
  }

  // The field names of the statement's result, comma separated.
  std::string Names(const std::string& text) {
    auto rs = cn_->Execute(text);
    std::string names;
    for (std::int32_t i = 0; i < rs->FieldCount(); ++i)
      names += (i ? "," : "") + rs->Fields(i).Name();
    return names;
  }

  struct Param {
    DataTypeEnum type;
    std::int32_t size;
    Variant value;
  };
  // A command on the store with one input parameter per entry, in order.
  std::shared_ptr<Command> NewCommand(const std::string& text, std::vector<Param> params = {}) {
    auto cmd = std::make_shared<Command>();
    cmd->ActiveConnection = cn_;
    cmd->CommandText = text;
    for (Param& p : params) {
      cmd->GetParameters().Append(
          cmd->CreateParameter("", p.type, adParamInput, p.size, std::move(p.value)));
    }
    return cmd;
  }

  orvo::testing::TempDirectory dir_;
  std::shared_ptr<Connection> cn_;
};

}  // namespace orvo::ado::testing

#endif  // ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_
