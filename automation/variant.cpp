#include "orvo/automation/variant.hpp"

#include <algorithm>
#include <cstring>

#include "automation/large_buffer.hpp"
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

Variant::Variant(std::vector<std::uint8_t> v) {
  const std::size_t size = v.size();
  auto owner = std::make_shared<const std::vector<std::uint8_t>>(std::move(v));
  const std::uint8_t* first = owner->data();
  value_ = SharedBytes{std::shared_ptr<const std::uint8_t>(std::move(owner), first), 0, size};
}

Variant Variant::SharedPart(std::shared_ptr<const std::vector<std::uint8_t>> buffer,
                            std::size_t offset, std::size_t size) {
  if (!buffer || offset > buffer->size() || size > buffer->size() - offset) {
    throw RuntimeError(kSubscriptOutOfRange);
  }
  const std::uint8_t* first = buffer->data();
  return Variant(
      SharedBytes{std::shared_ptr<const std::uint8_t>(std::move(buffer), first), offset, size});
}

Variant Variant::CopyOf(ByteSpan bytes) {
  if (bytes.empty()) return Variant(Bytes());
  std::shared_ptr<std::uint8_t[]> copy =
      bytes.size() >= kLargeValue ? LargeBuffer(bytes.size())
                                  : std::make_shared_for_overwrite<std::uint8_t[]>(bytes.size());
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  const std::uint8_t* first = copy.get();
  return Variant(
      SharedBytes{std::shared_ptr<const std::uint8_t>(std::move(copy), first), 0, bytes.size()});
}

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
void Variant::ThrowTypeMismatch() {
  throw RuntimeError(kTypeMismatch);
}

void Variant::ThrowOutOfRange() {
  throw RuntimeError(kSubscriptOutOfRange);
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
