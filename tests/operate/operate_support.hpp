// What the suites of the operator's operations share: a store on a backend
// in a directory of its own, seeded with rows whose values test exactness
// (dates, Nulls, quotes, Chinese and 4-byte characters, bodies of 0 bytes,
// 1 byte and several MiB, ids with gaps and an identity past the last row),
// and the whole content of a store, read back for comparing.
//
// One test at a time; a Store belongs to one test.

#ifndef ORVO_TESTS_OPERATE_OPERATE_SUPPORT_HPP_
#define ORVO_TESTS_OPERATE_OPERATE_SUPPORT_HPP_

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ado/bound_value.hpp"
#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "store/backend_schema.hpp"
#include "store/tables.hpp"
#include "support/backends.hpp"
#include "support/temp_directory.hpp"

namespace orvo::testing {

// Every row of every table, by table name, and the last id each identity gave.
struct Content {
  std::map<std::string, std::vector<std::vector<Variant>>> rows;
  std::map<std::string, std::int64_t> lastIds;
  friend bool operator==(const Content&, const Content&) = default;
};

class Store {
 public:
  explicit Store(const Backend& backend) : fresh_(backend, directory_.Path()) {}

  const std::string& Dsn() const { return fresh_.Dsn(); }
  const std::filesystem::path& Directory() const { return directory_.Path(); }

  std::shared_ptr<ado::Connection> Connect() const {
    return ado::Connection::Open(Dsn(), ado::IfMissing::Create);
  }

  void Create() const { store::CreateStore(Dsn(), nullptr); }

  void Exec(const std::string& text, const std::vector<Variant>& values = {}) const {
    std::vector<ado::BoundValue> bound;
    for (const Variant& value : values) {
      bound.push_back({value.kind() == Variant::Kind::Bytes    ? ado::adLongVarBinary
                       : value.kind() == Variant::Kind::String ? ado::adVarChar
                       : value.kind() == Variant::Kind::Date   ? ado::adDate
                                                               : ado::adInteger,
                       value});
    }
    Connect()->ExecuteWith(text, bound);
  }

  // Four rows in each table, ids 1 to 4, the identity at 5: a fifth row was
  // deleted. Each column holds in turn the values that test exactness.
  void Seed() const {
    Create();
    const auto connection = Connect();
    for (const store::Table& table : store::Tables()) {
      for (int row = 0; row < 5; ++row) {
        std::string columns;
        std::string markers;
        std::vector<ado::BoundValue> values;
        for (const store::Column& column : table.columns) {
          if (column.kind == store::ColumnKind::Identity) continue;
          columns += (columns.empty() ? "" : ", ") + column.name;
          markers += markers.empty() ? "?" : ", ?";
          values.push_back(ValueFor(column, row));
        }
        connection->ExecuteWith(
            "insert into " + table.name + " (" + columns + ") values (" + markers + ")", values);
      }
      connection->Execute("delete from " + table.name + " where FId = 5");
    }
  }

  Content Read() const {
    const auto connection = Connect();
    Content content;
    for (const store::Table& table : store::Tables()) {
      std::string columns;
      for (const store::Column& column : table.columns) {
        columns += (columns.empty() ? "" : ", ") + column.name;
      }
      auto& rows = content.rows[table.name];
      for (auto rs =
               connection->Execute("select " + columns + " from " + table.name + " order by FId");
           !rs->Eof(); rs->MoveNext()) {
        rows.emplace_back();
        for (std::int32_t i = 0; i < rs->FieldCount(); ++i) {
          rows.back().push_back(rs->Fields(i).Value());
        }
      }
      content.lastIds[table.name] = store::SchemaOf(*connection).LastIdentity(*connection, table);
    }
    return content;
  }

  // The id that the next row inserted into `table` without one gets.
  std::int32_t NextId(const std::string& table) const {
    const auto connection = Connect();
    connection->Execute("insert into " + table + " (FName) values ('next')");
    return CLng(connection->Execute("select max(FId) from " + table)->Fields(0).Value());
  }

  static ado::BoundValue ValueFor(const store::Column& column, int row) {
    switch (column.kind) {
      case store::ColumnKind::WholeNumber: {
        const std::int32_t numbers[] = {28, -1, 2147483647, -2147483647 - 1};
        if (row == 3 && column.name != "FBillId") return {ado::adInteger, Variant::Null()};
        return {ado::adInteger, Variant(numbers[row % 4])};
      }
      case store::ColumnKind::Text: {
        std::string most;
        for (int i = 0; i < column.characters; ++i) most += i % 2 == 0 ? "\xF0\x9F\x98\x80" : "存";
        const std::string texts[] = {"O'Bri\"en 存放😀", "", most, "  a  "};
        if (row == 1 && column.name == "FData") return {ado::adVarChar, Variant::Null()};
        return {ado::adVarChar, Variant(texts[row % 4])};
      }
      case store::ColumnKind::Date:
        if (row == 1) return {ado::adDate, Variant::Null()};
        return {ado::adDate, Variant(Date::FromParts(2024, 2, 29, 23, 59, 58 - row))};
      case store::ColumnKind::Binary:
        break;
      case store::ColumnKind::Identity:
        break;
    }
    switch (row % 4) {
      case 0:
        return {ado::adLongVarBinary, Variant(Bytes{})};
      case 1:
        return {ado::adLongVarBinary, Variant(Bytes{0x00})};
      case 2: {
        Bytes large(3 * 1024 * 1024 + 7);
        for (std::size_t i = 0; i < large.size(); ++i) {
          large[i] = static_cast<std::uint8_t>(i * 131 + 7);
        }
        return {ado::adLongVarBinary, Variant(std::move(large))};
      }
      default:
        break;
    }
    return {ado::adLongVarBinary, Variant::Null()};
  }

 private:
  TempDirectory directory_;
  FreshStore fresh_;
};

// Fails the n-th statement (from 1) whose text holds `part`.
class FailingStatement : public ado::StatementObserver {
 public:
  FailingStatement(std::string part, int n) : part_(std::move(part)), n_(n) {}
  void BeforeExecute(std::string_view text, const std::vector<Variant>&) override {
    if (text.find(part_) != std::string_view::npos && --n_ == 0) {
      throw AutomationError(ado::kErrFailure, "test", "refused");
    }
  }
  void AfterExecute(std::string_view, const AutomationError*) override {}

 private:
  std::string part_;
  int n_;
};

// A suite run on every backend; skipped, saying why, where one is missing.
class OperateTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    if (!GetParam().unavailable.empty()) GTEST_SKIP() << GetParam().unavailable;
  }
};

}  // namespace orvo::testing

#endif  // ORVO_TESTS_OPERATE_OPERATE_SUPPORT_HPP_
