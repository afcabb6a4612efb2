#include "tools/orvoprint/json_codec.hpp"

#include <array>
#include <cmath>
#include <stdexcept>

#include "orvo/host/collections.hpp"

namespace orvoprint {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Digit(char c) {
  const std::size_t at = kAlphabet.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

OrderedJson Tagged(const char* tag, OrderedJson value) {
  OrderedJson object = OrderedJson::object();
  object[tag] = std::move(value);
  return object;
}

}  // namespace

std::string Base64Encode(orvo::ByteSpan bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) text += kAlphabet[(n >> shift) & 63];
  }
  if (i < bytes.size()) {
    std::uint32_t n = static_cast<std::uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    text += kAlphabet[(n >> 18) & 63];
    text += kAlphabet[(n >> 12) & 63];
    text += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

orvo::Bytes Base64Decode(std::string_view text) {
  if (text.size() % 4 != 0)
    throw std::invalid_argument("base64 text of a length not divisible by 4");
  orvo::Bytes bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    std::array<int, 4> d{};
    int padding = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      const bool last_group = i + 4 == text.size();
      if (c == '=' && last_group && k >= 2 && (k == 3 || text[i + 3] == '=')) {
        d[k] = 0;
        ++padding;
      } else if ((d[k] = Base64Digit(c)) < 0) {
        throw std::invalid_argument("a character that is not base64: '" + std::string(1, c) + "'");
      }
    }
    const std::uint32_t n = static_cast<std::uint32_t>(d[0] << 18 | d[1] << 12 | d[2] << 6 | d[3]);
    bytes.push_back(static_cast<std::uint8_t>(n >> 16));
    if (padding < 2) bytes.push_back(static_cast<std::uint8_t>(n >> 8));
    if (padding < 1) bytes.push_back(static_cast<std::uint8_t>(n));
  }
  return bytes;
}

OrderedJson ToJson(const orvo::Variant& value) {
  using Kind = orvo::Variant::Kind;
  switch (value.kind()) {
    case Kind::Empty:
    case Kind::Missing:
      return Tagged("$empty", true);
    case Kind::Null:
      return nullptr;
    case Kind::Boolean:
      return value.AsBoolean();
    case Kind::Integer:
      return value.AsInteger();
    case Kind::Long:
      return value.AsLong();
    case Kind::Double:
      return value.AsDouble();
    case Kind::Date: {
      std::string text = value.AsDate().GeneralText();
      text[10] = 'T';
      return Tagged("$date", text);
    }
    case Kind::String:
      return value.AsString();
    case Kind::Bytes:
      return Tagged("$binary", Base64Encode(value.AsBytes()));
    case Kind::Object:
      break;
  }
  if (auto dictionary = value.ObjectAs<orvo::Dictionary>()) {
    // Appended without a lookup: an ordered object finds a key by walking its
    // entries, which would make printing quadratic in the entries, and a
    // Dictionary's keys are unique already.
    OrderedJson object = OrderedJson::object();
    auto& entries = object.get_ref<OrderedJson::object_t&>();
    entries.reserve(dictionary->Entries().size());
    for (const auto& [key, item] : dictionary->Entries()) entries.emplace_back(key, ToJson(item));
    return object;
  }
  if (auto vector = value.ObjectAs<orvo::Vector>()) {
    OrderedJson array = OrderedJson::array();
    for (const orvo::Variant& item : vector->Items()) array.push_back(ToJson(item));
    return array;
  }
  return Tagged("$object", value.AsObject()->TypeInfo().name);
}

namespace {

// `json` as a Variant, `depth` being the number of arrays and objects around it.
orvo::Variant FromJsonAt(const OrderedJson& json, int depth) {
  if (json.is_structured() && depth >= kMaxJsonDepth) {
    throw std::invalid_argument("arrays and objects nest deeper than " +
                                std::to_string(kMaxJsonDepth) + " levels");
  }
  switch (json.type()) {
    case OrderedJson::value_t::null:
      return orvo::Variant::Null();
    case OrderedJson::value_t::boolean:
      return orvo::Variant(json.get<bool>());
    case OrderedJson::value_t::number_integer: {
      const auto number = json.get<std::int64_t>();
      if (number >= INT32_MIN && number <= INT32_MAX) {
        return orvo::Variant(static_cast<std::int32_t>(number));
      }
      return orvo::Variant(static_cast<double>(number));
    }
    case OrderedJson::value_t::number_unsigned: {
      // Read unsigned: a number past the signed 64-bit range must not wrap.
      const auto number = json.get<std::uint64_t>();
      if (number <= INT32_MAX) return orvo::Variant(static_cast<std::int32_t>(number));
      return orvo::Variant(static_cast<double>(number));
    }
    case OrderedJson::value_t::number_float: {
      const auto number = json.get<double>();
      if (!std::isfinite(number)) throw std::invalid_argument("numbers must be finite");
      return orvo::Variant(number);
    }
    case OrderedJson::value_t::string:
      return orvo::Variant(json.get<std::string>());
    case OrderedJson::value_t::array: {
      auto vector = std::make_shared<orvo::Vector>();
      for (const OrderedJson& item : json) vector->Add(FromJsonAt(item, depth + 1));
      return orvo::Variant(vector);
    }
    case OrderedJson::value_t::object:
      break;
    default:
      throw std::invalid_argument("a JSON value that has no Variant form");
  }
  if (json.size() == 1) {
    // Through the object's own iterator: a key read through items() points
    // into a proxy that is gone by the next statement.
    const auto first = json.begin();
    const std::string& tag = first.key();
    const OrderedJson& inner = first.value();
    if (tag == "$empty") {
      if (!inner.is_boolean() || !inner.get<bool>()) {
        throw std::invalid_argument("$empty must hold true");
      }
      return orvo::Variant();
    }
    if (tag == "$binary") {
      if (!inner.is_string()) throw std::invalid_argument("$binary must hold a base64 text");
      return orvo::Variant(Base64Decode(inner.get<std::string>()));
    }
    if (tag == "$date") {
      orvo::Date date;
      if (!inner.is_string() || !orvo::Date::Parse(inner.get<std::string>(), date)) {
        throw std::invalid_argument("$date must hold a text YYYY-MM-DDTHH:MM:SS");
      }
      return orvo::Variant(date);
    }
  }
  auto dictionary = std::make_shared<orvo::Dictionary>();
  for (const auto& item : json.items()) {
    dictionary->SetValue(item.key(), FromJsonAt(item.value(), depth + 1));
  }
  return orvo::Variant(dictionary);
}

}  // namespace

orvo::Variant FromJson(const OrderedJson& json) {
  return FromJsonAt(json, 0);
}

}  // namespace orvoprint
