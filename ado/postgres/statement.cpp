#include "ado/postgres/statement.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "ado/postgres/error.hpp"
#include "ado/postgres/types.hpp"
#include "orvo/ado/types.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::ado::postgres {

namespace {

// Types whose binary form the column reader reads.
bool ReadInBinary(Oid type) {
  switch (type) {
    case kBoolOid:
    case kByteaOid:
    case kCharOid:
    case kNameOid:
    case kInt8Oid:
    case kInt2Oid:
    case kInt4Oid:
    case kTextOid:
    case kOidOid:
    case kFloat4Oid:
    case kFloat8Oid:
    case kUnknownOid:
    case kBpcharOid:
    case kVarcharOid:
    case kDateOid:
    case kTimestampOid:
    case kTimestamptzOid:
      return true;
    default:
      return false;
  }
}

template <class T>
bool Fits(std::int64_t value) {
  return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// Network byte order, as the binary forms are written.
void PutBigEndian(char* out, std::uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i) {
    out[i] = static_cast<char>(value & 0xff);
    value >>= 8;
  }
}

// A date as microseconds from the server's epoch, to the second as every
// backend keeps dates.
std::int64_t ServerMicroseconds(const Date& date) {
  const Date::Parts p = date.ToParts();
  const Date day = Date::FromParts(p.year, p.month, p.day);
  const auto days = static_cast<std::int64_t>(std::llround(day.serial - kServerEpochSerial));
  const std::int64_t seconds = days * 86400 + p.hour * 3600 + p.minute * 60 + p.second;
  return seconds * 1000000;
}

// Text travels as a C string: a text with a NUL in it would be cut there.
void RefuseNul(const std::string& text) {
  if (text.find('\0') == std::string::npos) return;
  throw AutomationError(kErrValueDoesNotFit, kProvider,
                        "A text with a NUL character cannot be stored on the server");
}

std::string NumberText(double value) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

Oid TypeOf(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Boolean:
    case Variant::Kind::Long:
      return kInt4Oid;
    case Variant::Kind::Integer:
      return kInt2Oid;
    case Variant::Kind::Double:
      return kFloat8Oid;
    case Variant::Kind::Date:
      return kTimestampOid;
    case Variant::Kind::Bytes:
      return kByteaOid;
    default:
      return 0;
  }
}

Statement::Statement(Database& db, std::string name, const std::string& sql,
                     const std::vector<Oid>& types)
    : db_(db), name_(std::move(name)) {
  db_.Check(PQprepare(db_.get(), name_.c_str(), sql.c_str(), static_cast<int>(types.size()),
                      types.empty() ? nullptr : types.data()));
  try {
    description_ = db_.Check(PQdescribePrepared(db_.get(), name_.c_str()));
  } catch (...) {
    db_.Check(PQexec(db_.get(), ("DEALLOCATE " + name_).c_str()));
    throw;
  }
  const int markers = PQnparams(description_.get());
  for (int i = 0; i < markers; ++i) types_.push_back(PQparamtype(description_.get(), i));
  binaryResults_ = true;
  for (int i = 0; i < PQnfields(description_.get()); ++i) {
    binaryResults_ = binaryResults_ && ReadInBinary(PQftype(description_.get(), i));
  }
  values_.resize(types_.size());
  lengths_.resize(types_.size());
  formats_.resize(types_.size());
  numbers_.resize(types_.size());
}

Statement::~Statement() {
  // A connection that is gone took its prepared statements with it; one in a
  // failed transaction cannot deallocate now and keeps the name, which the
  // backend never gives again.
  if (db_.Lost() || PQtransactionStatus(db_.get()) == PQTRANS_INERROR) return;
  PQclear(PQexec(db_.get(), ("DEALLOCATE " + name_).c_str()));
}

void Statement::Bind(std::size_t index, const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
    case Variant::Kind::Missing:
      Set(index, nullptr, 0, 0);
      break;
    case Variant::Kind::Boolean:
      if (types_[index] == kBoolOid) {
        BindOwnedText(index, value.AsBoolean() ? "t" : "f");
      } else {
        BindInteger(index, value.AsBoolean() ? 1 : 0);
      }
      break;
    case Variant::Kind::Integer:
      BindInteger(index, value.AsInteger());
      break;
    case Variant::Kind::Long:
      BindInteger(index, value.AsLong());
      break;
    case Variant::Kind::Double:
      BindReal(index, value.AsDouble());
      break;
    case Variant::Kind::Date:
      if (types_[index] == kTimestampOid || types_[index] == kTimestamptzOid) {
        char* out = numbers_[index].data();
        PutBigEndian(out, static_cast<std::uint64_t>(ServerMicroseconds(value.AsDate())), 8);
        Set(index, out, 8, 1);
      } else {
        BindOwnedText(index, value.AsDate().GeneralText());
      }
      break;
    case Variant::Kind::String:
      BindText(index, value.AsString());
      break;
    case Variant::Kind::Bytes: {
      const ByteSpan bytes = value.AsBytes();
      BindBinary(index, bytes.data(), bytes.size());
      break;
    }
    case Variant::Kind::Object:
      throw RuntimeError(kTypeMismatch);
  }
}

