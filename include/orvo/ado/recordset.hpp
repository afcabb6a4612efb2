// Recordset and Field: the rows a statement returned, read in full when the
// statement ran (a client-side cursor), so a recordset stays readable after it
// is detached from its connection; the library's own reads that use only a
// first row ask for that row alone (MaxRecords). Field names are reported as
// the statement wrote them; lookups by name ignore case.
//
// A recordset and its fields are used on one thread. Field objects are light
// handles onto their recordset and read its current row.

#ifndef ORVO_ADO_RECORDSET_HPP_
#define ORVO_ADO_RECORDSET_HPP_

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvo/ado/types.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/export.hpp"

namespace orvo::ado {

class Connection;
class Recordset;
struct Chunk;

// The first eight bytes of a name with ASCII letters in lower case, packed
// into one number: two names of one size whose keys differ are different
// names whatever their case, so a field asked for by name is looked for
// among the columns' keys first. The eight bytes are lowered at once: a
// byte's high bit is set where it is an ASCII capital, then moved to the
// bit that makes it small.
inline std::uint64_t NameKey(std::string_view name) {
  std::uint64_t bytes = 0;
  // An empty view may point nowhere, which memcpy must not be given.
  if (!name.empty()) std::memcpy(&bytes, name.data(), name.size() < 8 ? name.size() : 8);
  constexpr std::uint64_t kEach = 0x0101010101010101u;
  const std::uint64_t low = bytes & (0x7F * kEach);  // no carry crosses a byte below
  const std::uint64_t aboveZ = low + (0x7F - 'Z') * kEach;
  const std::uint64_t fromA = low + (0x80 - 'A') * kEach;
  const std::uint64_t capitals = (fromA ^ aboveZ) & ~bytes & (0x80 * kEach);
  return bytes | (capitals >> 2);
}

// A column as the backend described it.
struct ColumnInfo {
  ColumnInfo(std::string columnName, DataTypeEnum columnType)
      : name(std::move(columnName)), type(columnType), key(NameKey(name)) {}

  std::string name;
  DataTypeEnum type = adVariant;
  std::uint64_t key;  // NameKey(name)
};

// What a statement gave back: its columns (shared by every run of one
// statement) and every row, one value per column read, row after row. A
// statement that returns no rows has `hasRows` false.
struct ResultSet {
  bool hasRows = false;
  std::shared_ptr<const std::vector<ColumnInfo>> columns;
  std::vector<Variant> values;
  // Set by a backend that keeps the texts of date columns as it read them: a
  // Recordset reads such a text as a date when a caller first asks for it, so
  // the columns of a row no caller reads cost no parse.
  bool datesAsText = false;
  // A bit for each column whose values the read that ran the statement left
  // out (ColumnsRead): `values` holds nothing for them, so a row of a
  // "select *" costs only the values its read uses, and they cannot be read.
  // Never every column: a read names at least one.
  std::uint64_t skipped = 0;

  bool Skipped(std::size_t column) const { return skipped != 0 && ((skipped >> column) & 1) != 0; }
  std::size_t ColumnCount() const { return columns ? columns->size() : 0; }
  // How many values a row holds.
  std::size_t Stride() const {
    return ColumnCount() - static_cast<std::size_t>(std::popcount(skipped));
  }
  // Where the value of `column`, one not skipped, stands in its row.
  std::size_t Place(std::size_t column) const {
    if (skipped == 0) return column;
    return column -
           static_cast<std::size_t>(std::popcount(skipped & ((std::uint64_t{1} << column) - 1)));
  }
};

class ORVO_EXPORT Field {
 public:
  const std::string& Name() const;
  // The value in the current row; raises 0x800A0BCD at EOF.
  const Variant& Value() const;
  DataTypeEnum Type() const;
  // Bytes of a binary value, characters of a text, 0 for Null.
  std::int32_t ActualSize() const;
  // The next `length` bytes of the current row's binary (or text) value,
  // continuing where the previous call stopped; Null once the value is
  // exhausted. Moving to another row starts again at the beginning.
  Variant GetChunk(std::int32_t length);
  // The same read, the piece borrowed from the row rather than made a
  // Variant: the library's own picture read writes it into a Stream at once.
  ORVO_INTERNAL Chunk BorrowChunk(std::int32_t length);

