#include "operate/store_rows.hpp"

#include <algorithm>

#include "ado/bound_value.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "store/backend_schema.hpp"

namespace orvo::operate {

namespace {

// Rows read at once: enough to make each statement worth its round trip,
// few enough that a page of large bodies stays small.
constexpr int kPageRows = 256;

std::string JoinedColumns(const store::Table& table) {
  std::string list;
  for (const store::Column& column : table.columns) {
    list += (list.empty() ? "" : ", ") + column.name;
  }
  return list;
}

// A value read from a store's column, bound as its kind: the kinds that the
// store's columns give back, and nothing else, so that no value is lost.
ado::BoundValue Bound(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Null:
      return {ado::adVariant, value};
    case Variant::Kind::Long:
      return {ado::adInteger, value};
    case Variant::Kind::Double:
      return {ado::adDouble, value};
    case Variant::Kind::Date:
      return {ado::adDate, value};
    case Variant::Kind::String:
      return {ado::adVarChar, value};
    case Variant::Kind::Bytes:
      return {ado::adLongVarBinary, value};
    default:
      break;
  }
  Refuse("A value of kind " + std::string(value.KindName()) +
         " has no column of the store to go to; nothing was written.");
}

}  // namespace

void Refuse(const std::string& message) {
  throw AutomationError(ado::kErrFailure, kLibraryName, message);
}

std::shared_ptr<ado::Connection> OpenStore(const std::string& dsn,
                                           const std::shared_ptr<ado::StatementObserver>& observer,
                                           ado::IfMissing ifMissing) {
  std::shared_ptr<ado::Connection> connection = ado::Connection::Open(dsn, ifMissing);
  connection->SetObserver(observer);
  return connection;
}

void RequireCurrentStore(ado::Connection& connection, const std::string& role) {
  const store::BackendSchema& schema = store::SchemaOf(connection);
  const int stored = schema.StoredVersion(connection);
  if (stored == 0) Refuse(role + " holds no template store.");
  if (stored != schema.CurrentVersion() || !schema.Complete(connection)) {
    Refuse(role + " has schema version " + std::to_string(stored) + ", not the version " +
           std::to_string(schema.CurrentVersion()) +
           " of this library, or lacks a table or index; run init on it first.");
  }
}

const std::vector<Family>& Families() {
  // The store's tables come in pairs, row table first, in this order.
  static const std::vector<Family> families = [] {
    const std::vector<store::Table>& t = store::Tables();
    return std::vector<Family>{
        {"standard", t[0], t[1], "FBillType", "FNewBillType", "FBillId", false, false},
        {"partitioned", t[2], t[3], "FBillType", "FNewBillType", "FBillId", true, false},
        {"report", t[4], t[5], "FRptId", "FNewRptId", "FNoteId", false, true},
    };
  }();
  return families;
}

TableRows SelectRows(ado::Connection& connection, TableRows shape, const std::string& list,
                     const std::string& from, const Conditions& conditions, const char* order) {
  auto rows = connection.ExecuteWith(
      "select " + list + " from " + from + conditions.Where() + " order by " + order,
      conditions.values);
  for (; !rows->Eof(); rows->MoveNext()) {
    std::vector<Variant> values;
    for (std::size_t i = 0; i < shape.columns.size(); ++i) {
      values.push_back(rows->Fields(static_cast<std::int32_t>(i)).Value());
    }
    shape.rows.push_back(std::move(values));
  }
  return shape;
}

std::vector<std::string> ColumnNames(const store::Table& table) {
  std::vector<std::string> names;
  for (const store::Column& column : table.columns) names.push_back(column.name);
  return names;
}

std::uint64_t CountRows(ado::Connection& connection, const store::Table& table) {
  return static_cast<std::uint64_t>(
      CDbl(connection.Execute("select count(1) from " + table.name)->Fields(0).Value()));
}

void ForEachRow(ado::Connection& connection, const store::Table& table,
                const std::function<void(const std::vector<Variant>&)>& row) {
  const std::string page = "select top " + std::to_string(kPageRows) + " " + JoinedColumns(table) +
                           " from " + table.name + " where FId > ? order by FId";
  std::int32_t after = 0;
  std::vector<Variant> values(table.columns.size());
  for (;;) {
    auto rows = connection.ExecuteWith(page, {{ado::adInteger, Variant(after)}});
    int read = 0;
    for (; !rows->Eof(); rows->MoveNext(), ++read) {
      for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = rows->Fields(static_cast<std::int32_t>(i)).Value();
      }
      after = CLng(values[0]);
      row(values);
    }
    if (read < kPageRows) return;
  }
}

void InsertRow(ado::Connection& connection, const store::Table& table,
               const std::vector<Variant>& values) {
  std::string markers;
  for (std::size_t i = 0; i < table.columns.size(); ++i) markers += i == 0 ? "?" : ", ?";
  std::vector<ado::BoundValue> bound;
  bound.reserve(values.size());
  for (const Variant& value : values) bound.push_back(Bound(value));
  connection.ExecuteWith(
      "insert into " + table.name + " (" + JoinedColumns(table) + ") values (" + markers + ")",
      bound);
}

void RequireNoRows(ado::Connection& connection, const std::string& role) {
  std::string holding;
  for (const store::Table& table : store::Tables()) {
    if (const std::uint64_t rows = CountRows(connection, table); rows != 0) {
      holding += (holding.empty() ? "" : ", ") + table.name + " " + std::to_string(rows);
    }
  }
  if (!holding.empty()) {
    Refuse(role + " is not empty (rows: " + holding +
           "); it takes only a store whose tables hold no row. Nothing was written.");
  }
}

std::int64_t LastIdentity(ado::Connection& connection, const store::Table& table) {
  const std::int64_t last = store::SchemaOf(connection).LastIdentity(connection, table);
  const Variant largest =
      connection.Execute("select max(FId) from " + table.name)->Fields(0).Value();
  return largest.IsNull() ? last : std::max<std::int64_t>(last, CLng(largest));
}

void SetLastIdentity(ado::Connection& connection, const store::Table& table, std::int64_t last) {
  store::SchemaOf(connection).SetLastIdentity(connection, table, last);
}

ProgressCount::ProgressCount(const Progress& progress, std::uint64_t total)
    : progress_(progress), total_(total) {
  if (progress_) progress_(0, total_);
}

void ProgressCount::Done() {
  ++done_;
  if (progress_) progress_(done_, total_);
}

}  // namespace orvo::operate