void Statement::BindLifted(std::size_t index, const LiftedValue& literal) {
  switch (literal.kind) {
    case LiftedValue::Kind::Integer:
      BindInteger(index, literal.integer);
      break;
    case LiftedValue::Kind::Real:
      BindReal(index, literal.real);
      break;
    case LiftedValue::Kind::Text:
      BindOwnedText(index, std::string(literal.text));
      break;
  }
}

void Statement::BindText(std::size_t index, const std::string& text) {
  // A text meant for bytes is its bytes; read as text it would be the
  // server's escape notation.
  if (types_[index] == kByteaOid) {
    BindBinary(index, text.data(), text.size());
    return;
  }
  RefuseNul(text);
  Set(index, text.c_str(), text.size(), 0);
}

void Statement::BindOwnedText(std::size_t index, std::string text) {
  if (types_[index] == kByteaOid) {
    texts_.push_back(std::move(text));
    BindBinary(index, texts_.back().data(), texts_.back().size());
    return;
  }
  RefuseNul(text);
  texts_.push_back(std::move(text));
  Set(index, texts_.back().c_str(), texts_.back().size(), 0);
}

void Statement::BindInteger(std::size_t index, std::int64_t value) {
  const Oid type = types_[index];
  char* out = numbers_[index].data();
  if (type == kInt2Oid && Fits<std::int16_t>(value)) {
    PutBigEndian(out, static_cast<std::uint64_t>(value), 2);
    Set(index, out, 2, 1);
  } else if ((type == kInt4Oid || type == kOidOid) && Fits<std::int32_t>(value)) {
    PutBigEndian(out, static_cast<std::uint64_t>(value), 4);
    Set(index, out, 4, 1);
  } else if (type == kInt8Oid) {
    PutBigEndian(out, static_cast<std::uint64_t>(value), 8);
    Set(index, out, 8, 1);
  } else {
    // Out of the type's range, or another type: the server reads the number
    // and refuses what its type does not hold.
    BindOwnedText(index, std::to_string(value));
  }
}

void Statement::BindReal(std::size_t index, double value) {
  if (types_[index] == kFloat8Oid) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char* out = numbers_[index].data();
    PutBigEndian(out, bits, 8);
    Set(index, out, 8, 1);
    return;
  }
  // A whole-number column refuses 1.5 rather than round it, as a store with
  // declared types does.
  BindOwnedText(index, NumberText(value));
}

void Statement::BindBinary(std::size_t index, const void* data, std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw AutomationError(kErrValueDoesNotFit, kProvider,
                          "A value of more than 2 GB cannot be sent to the server");
  }
  // libpq reads a binary value by its length; an empty one still needs a
  // pointer to tell it from Null.
  static constexpr char kEmpty = 0;
  Set(index, size == 0 ? &kEmpty : static_cast<const char*>(data), size, 1);
}

void Statement::Set(std::size_t index, const char* data, std::size_t size, int format) {
  values_[index] = data;
  lengths_[index] = static_cast<int>(size);
  formats_[index] = format;
}

Result Statement::Run() {
  PGresult* raw =
      PQexecPrepared(db_.get(), name_.c_str(), static_cast<int>(values_.size()), values_.data(),
                     lengths_.data(), formats_.data(), binaryResults_ ? 1 : 0);
  // Nothing of this run's values is referenced past it.
  std::fill(values_.begin(), values_.end(), nullptr);
  texts_.clear();
  return db_.Check(raw);
}

bool Statement::Send() {
  // libpq copies the values into the message it sends.
  const int queued =
      PQsendQueryPrepared(db_.get(), name_.c_str(), static_cast<int>(values_.size()),
                          values_.data(), lengths_.data(), formats_.data(), binaryResults_ ? 1 : 0);
  std::fill(values_.begin(), values_.end(), nullptr);
  texts_.clear();
  return queued == 1;
}

}  // namespace orvo::ado::postgres