 private:
  friend class Recordset;
  Field(Recordset* owner, std::size_t index, std::size_t place)
      : owner_(owner), index_(index), place_(place) {}

  Recordset* owner_;
  std::size_t index_;
  std::size_t place_;  // where the value stands in a row (ResultSet::Place)
};

class ORVO_EXPORT Recordset : public Dispatch {
 public:
  Recordset() = default;
  ORVO_INTERNAL explicit Recordset(ResultSet result);
  // The library's own reads keep their rows by value, moved from where they
  // were read; a field reads the recordset it was taken from, so fields are
  // taken once the rows stand where they are read.
  Recordset(Recordset&&) noexcept = default;
  Recordset& operator=(Recordset&&) noexcept = default;
  const ClassInfo& TypeInfo() const override;

  // Properties set before Open; kept as given (the whole result is always read).
  std::int32_t CursorLocation = adUseClient;
  std::int32_t LockType = adLockUnspecified;

  // Runs `source` on the connection and takes its rows.
  void Open(std::string_view source, const std::shared_ptr<Connection>& activeConnection,
            std::int32_t cursorType = adOpenUnspecified, std::int32_t lockType = adLockUnspecified,
            std::int32_t options = -1);
  void Close();
  std::int32_t State() const { return open_ ? adStateOpen : adStateClosed; }

  // Null after detaching; detaching keeps every row readable.
  const std::shared_ptr<Connection>& ActiveConnection() const { return connection_; }
  void SetActiveConnection(std::shared_ptr<Connection> connection) {
    connection_ = std::move(connection);
  }

  // The cursor is past the last row (ADO's EOF, a macro name in C++).
  // These raise 0x800A0E78 on a closed recordset.
  bool Eof() const;
  bool BOF() const;
  void MoveNext();
  void MoveFirst();
  std::int32_t RecordCount() const;

  std::int32_t FieldCount() const;
  // By position from 0, or by name without regard to case; raises 0x800A0CC1
  // "Item cannot be found in the collection..." when there is no such field.
  Field Fields(std::int32_t index);
  Field Fields(std::string_view name);

 private:
  friend class Field;
  void RequireOpen() const;
  // A field of `column`.
  Field FieldOf(std::size_t column);
  // The current row's value of a column, the value standing at `place` in
  // its row; inline, as reading a picture in chunks asks for it once a chunk.
  const Variant& Cell(std::size_t column, std::size_t place) {
    if (result_.Skipped(column)) NotRead(column);
    const std::size_t at = row_ * stride_ + place;
    if (!open_ || at >= result_.values.size()) NoCell();
    Variant& value = result_.values[at];
    if (result_.datesAsText && value.kind() == Variant::Kind::String) SettleDate(column, value);
    return value;
  }
  // Raises what Cell raises when there is no current row.
  [[noreturn]] void NoCell() const;
  // Raises std::logic_error: the library's read that ran the statement left
  // the column out, and a read of it is a fault of that read.
  [[noreturn]] void NotRead(std::size_t column) const;
  // Makes `value`, a text of `column`, the date it writes when the column
  // holds dates and the text is one.
  void SettleDate(std::size_t column, Variant& value) const;

  // Counts what result_ holds and puts the cursor on its first row.
  void Settle();

  ResultSet result_;
  // Counted once, as every move and every value asks for them.
  std::size_t stride_ = 0;  // result_.Stride()
  std::size_t rows_ = 0;    // rows in result_.values
  std::size_t row_ = 0;
  bool open_ = false;
  std::shared_ptr<Connection> connection_;
  // Per column, how far GetChunk has read in the current row; empty until
  // the row's first GetChunk.
  std::vector<std::size_t> chunkOffsets_;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_RECORDSET_HPP_
