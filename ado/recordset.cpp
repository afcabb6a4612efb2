#include "orvo/ado/recordset.hpp"

#include <optional>
#include <stdexcept>

#include "ado/columns_read.hpp"
#include "ado/errors.hpp"
#include "orvo/ado/connection.hpp"

namespace orvo::ado {

namespace {

constexpr const char* kSource = "ADODB.Recordset";

}  // namespace

Recordset::Recordset(ResultSet result) : result_(std::move(result)) {
  Settle();
}

void Recordset::Settle() {
  stride_ = result_.Stride();
  rows_ = stride_ == 0 ? 0 : result_.values.size() / stride_;
  open_ = result_.hasRows;
  row_ = 0;
  chunkOffsets_.clear();
}

const ClassInfo& Recordset::TypeInfo() const {
  static const ClassInfo info{"Recordset", "", "_Recordset", "", "ADODB.Recordset", {}, [] {
                                return std::shared_ptr<Dispatch>(std::make_shared<Recordset>());
                              }};
  return info;
}

void Recordset::Open(std::string_view source, const std::shared_ptr<Connection>& activeConnection,
                     std::int32_t /*cursorType*/, std::int32_t lockType, std::int32_t options) {
  if (open_) throw ObjectOpenError(kSource);
  if (!activeConnection) throw NoConnectionError(kSource);
  std::shared_ptr<Recordset> ran = activeConnection->Execute(source, options);
  result_ = std::move(ran->result_);
  Settle();
  connection_ = open_ ? activeConnection : nullptr;
  if (lockType != adLockUnspecified) LockType = lockType;
}

void Recordset::Close() {
  RequireOpen();
  result_ = ResultSet{};
  Settle();
  connection_.reset();
}

bool Recordset::Eof() const {
  RequireOpen();
  return row_ >= rows_;
}

bool Recordset::BOF() const {
  RequireOpen();
  // The cursor only moves forward from the first row, so it stands before
  // the first row only when there is none.
  return rows_ == 0;
}

void Recordset::MoveNext() {
  RequireOpen();
  if (row_ >= rows_) throw NoCurrentRecordError(kSource);
  ++row_;
  chunkOffsets_.clear();
}

void Recordset::MoveFirst() {
  RequireOpen();
  if (rows_ == 0) throw NoCurrentRecordError(kSource);
  row_ = 0;
  chunkOffsets_.clear();
}

std::int32_t Recordset::RecordCount() const {
  RequireOpen();
  return static_cast<std::int32_t>(rows_);
}

std::int32_t Recordset::FieldCount() const {
  RequireOpen();
  return static_cast<std::int32_t>(result_.ColumnCount());
}

Field Recordset::Fields(std::int32_t index) {
  RequireOpen();
  if (index < 0 || static_cast<std::size_t>(index) >= result_.ColumnCount()) {
    throw ItemNotFoundError("ADODB.Fields");
  }
  return FieldOf(static_cast<std::size_t>(index));
}

Field Recordset::Fields(std::string_view name) {
  RequireOpen();
  if (result_.columns) {
    if (const std::optional<std::size_t> column = ColumnNamed(*result_.columns, name)) {
      return FieldOf(*column);
    }
  }
  throw ItemNotFoundError("ADODB.Fields");
}

Field Recordset::FieldOf(std::size_t column) {
  return Field(this, column, result_.Place(column));
}

void Recordset::RequireOpen() const {
  if (!open_) throw ObjectClosedError(kSource);
}

void Recordset::SettleDate(std::size_t column, Variant& value) const {
  if ((*result_.columns)[column].type != adDBTimeStamp) return;
  Date date;
  if (Date::Parse(value.AsString(), date)) value = Variant(date);
}

void Recordset::NoCell() const {
  RequireOpen();
  throw NoCurrentRecordError("ADODB.Field");
}

void Recordset::NotRead(std::size_t column) const {
  throw std::logic_error("the column " + (*result_.columns)[column].name +
                         " was left out by the read that ran its statement");
}

}  // namespace orvo::ado
