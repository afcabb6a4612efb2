#include <string>

#include "ado/command.hpp"
#include "ado/errors.hpp"
#include "ado/utf8.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::ado {

namespace {

constexpr const char* kSource = "ADODB.Parameter";

AutomationError TooLong(std::size_t position, std::size_t length, std::int32_t size,
                        const char* unit) {
  return AutomationError(kErrValueDoesNotFit, kSource,
                         "Parameter " + std::to_string(position) + " holds " +
                             std::to_string(length) + " " + unit + ", more than its size of " +
                             std::to_string(size));
}

Date ToDate(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Date:
      return value.AsDate();
    case Variant::Kind::String: {
      Date date;
      if (!Date::Parse(value.AsString(), date)) throw RuntimeError(kTypeMismatch);
      return date;
    }
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::Double:
      return Date{CDbl(value)};
    default:
      throw RuntimeError(kTypeMismatch);
  }
}

double ToUnsignedInt(const Variant& value) {
  const double number = RoundHalfToEven(CDbl(value));
  if (!(number >= 0.0 && number <= 4294967295.0)) throw RuntimeError(kOverflow);
  return number;
}

}  // namespace

BoundValue Parameter::Bind(std::size_t position) const {
  if (Value.IsEmpty() || Value.IsNull() || Value.IsMissing()) {
    return BoundValue{Type, Variant::Null()};
  }
  switch (Type) {
    case adSmallInt:
      return BoundValue{Type, Variant(CInt(Value))};
    case adInteger:
      return BoundValue{Type, Variant(CLng(Value))};
    case adUnsignedInt:
      return BoundValue{Type, Variant(ToUnsignedInt(Value))};
    case adDouble:
      return BoundValue{Type, Variant(CDbl(Value))};
    case adDate:
    case adDBTimeStamp:
      return BoundValue{Type, Variant(ToDate(Value))};
    case adBoolean:
      return BoundValue{Type, Variant(CBool(Value))};
    case adVarChar:
    case adLongVarChar: {
      std::string text = CStr(Value);
      const std::size_t characters = CountCharacters(text);
      if (Size > 0 && characters > static_cast<std::size_t>(Size)) {
        throw TooLong(position, characters, Size, "characters");
      }
      return BoundValue{Type, Variant(std::move(text))};
    }
    case adLongVarBinary: {
      // A byte array is bound as it is, shared rather than copied.
      Variant bytes = Value.kind() == Variant::Kind::String
                          ? Variant(Bytes(Value.AsString().begin(), Value.AsString().end()))
                          : Value;
      if (bytes.kind() != Variant::Kind::Bytes) throw RuntimeError(kTypeMismatch);
      const std::size_t length = bytes.AsBytes().size();
      if (Size > 0 && length > static_cast<std::size_t>(Size)) {
        throw TooLong(position, length, Size, "bytes");
      }
      return BoundValue{Type, std::move(bytes)};
    }
    case adVariant:
      if (Value.IsObject()) throw RuntimeError(kTypeMismatch);
      return BoundValue{Type, Value};
    default:
      throw InvalidArgumentError(kSource, "Parameter " + std::to_string(position) +
                                              " has the type " + std::to_string(Type) +
                                              ", which cannot be bound to a statement");
  }
}

}  // namespace orvo::ado
