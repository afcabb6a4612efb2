#include <algorithm>

#include "ado/errors.hpp"
#include "ado/utf8.hpp"
#include "orvo/ado/recordset.hpp"

namespace orvo::ado {

const std::string& Field::Name() const {
  return (*owner_->result_.columns)[index_].name;
}

const Variant& Field::Value() const {
  return owner_->Cell(index_);
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
  if (length < 0) {
    throw InvalidArgumentError(
        "ADODB.Field", "GetChunk needs a length of 0 or more, not " + std::to_string(length));
  }
  const Variant& value = owner_->Cell(index_);
  if (owner_->chunkOffsets_.empty()) owner_->chunkOffsets_.assign(owner_->result_.ColumnCount(), 0);
  std::size_t& offset = owner_->chunkOffsets_[index_];
  const auto count = static_cast<std::size_t>(length);
  switch (value.kind()) {
    case Variant::Kind::Null:
      return Variant::Null();
    case Variant::Kind::Bytes: {
      // A piece shares the value's bytes: reading a picture in small chunks
      // copies nothing.
      const std::size_t size = value.AsBytes().size();
      if (offset >= size) return Variant::Null();
      const std::size_t take = std::min(count, size - offset);
      Variant piece = value.BytesSlice(offset, take);
      offset += take;
      return piece;
    }
    case Variant::Kind::String: {
      // Text is read in characters, so a piece never splits one.
      const std::string& text = value.AsString();
      if (offset >= text.size()) return Variant::Null();
      const std::size_t end = AdvanceCharacters(text, offset, count);
      std::string piece = text.substr(offset, end - offset);
      offset = end;
      return Variant(std::move(piece));
    }
    default:
      throw AutomationError(kErrNotAllowedInContext, "ADODB.Field",
                            "Operation is not allowed in this context.");
  }
}

}  // namespace orvo::ado
