#include "ado/stream.hpp"

#include <algorithm>

#include "ado/chunk.hpp"
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
  data_ = std::make_shared<Bytes>();
  shared_.reset();
  position_ = 0;
  open_ = true;
}

void Stream::Close() {
  RequireOpen();
  open_ = false;
  data_.reset();
  shared_.reset();
  position_ = 0;
}

namespace {

// What a stream takes of a value written to it: a byte array's bytes, or a
// text's; anything else is a type mismatch.
ByteSpan BytesOf(const Variant& buffer) {
  if (buffer.kind() == Variant::Kind::Bytes) return buffer.AsBytes();
  if (buffer.kind() == Variant::Kind::String) {
    return ByteSpan(reinterpret_cast<const std::uint8_t*>(buffer.AsString().data()),
                    buffer.AsString().size());
  }
  throw RuntimeError(kTypeMismatch);
}

}  // namespace

void Stream::Write(const Variant& buffer) {
  RequireOpen();
  const ByteSpan bytes = BytesOf(buffer);
  if (Share(buffer, 0, bytes.size())) return;
  Append(bytes);
}

void Stream::Write(const Chunk& chunk) {
  RequireOpen();
  // A read past the value's end gave Null, which a stream does not take.
  if (chunk.value == nullptr) throw RuntimeError(kTypeMismatch);
  if (Share(*chunk.value, chunk.offset, chunk.size)) return;
  Append(BytesOf(*chunk.value).subspan(chunk.offset, chunk.size));
}

void Stream::Append(ByteSpan bytes) {
  Own();
  // A value read from the stream shares its bytes; writing gives the stream
  // bytes of its own first, so what was read stays as it was.
  if (data_.use_count() > 1) data_ = std::make_shared<Bytes>(*data_);
  Bytes& data = *data_;
  const auto at = static_cast<std::size_t>(position_);
  // Overwrite what lies under the position, append the rest.
  const std::size_t overlap = std::min(bytes.size(), data.size() - at);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(overlap),
            data.begin() + static_cast<std::ptrdiff_t>(at));
  data.insert(data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(overlap), bytes.end());
  position_ += static_cast<std::int64_t>(bytes.size());
}

Variant Stream::Read(std::int32_t count) {
  RequireOpen();
  if (count < -1) {
    throw InvalidArgumentError(
        kSource, "Read needs a count of 0 or more (or -1 for all), not " + std::to_string(count));
  }
  const auto at = static_cast<std::size_t>(position_);
  const std::size_t remaining = static_cast<std::size_t>(Size()) - at;
  if (remaining == 0) return Variant::Null();
  const std::size_t take =
      count == -1 ? remaining : std::min(remaining, static_cast<std::size_t>(count));
  position_ += static_cast<std::int64_t>(take);
  if (shared_) return shared_->BytesSlice(at, take);
  return Variant::SharedPart(data_, at, take);
}

std::int64_t Stream::Size() const {
  if (shared_) return sharedSize_;
  return data_ ? static_cast<std::int64_t>(data_->size()) : 0;
}

bool Stream::Share(const Variant& source, std::size_t offset, std::size_t size) {
  if (shared_) {
    if (position_ != sharedSize_ || !shared_->ExtendOver(source, offset, size)) return false;
  } else if (source.kind() == Variant::Kind::Bytes && Size() == 0) {
    shared_ = source.BytesSlice(offset, size);
    sharedSize_ = 0;
  } else {
    return false;
  }
  sharedSize_ += static_cast<std::int64_t>(size);
  position_ = sharedSize_;
  return true;
}

void Stream::Own() {
  if (!shared_) return;
  const ByteSpan bytes = shared_->AsBytes();
  data_ = std::make_shared<Bytes>(bytes.begin(), bytes.end());
  shared_.reset();
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
