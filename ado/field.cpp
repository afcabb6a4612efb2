#include <algorithm>

#include "ado/chunk.hpp"
#include "ado/errors.hpp"
#include "ado/utf8.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado {

const std::string& Field::Name() const {
  return (*owner_->result_.columns)[index_].name;
}

const Variant& Field::Value() const {
  return owner_->Cell(index_, place_);
}

DataTypeEnum Field::Type() const {
  return (*owner_->result_.columns)[index_].type;
}

std::int32_t Field::ActualSize() const {
  const Variant& value = Value();
  switch (value.kind()) {
    case Variant::Kind::Bytes:
      return static_cast<std::int32_t>(value.AsBytes().size());
    case Variant::Kind::String:
      // In characters, as GetChunk reads text, so that reading a text in
      // chunks of its size's parts ends exactly at its end.
      return static_cast<std::int32_t>(CountCharacters(value.AsString()));
    case Variant::Kind::Boolean:
    case Variant::Kind::Integer:
      return 2;
    case Variant::Kind::Long:
      return 4;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return 8;
    default:
      return 0;
  }
}

Variant Field::GetChunk(std::int32_t length) {
  return BorrowChunk(length).ToVariant();
}

Chunk Field::BorrowChunk(std::int32_t length) {
  if (length < 0) {
    throw InvalidArgumentError(
        "ADODB.Field", "GetChunk needs a length of 0 or more, not " + std::to_string(length));
  }
  const Variant& value = owner_->Cell(index_, place_);
  if (owner_->chunkOffsets_.empty()) owner_->chunkOffsets_.assign(owner_->result_.ColumnCount(), 0);
  std::size_t& offset = owner_->chunkOffsets_[index_];
  const auto count = static_cast<std::size_t>(length);
  std::size_t end = 0;
  switch (value.kind()) {
    case Variant::Kind::Null:
      return {};
    case Variant::Kind::Bytes: {
      const std::size_t size = value.AsBytes().size();
      if (offset >= size) return {};
      end = offset + std::min(count, size - offset);
      break;
    }
    case Variant::Kind::String: {
      // Text is read in characters, so a piece never splits one.
      const std::string& text = value.AsString();
      if (offset >= text.size()) return {};
      end = AdvanceCharacters(text, offset, count);
      break;
    }
    default:
      throw AutomationError(kErrNotAllowedInContext, "ADODB.Field",
                            "Operation is not allowed in this context.");
  }
  const Chunk piece{&value, offset, end - offset};
  offset = end;
  return piece;
}

Variant Chunk::ToVariant() const {
  if (value == nullptr) return Variant::Null();
  if (value->kind() == Variant::Kind::String)
    return Variant(value->AsString().substr(offset, size));
  // A piece of bytes shares the value's bytes: reading a picture in small
  // chunks copies nothing.
  return value->BytesSlice(offset, size);
}

}  // namespace orvo::ado
