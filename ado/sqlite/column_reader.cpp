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

DataTypeEnum StoredType(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return FitsLong(sqlite3_column_int64(stmt, column)) ? adInteger : adBigInt;
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

Variant ReadInteger(sqlite3_int64 v, DataTypeEnum declared) {
  if (declared == adBoolean) return Variant(v != 0);
  if (declared == adSmallInt && v >= std::numeric_limits<std::int16_t>::min() &&
      v <= std::numeric_limits<std::int16_t>::max()) {
    return Variant(static_cast<std::int16_t>(v));
  }
  if (FitsLong(v)) return Variant(static_cast<std::int32_t>(v));
  return Variant(static_cast<double>(v));
}

Variant ReadBlob(sqlite3_stmt* stmt, int column) {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, column));
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
  return data == nullptr ? Variant(Bytes()) : Variant::CopyOf(ByteSpan(data, size));
}

std::string ReadText(sqlite3_stmt* stmt, int column) {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
  return data == nullptr ? std::string() : std::string(data, size);
}

Variant ReadValue(sqlite3_stmt* stmt, int column, DataTypeEnum declared) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return ReadInteger(sqlite3_column_int64(stmt, column), declared);
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
      if (declared == adLongVarBinary) return ReadBlob(stmt, column);
      std::string text = ReadText(stmt, column);
      Date date;
      if (declared == adDBTimeStamp && Date::Parse(text, date)) return Variant(date);
      return Variant(std::move(text));
    }
    case SQLITE_BLOB:
      return ReadBlob(stmt, column);
    default:
      return Variant::Null();
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
  }
  columns_ = std::make_shared<const std::vector<ColumnInfo>>(std::move(columns));
}

ResultSet ColumnReader::ReadAll(sqlite3* db, sqlite3_stmt* stmt) const {
  ResultSet result;
  result.hasRows = !declared_.empty();
  // Room for a few rows: most statements of the classes give one or two.
  result.values.reserve(declared_.size() * 2);
  // The types of undeclared columns are settled by this run's values.
  std::vector<ColumnInfo> settled;
  if (undeclared_) settled = *columns_;
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw ErrorFromDatabase(db, rc);
    for (std::size_t i = 0; i < declared_.size(); ++i) {
      const int column = static_cast<int>(i);
      if (undeclared_ && settled[i].type == adVariant) settled[i].type = StoredType(stmt, column);
      result.values.push_back(ReadValue(stmt, column, declared_[i]));
    }
  }
  result.columns =
      undeclared_ ? std::make_shared<const std::vector<ColumnInfo>>(std::move(settled)) : columns_;
  return result;
}

}  // namespace orvo::ado::sqlite
