// Chunk: the piece of a field's value that one read of GetChunk gives, as
// the library's own picture read takes it. It borrows the value from the
// recordset's current row instead of holding a Variant, so that reading a
// picture in a hundred thousand small pieces takes no reference and builds
// no Variant per piece; a Stream that is written the chunk takes what it
// keeps of it.
//
// A chunk is valid until its recordset moves, closes or is destroyed; use it
// at once, on the recordset's thread.

#ifndef ORVO_ADO_CHUNK_HPP_
#define ORVO_ADO_CHUNK_HPP_

#include <cstddef>

#include "orvo/automation/variant.hpp"

namespace orvo::ado {

struct Chunk {
  // The whole value the piece comes from, a byte array or a text; null when
  // the read gave Null (a Null value, or one already read to its end).
  const Variant* value = nullptr;
  // Where the piece lies in the value's bytes.
  std::size_t offset = 0;
  std::size_t size = 0;

  // What GetChunk gives for this read: Null, a byte array sharing the
  // value's bytes, or a text of its own.
  Variant ToVariant() const;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_CHUNK_HPP_
