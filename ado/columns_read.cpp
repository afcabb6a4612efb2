#include "ado/columns_read.hpp"

#include <atomic>
#include <limits>

#include "automation/ascii.hpp"

namespace orvo::ado {

namespace {

std::uint64_t NextNumber() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

std::optional<std::size_t> ColumnNamed(const std::vector<ColumnInfo>& columns,
                                       std::string_view name) {
  const std::uint64_t key = NameKey(name);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnInfo& column = columns[i];
    if (column.key != key || column.name.size() != name.size()) continue;
    // The keys held the first eight bytes; only a longer name has more to compare.
    if (name.size() <= 8 ||
        ascii::EqualsIgnoreCase(std::string_view(column.name).substr(8), name.substr(8))) {
      return i;
    }
  }
  return std::nullopt;
}

ColumnsRead::ColumnsRead(std::initializer_list<std::string_view> names)
    : names_(names.begin(), names.end()), number_(NextNumber()) {}

std::uint64_t ColumnsRead::SkippedOf(const std::vector<ColumnInfo>& columns) const {
  if (names_.empty() || columns.size() > std::numeric_limits<std::uint64_t>::digits) return 0;
  std::uint64_t read = 0;
  for (const std::string& name : names_) {
    const std::optional<std::size_t> column = ColumnNamed(columns, name);
    if (!column) return 0;
    read |= std::uint64_t{1} << *column;
  }
  const std::uint64_t all = columns.size() == std::numeric_limits<std::uint64_t>::digits
                                ? ~std::uint64_t{0}
                                : (std::uint64_t{1} << columns.size()) - 1;
  return all & ~read;
}

std::uint64_t SkippedColumns::Remember(const std::vector<ColumnInfo>& columns,
                                       const ColumnsRead& read) const {
  const std::uint64_t skipped = read.SkippedOf(columns);
  kept_[next_] = {read.Number(), skipped};
  next_ = (next_ + 1) % kKept;
  return skipped;
}

}  // namespace orvo::ado
