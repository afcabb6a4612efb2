#include "ado/postgres/column_reader.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "ado/postgres/types.hpp"

namespace orvo::ado::postgres {

namespace {

DataTypeEnum TypeOf(Oid type) {
  switch (type) {
    case kBoolOid:
      return adBoolean;
    case kInt2Oid:
      return adSmallInt;
    case kInt4Oid:
    case kOidOid:
      return adInteger;
    case kInt8Oid:
      return adBigInt;
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
      return adDouble;
    case kByteaOid:
      return adLongVarBinary;
    case kDateOid:
    case kTimestampOid:
    case kTimestamptzOid:
      return adDBTimeStamp;
    default:
      return adVarChar;
  }
}

std::uint64_t BigEndian(const char* in, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(in[i]);
  return value;
}

Variant WholeNumber(std::int64_t value) {
  if (value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max()) {
    return Variant(static_cast<std::int32_t>(value));
  }
  return Variant(static_cast<double>(value));
}

// The automation platform's dates count days from 1899-12-30; before it, the
// time of day counts away from zero as the days do.
Variant DateOf(std::int64_t days, std::int64_t seconds) {
  const double day = kServerEpochSerial + static_cast<double>(days);
  const double time = static_cast<double>(seconds) / 86400.0;
  return Variant(Date{day >= 0 ? day + time : day - time});
}

Variant TimestampOf(std::int64_t microseconds) {
  // +-infinity has no date; it reads as the server writes it.
  if (microseconds == std::numeric_limits<std::int64_t>::max())
    return Variant(std::string("infinity"));
  if (microseconds == std::numeric_limits<std::int64_t>::min())
    return Variant(std::string("-infinity"));
  const auto perDay = static_cast<std::int64_t>(kMicrosecondsPerDay);
  std::int64_t days = microseconds / perDay;
  std::int64_t rest = microseconds % perDay;
  if (rest < 0) {
    rest += perDay;
    --days;
  }
  std::int64_t seconds = (rest + 500000) / 1000000;
  if (seconds == 86400) {
    seconds = 0;
    ++days;
  }
  return DateOf(days, seconds);
}

Variant ReadBinary(Oid type, const char* data, int length) {
  switch (type) {
    case kBoolOid:
      return Variant(length > 0 && data[0] != 0);
    case kInt2Oid:
      return Variant(static_cast<std::int16_t>(BigEndian(data, 2)));
    case kInt4Oid:
      return Variant(static_cast<std::int32_t>(BigEndian(data, 4)));
    case kOidOid:
      return WholeNumber(static_cast<std::int64_t>(BigEndian(data, 4)));
    case kInt8Oid:
      return WholeNumber(static_cast<std::int64_t>(BigEndian(data, 8)));
    case kFloat4Oid: {
      const auto bits = static_cast<std::uint32_t>(BigEndian(data, 4));
      float value = 0;
      std::memcpy(&value, &bits, sizeof value);
      return Variant(static_cast<double>(value));
    }
    case kFloat8Oid: {
      const std::uint64_t bits = BigEndian(data, 8);
      double value = 0;
      std::memcpy(&value, &bits, sizeof value);
      return Variant(value);
    }
    case kByteaOid:
      return Variant::CopyOf(
          ByteSpan(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(length)));
    case kDateOid: {
      const auto days = static_cast<std::int32_t>(BigEndian(data, 4));
      if (days == std::numeric_limits<std::int32_t>::max()) return Variant(std::string("infinity"));
      if (days == std::numeric_limits<std::int32_t>::min())
        return Variant(std::string("-infinity"));
      return DateOf(days, 0);
    }
    case kTimestampOid:
    case kTimestamptzOid:
      return TimestampOf(static_cast<std::int64_t>(BigEndian(data, 8)));
    default:
      return Variant(std::string(data, static_cast<std::size_t>(length)));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A bytea in the server's hex text form, "\x0a1b...".
Variant HexBytes(std::string_view text) {
  Bytes bytes;
  if (text.starts_with("\\x")) {
    bytes.reserve((text.size() - 2) / 2);
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
      bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
    }
  }
  return Variant(std::move(bytes));
}

Variant ReadText(Oid type, std::string_view text) {
  switch (type) {
    case kBoolOid:
      return Variant(text == "t");
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid: {
      std::int64_t value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return type == kInt2Oid ? Variant(static_cast<std::int16_t>(value)) : WholeNumber(value);
    }
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid:
      // strtod reads NaN and Infinity as the server writes them.
      return Variant(std::strtod(std::string(text).c_str(), nullptr));
    case kByteaOid:
      return HexBytes(text);
    case kDateOid:
    case kTimestampOid:
    case kTimestamptzOid: {
      Date date;
      if (Date::Parse(text.substr(0, 19), date)) return Variant(date);
      return Variant(std::string(text));
    }
    default:
      return Variant(std::string(text));
  }
}

}  // namespace

ColumnReader::ColumnReader(const PGresult* description, std::vector<std::string> names) {
  std::vector<ColumnInfo> columns;
  for (int i = 0; i < PQnfields(description); ++i) {
    const Oid type = PQftype(description, i);
    types_.push_back(type);
    columns.push_back(ColumnInfo{std::move(names[static_cast<std::size_t>(i)]), TypeOf(type)});
  }
  columns_ = std::make_shared<const std::vector<ColumnInfo>>(std::move(columns));
}

ResultSet ColumnReader::ReadAll(const PGresult* result, std::size_t maxRecords,
                                const ColumnsRead* read) const {
  ResultSet set;
  set.hasRows = !types_.empty();
  set.columns = columns_;
  if (types_.empty()) return set;
  set.skipped = skipped_.Of(*columns_, read);
  int rows = PQntuples(result);
  if (maxRecords != 0 && maxRecords < static_cast<std::size_t>(rows)) {
    rows = static_cast<int>(maxRecords);
  }
  const bool binary = PQbinaryTuples(result) != 0;
  set.values.reserve(static_cast<std::size_t>(rows) * set.Stride());
  for (int row = 0; row < rows; ++row) {
    for (std::size_t i = 0; i < types_.size(); ++i) {
      if (set.Skipped(i)) continue;
      const int column = static_cast<int>(i);
      if (PQgetisnull(result, row, column) != 0) {
        set.values.push_back(Variant::Null());
        continue;
      }
      const char* data = PQgetvalue(result, row, column);
      const int length = PQgetlength(result, row, column);
      set.values.push_back(binary ? ReadBinary(types_[i], data, length)
                                  : ReadText(types_[i], std::string_view(data, length)));
    }
  }
  return set;
}

}  // namespace orvo::ado::postgres
