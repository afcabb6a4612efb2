// Stream: an in-memory binary stream, as the classes use it to assemble a
// picture from chunks. Appends are amortised O(1), so a value written in many
// small pieces is assembled in linear time, and reading shares the stream's
// bytes instead of copying them.
//
// Used on one thread.

#ifndef ORVO_ADO_STREAM_HPP_
#define ORVO_ADO_STREAM_HPP_

#include <cstdint>
#include <memory>

#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"

namespace orvo::ado {

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
  // Reads `count` bytes from the position (all that remain when -1) as Bytes;
  // Null when nothing remains.
  Variant Read(std::int32_t count = -1);

  std::int64_t Position() const { return position_; }
  void SetPosition(std::int64_t position);
  std::int64_t Size() const { return data_ ? static_cast<std::int64_t>(data_->size()) : 0; }

 private:
  void RequireOpen() const;
  // Shared with the values read from the stream until the stream is written.
  std::shared_ptr<Bytes> data_;
  std::int64_t position_ = 0;
  bool open_ = false;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_STREAM_HPP_
