// ColumnsRead names the columns of a statement's rows that one of the
// library's own reads uses ("FBillId", "fname", ...: found as
// Recordset::Fields finds them, without regard to case). A statement run
// with it copies only those columns' values out of each row; the recordset
// holds nothing for the others and reading one is a fault of the reading code
// (std::logic_error). A "Select *" of a template row thus copies the four
// values its read uses, not the ten its row holds.
//
// Made once, as a constant of the read that uses it, and shared by every
// thread: each object has a number of its own, never given to another, by
// which a statement's reader remembers which of its columns are skipped.
//
// SkippedColumns is that memory, kept with a prepared statement's columns
// and used on the statement's thread.

#ifndef ORVO_ADO_COLUMNS_READ_HPP_
#define ORVO_ADO_COLUMNS_READ_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvo/ado/recordset.hpp"

namespace orvo::ado {

// The position of the column named `name` among `columns`, as
// Recordset::Fields finds it; nothing when there is none.
std::optional<std::size_t> ColumnNamed(const std::vector<ColumnInfo>& columns,
                                       std::string_view name);

class ColumnsRead {
 public:
  ColumnsRead(std::initializer_list<std::string_view> names);
  ColumnsRead(const ColumnsRead&) = delete;
  ColumnsRead& operator=(const ColumnsRead&) = delete;

  std::uint64_t Number() const { return number_; }

  // A bit for each of `columns` that no name of this read names. 0, every
  // column read, when a name is not among them (reading it raises as it
  // does without this), when the read names none, or when there are more
  // columns than bits.
  std::uint64_t SkippedOf(const std::vector<ColumnInfo>& columns) const;

 private:
  std::vector<std::string> names_;
  std::uint64_t number_;
};

class SkippedColumns {
 public:
  // What `read` skips of `columns`, the columns of the statement this is
  // kept with; 0 for no read. Worked out once for each of the last few reads.
  std::uint64_t Of(const std::vector<ColumnInfo>& columns, const ColumnsRead* read) const {
    if (read == nullptr) return 0;
    for (const auto& [number, skipped] : kept_) {
      if (number == read->Number()) return skipped;
    }
    return Remember(columns, *read);
  }

 private:
  std::uint64_t Remember(const std::vector<ColumnInfo>& columns, const ColumnsRead& read) const;

  // A statement is read by one or two reads at most; a third takes the
  // place of the oldest. Number 0 is no read's.
  static constexpr std::size_t kKept = 4;
  mutable std::array<std::pair<std::uint64_t, std::uint64_t>, kKept> kept_{};
  mutable std::size_t next_ = 0;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_COLUMNS_READ_HPP_
