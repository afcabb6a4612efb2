// Stream: an in-memory binary stream, as the classes use it to assemble a
// picture from chunks. Chunks of one value written in their order are not
// copied: the stream shares the value's bytes and grows over each chunk.
// Other appends are amortised O(1), so a value written in many small pieces
// is assembled in linear time, and reading shares the stream's bytes instead
// of copying them.
//
// Used on one thread.

#ifndef ORVO_ADO_STREAM_HPP_
#define ORVO_ADO_STREAM_HPP_

#include <cstdint>
#include <memory>
#include <optional>

#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"

namespace orvo::ado {

struct Chunk;

class Stream : public Dispatch {
 public:
  const ClassInfo& TypeInfo() const override;

  // adTypeBinary is the only type supported; set before Open.
  std::int32_t Type = adTypeBinary;

  void Open();
  void Close();
  std::int32_t State() const { return open_ ? adStateOpen : adStateClosed; }

  // Writes at the current position, extending the stream as needed. Accepts
  // Bytes (a String writes its bytes); raises 0x800A0E78 when closed.
  void Write(const Variant& buffer);
  // Writes a chunk as Write(chunk.ToVariant()) would, without making it a
  // Variant: the next chunk of the value the stream already shares extends
  // it in place.
  void Write(const Chunk& chunk);
  // Reads `count` bytes from the position (all that remain when -1) as Bytes;
  // Null when nothing remains.
  Variant Read(std::int32_t count = -1);

  std::int64_t Position() const { return position_; }
  void SetPosition(std::int64_t position);
  std::int64_t Size() const;

 private:
  void RequireOpen() const;
  // Takes the `size` bytes of `source` from `offset` as the stream's bytes,
  // or as their continuation, without copying them, when they are written to
  // an empty stream or follow the stream's shared bytes in their buffer.
  bool Share(const Variant& source, std::size_t offset, std::size_t size);
  // Writes `bytes` at the position into bytes of the stream's own.
  void Append(ByteSpan bytes);
  // Copies shared bytes into bytes of the stream's own.
  void Own();
  // While every write has continued the one before in the same shared
  // buffer: the bytes written, shared with their writer.
  std::optional<Variant> shared_;
  std::int64_t sharedSize_ = 0;
  // Otherwise the stream's own bytes, shared with the values read from the
  // stream until the stream is written.
  std::shared_ptr<Bytes> data_;
  std::int64_t position_ = 0;
  bool open_ = false;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_STREAM_HPP_
