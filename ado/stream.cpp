#include "orvo/ado/stream.hpp"

#include <algorithm>

#include "ado/errors.hpp"
#include "orvo/automation/error.hpp"

namespace orvo::ado {

namespace {
constexpr const char* kSource = "ADODB.Stream";
}

const ClassInfo& Stream::TypeInfo() const {
  static const ClassInfo info{"Stream", "", "_Stream", "", "ADODB.Stream", {}, [] {
                                return std::shared_ptr<Dispatch>(std::make_shared<Stream>());
                              }};
  return info;
}

void Stream::Open() {
  if (open_) throw ObjectOpenError(kSource);
  if (Type != adTypeBinary) {
    throw InvalidArgumentError(
        kSource, "Only binary streams (Type 1) are supported, not Type " + std::to_string(Type));
  }
  data_.clear();
  position_ = 0;
  open_ = true;
}

void Stream::Close() {
  RequireOpen();
  open_ = false;
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void Stream::Write(const Variant& buffer) {
  RequireOpen();
  const std::uint8_t* first = nullptr;
  std::size_t count = 0;
  if (buffer.kind() == Variant::Kind::Bytes) {
    first = buffer.AsBytes().data();
    count = buffer.AsBytes().size();
  } else if (buffer.kind() == Variant::Kind::String) {
    first = reinterpret_cast<const std::uint8_t*>(buffer.AsString().data());
    count = buffer.AsString().size();
  } else {
    throw RuntimeError(kTypeMismatch);
  }
  const auto at = static_cast<std::size_t>(position_);
  // Overwrite what lies under the position, append the rest.
  const std::size_t overlap = std::min(count, data_.size() - at);
  std::copy(first, first + overlap, data_.begin() + static_cast<std::ptrdiff_t>(at));
  data_.insert(data_.end(), first + overlap, first + count);
  position_ += static_cast<std::int64_t>(count);
}

Variant Stream::Read(std::int32_t count) {
  RequireOpen();
  if (count < -1) {
    throw InvalidArgumentError(
        kSource, "Read needs a count of 0 or more (or -1 for all), not " + std::to_string(count));
  }
  const auto at = static_cast<std::size_t>(position_);
  const std::size_t remaining = data_.size() - at;
  if (remaining == 0) return Variant::Null();
  const std::size_t take =
      count == -1 ? remaining : std::min(remaining, static_cast<std::size_t>(count));
  Bytes piece(data_.begin() + static_cast<std::ptrdiff_t>(at),
              data_.begin() + static_cast<std::ptrdiff_t>(at + take));
  position_ += static_cast<std::int64_t>(take);
  return Variant(std::move(piece));
}

void Stream::SetPosition(std::int64_t position) {
  RequireOpen();
  if (position < 0 || position > Size()) {
    throw InvalidArgumentError(kSource, "Position " + std::to_string(position) +
                                            " lies outside the stream of " +
                                            std::to_string(Size()) + " bytes");
  }
  position_ = position;
}

void Stream::RequireOpen() const {
  if (!open_) throw ObjectClosedError(kSource);
}

}  // namespace orvo::ado
