#include "ado/sqlite/column_reader.hpp"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "ado/sqlite/error.hpp"

namespace orvo::ado::sqlite {

namespace {

std::string Upper(const char* text) {
  std::string out = text != nullptr ? text : "";
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Follows SQLite's own reading of declared types, with the names the
// schema uses for booleans and dates picked out first.
DataTypeEnum DeclaredType(const char* declared) {
  const std::string type = Upper(declared);
  const auto has = [&](std::string_view part) { return type.find(part) != std::string::npos; };
  if (type.empty()) return adVariant;
  if (type == "BIT" || has("BOOL")) return adBoolean;
  if (has("SMALLINT") || has("TINYINT")) return adSmallInt;
  if (has("BIGINT")) return adBigInt;
  if (has("INT")) return adInteger;
  if (has("CHAR") || has("CLOB") || has("TEXT")) return adVarChar;
  if (has("BLOB") || has("BINARY") || has("IMAGE")) return adLongVarBinary;
  if (has("REAL") || has("FLOA") || has("DOUB")) return adDouble;
  if (has("DATE") || has("TIME")) return adDBTimeStamp;
  return adVariant;
}

bool FitsLong(sqlite3_int64 v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

// A column's value of the current row is read through the one value object
// SQLite keeps for it, which is cheaper than a call per property of the
// column. SQLite calls that object unprotected because no mutex guards it;
// a connection is used on one thread only, so none is needed.
DataTypeEnum StoredType(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return FitsLong(sqlite3_value_int64(value)) ? adInteger : adBigInt;
    case SQLITE_FLOAT:
      return adDouble;
    case SQLITE_TEXT:
      return adVarChar;
    case SQLITE_BLOB:
      return adLongVarBinary;
    default:
      return adVariant;
  }
}

// Each value is made where it goes, in the row's array, as the alternative
// it holds: a value made apart and moved in would cost a move and the
// destruction of what it was moved from, for every column of every row.
void AppendInteger(std::vector<Variant>& values, sqlite3_int64 v, DataTypeEnum declared) {
  if (declared == adBoolean) {
    values.emplace_back(v != 0);
  } else if (declared == adSmallInt && v >= std::numeric_limits<std::int16_t>::min() &&
             v <= std::numeric_limits<std::int16_t>::max()) {
    values.emplace_back(static_cast<std::int16_t>(v));
  } else if (FitsLong(v)) {
    values.emplace_back(static_cast<std::int32_t>(v));
  } else {
    values.emplace_back(static_cast<double>(v));
  }
}

void AppendBlob(std::vector<Variant>& values, sqlite3_value* value) {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_value_blob(value));
  const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
  values.push_back(data == nullptr ? Variant(Bytes()) : Variant::CopyOf(ByteSpan(data, size)));
}

void AppendValue(std::vector<Variant>& values, sqlite3_value* value, DataTypeEnum declared) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      AppendInteger(values, sqlite3_value_int64(value), declared);
      return;
    case SQLITE_FLOAT:
      values.emplace_back(sqlite3_value_double(value));
      return;
    case SQLITE_TEXT: {
      if (declared == adLongVarBinary) return AppendBlob(values, value);
      // A date column's text stays text here: the Recordset reads it as a
      // date when it is asked for (ResultSet::datesAsText).
      const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
      values.emplace_back(std::string_view(data != nullptr ? data : "",
                                           static_cast<std::size_t>(sqlite3_value_bytes(value))));
      return;
    }
    case SQLITE_BLOB:
      return AppendBlob(values, value);
    default:
      values.push_back(Variant::Null());
  }
}

}  // namespace

ColumnReader::ColumnReader(sqlite3_stmt* stmt) {
  const int count = sqlite3_column_count(stmt);
  std::vector<ColumnInfo> columns;
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    const DataTypeEnum declared = DeclaredType(sqlite3_column_decltype(stmt, i));
    columns.push_back(ColumnInfo{name != nullptr ? name : "", declared});
    declared_.push_back(declared);
    undeclared_ = undeclared_ || declared == adVariant;
    dates_ = dates_ || declared == adDBTimeStamp;
  }
  columns_ = std::make_shared<const std::vector<ColumnInfo>>(std::move(columns));
}

ResultSet ColumnReader::ReadAll(sqlite3* db, sqlite3_stmt* stmt, std::size_t maxRecords,
                                const ColumnsRead* read) const {
  ResultSet result;
  result.hasRows = !declared_.empty();
  result.datesAsText = dates_;
  result.columns = columns_;
  result.skipped = skipped_.Of(*columns_, read);
  // Room for a few rows: most statements of the classes give one or two.
  result.values.reserve(result.Stride() * 2);
  // The types of undeclared columns are settled by this run's values.
  std::vector<ColumnInfo> settled;
  if (undeclared_) settled = *columns_;
  for (std::size_t rows = 0; maxRecords == 0 || rows < maxRecords; ++rows) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw ErrorFromDatabase(db, rc);
    for (std::size_t i = 0; i < declared_.size(); ++i) {
      // A column left out costs nothing.
      if (result.Skipped(i)) continue;
      sqlite3_value* value = sqlite3_column_value(stmt, static_cast<int>(i));
      if (undeclared_ && settled[i].type == adVariant) settled[i].type = StoredType(value);
      AppendValue(result.values, value, declared_[i]);
    }
  }
  if (undeclared_)
    result.columns = std::make_shared<const std::vector<ColumnInfo>>(std::move(settled));
  return result;
}

}  // namespace orvo::ado::sqlite
