#include "orvo/automation/variant.hpp"

#include "orvo/automation/error.hpp"

namespace orvo {

namespace {

// The alternative T of a variant of the expected kind, or error 13.
template <class T, class V>
const T& Expect(const V& value) {
  if (const T* p = std::get_if<T>(&value)) return *p;
  throw RuntimeError(kTypeMismatch);
}

}  // namespace

bool Variant::IsNumber() const {
  const Kind k = kind();
  return k == Kind::Integer || k == Kind::Long || k == Kind::Double;
}

bool Variant::AsBoolean() const {
  return Expect<bool>(value_);
}
std::int16_t Variant::AsInteger() const {
  return Expect<std::int16_t>(value_);
}
std::int32_t Variant::AsLong() const {
  return Expect<std::int32_t>(value_);
}
double Variant::AsDouble() const {
  return Expect<double>(value_);
}
Date Variant::AsDate() const {
  return Expect<Date>(value_);
}
const std::string& Variant::AsString() const {
  return Expect<std::string>(value_);
}
const Bytes& Variant::AsBytes() const {
  return Expect<Bytes>(value_);
}
const std::shared_ptr<Dispatch>& Variant::AsObject() const {
  return Expect<std::shared_ptr<Dispatch>>(value_);
}

std::string_view Variant::KindName() const {
  switch (kind()) {
    case Kind::Empty:
      return "Empty";
    case Kind::Null:
      return "Null";
    case Kind::Missing:
      return "Missing";
    case Kind::Boolean:
      return "Boolean";
    case Kind::Integer:
      return "Integer";
    case Kind::Long:
      return "Long";
    case Kind::Double:
      return "Double";
    case Kind::Date:
      return "Date";
    case Kind::String:
      return "String";
    case Kind::Bytes:
      return "Byte()";
    case Kind::Object:
      return "Object";
  }
  __builtin_unreachable();  // value_ holds one of the kinds above
}

}  // namespace orvo
