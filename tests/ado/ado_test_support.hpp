// Helpers for the data-access tests: the error a call raises and a fresh
// store with the tables the statements run on.

#ifndef ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_
#define ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/command.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/error.hpp"
#include "support/backends.hpp"
#include "support/error_of.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_directory.hpp"

namespace orvo::ado::testing {

using orvo::testing::RecordingObserver;

using orvo::testing::ErrorOf;

// A fresh store per test, dropped afterwards, with the data-access tests'
// tables: on SQLite, unless a suite parameterised by backend says otherwise.
// A test on a backend that cannot be had here is skipped.
class StoreTest : public ::testing::Test {
 protected:
  virtual const orvo::testing::Backend& StoreBackend() const {
    return orvo::testing::SqliteBackend();
  }
  void SetUp() override {
    if (const std::string& reason = StoreBackend().unavailable; !reason.empty()) {
      GTEST_SKIP() << reason;
    }
    store_.emplace(StoreBackend(), dir_.Path());
    cn_ = Connection::Open(DataSource(), IfMissing::Create);
    for (const std::string& statement : StoreBackend().adoTables) cn_->Execute(statement);
  }
  void TearDown() override {
    cn_.reset();
    store_.reset();
  }

  const std::string& DataSource() const { return store_->Dsn(); }

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
  std::optional<orvo::testing::FreshStore> store_;
  std::shared_ptr<Connection> cn_;
};

}  // namespace orvo::ado::testing

#endif  // ORVO_TESTS_ADO_ADO_TEST_SUPPORT_HPP_
