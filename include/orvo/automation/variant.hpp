// Variant is the value that travels through every late-bound call, every
// collection and every database field: the automation VARIANT of the classes'
// original platform, reduced to the kinds the component uses.
//
// A Variant owns its value; an Object kind shares ownership of the object it
// points to. Variants are plain values and may be copied between threads, but
// the objects they point to belong to the thread that created them.

#ifndef ORVO_AUTOMATION_VARIANT_HPP_
#define ORVO_AUTOMATION_VARIANT_HPP_

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "orvo/export.hpp"

namespace orvo {

class Dispatch;

// A read-only view of the bytes a Variant holds.
using ByteSpan = std::span<const std::uint8_t>;

// A point in time as the automation platform keeps it: days since
// 1899-12-30 00:00, the fraction being the time of day.
struct ORVO_EXPORT Date {
  double serial = 0;

  static Date FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  // The current local date and time, to the second.
  static Date Now();
  // The current local date at midnight.
  static Date Today();

  struct Parts {
    int year, month, day, hour, minute, second;
  };
  Parts ToParts() const;

  // "YYYY-MM-DD".
  std::string ShortText() const;
  // "YYYY-MM-DD HH:MM:SS".
  std::string GeneralText() const;
  // Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" or "YYYY-MM-DDTHH:MM[:SS]";
  // false when the text is none of these or names no real date.
  static bool Parse(std::string_view text, Date& out);

  friend bool operator==(const Date&, const Date&) = default;
};

class ORVO_EXPORT Variant {
 public:
  enum class Kind {
    Empty,
    Null,
    Missing,  // an omitted optional VARIANT argument
    Boolean,
    Integer,  // 16-bit
    Long,     // 32-bit
    Double,
    Date,
    String,  // UTF-8
    Bytes,
    Object,
  };

  Variant() = default;
  Variant(bool v) : value_(v) {}
  Variant(std::int16_t v) : value_(v) {}
  Variant(std::int32_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(Date v) : value_(v) {}
  Variant(std::string v) : value_(std::move(v)) {}
  Variant(std::string_view v) : value_(std::string(v)) {}
  Variant(const char* v) : value_(std::string(v)) {}
  // Takes the bytes; every copy of the Variant shares them, so a template
  // body or a picture travels through results and parameters without being
  // copied again.
  Variant(std::vector<std::uint8_t> v);
  Variant(std::shared_ptr<Dispatch> v) : value_(std::move(v)) {}
  template <class T>
  requires std::is_base_of_v<Dispatch, T> Variant(std::shared_ptr<T> v)
      : value_(std::shared_ptr<Dispatch>(std::move(v))) {}

  // `size` bytes of `buffer` from `offset`, shared with whoever else holds
  // the buffer, which must not change while a Variant shares it.
  static Variant SharedPart(std::shared_ptr<const std::vector<std::uint8_t>> buffer,
                            std::size_t offset, std::size_t size);
  // A copy of `bytes` in one allocation: what a value read from a database
  // becomes.
  static Variant CopyOf(ByteSpan bytes);
  static Variant Null() { return Variant(NullTag{}); }
  static Variant Missing() { return Variant(MissingTag{}); }

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsMissing() const { return kind() == Kind::Missing; }
  bool IsObject() const { return kind() == Kind::Object; }
  // Integer, Long or Double.
  bool IsNumber() const;

  // Direct access to a value of the matching kind; any other kind raises
  // error 13 "Type mismatch". Use the conversions for coercion.
  bool AsBoolean() const;
  std::int16_t AsInteger() const;
  std::int32_t AsLong() const;
  double AsDouble() const;
  Date AsDate() const;
  const std::string& AsString() const;
  ByteSpan AsBytes() const {
    if (const auto* bytes = std::get_if<SharedBytes>(&value_)) return bytes->View();
    ThrowTypeMismatch();
  }
  // `size` bytes of this byte array from `offset`, sharing them rather than
  // copying; raises 13 for another kind and 9 for a range past its end.
  Variant BytesSlice(std::size_t offset, std::size_t size) const {
    const auto* bytes = std::get_if<SharedBytes>(&value_);
    if (bytes == nullptr) ThrowTypeMismatch();
    if (offset > bytes->size || size > bytes->size - offset) ThrowOutOfRange();
    return Variant(SharedBytes{bytes->buffer, bytes->offset + offset, size});
  }
  // When this is a byte array and the `size` bytes of `source` from `offset`
  // follow it in the same shared buffer (as the chunks of one value do),
  // takes them into this one without copying and gives true; otherwise false
  // and unchanged. Raises 9 for a range past the end of `source`.
  bool ExtendOver(const Variant& source, std::size_t offset, std::size_t size) {
    auto* bytes = std::get_if<SharedBytes>(&value_);
    const auto* following = std::get_if<SharedBytes>(&source.value_);
    if (bytes == nullptr || following == nullptr || !bytes->buffer) return false;
    if (offset > following->size || size > following->size - offset) ThrowOutOfRange();
    // The same owner, not only adjacent addresses: two buffers may lie end
    // to end in memory.
    const bool sameBuffer = bytes->buffer.get() == following->buffer.get() &&
                            !bytes->buffer.owner_before(following->buffer) &&
                            !following->buffer.owner_before(bytes->buffer);
    if (!sameBuffer || bytes->offset + bytes->size != following->offset + offset) return false;
    bytes->size += size;
    return true;
  }
  const std::shared_ptr<Dispatch>& AsObject() const;

  // The object as T, or null when this is no object or an object of another type.
  template <class T>
  std::shared_ptr<T> ObjectAs() const {
    if (!IsObject()) return nullptr;
    return std::dynamic_pointer_cast<T>(std::get<std::shared_ptr<Dispatch>>(value_));
  }

  // The automation name of the kind ("Empty", "Long", "String", ...).
  std::string_view KindName() const;

  // Same kind and same value; objects compare by identity.
  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) = default;
  };
  struct MissingTag {
    friend bool operator==(MissingTag, MissingTag) = default;
  };
  // Bytes shared by the Variants that hold them, and the part this one holds;
  // they compare by their bytes.
  struct SharedBytes {
    // Points at the first byte of what its owner holds, and keeps the owner.
    std::shared_ptr<const std::uint8_t> buffer;
    std::size_t offset = 0;
    std::size_t size = 0;
    ByteSpan View() const { return buffer ? ByteSpan(buffer.get() + offset, size) : ByteSpan(); }
    friend bool operator==(const SharedBytes& a, const SharedBytes& b) {
      return std::ranges::equal(a.View(), b.View());
    }
  };
  [[noreturn]] static void ThrowTypeMismatch();
  [[noreturn]] static void ThrowOutOfRange();
  explicit Variant(NullTag t) : value_(t) {}
  explicit Variant(MissingTag t) : value_(t) {}
  explicit Variant(SharedBytes bytes) : value_(std::move(bytes)) {}

  // The order of the alternatives follows Kind.
  std::variant<std::monostate, NullTag, MissingTag, bool, std::int16_t, std::int32_t, double, Date,
               std::string, SharedBytes, std::shared_ptr<Dispatch>>
      value_;
};

// The byte array. The alias follows Variant because Kind::Bytes would
// otherwise shadow it (-Wshadow); inside Variant the type is spelled out.
using Bytes = std::vector<std::uint8_t>;

}  // namespace orvo

#endif  // ORVO_AUTOMATION_VARIANT_HPP_
