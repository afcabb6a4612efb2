#include "families/print_data.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace orvo::families {
namespace {

TEST(EntryKeyTest, NamesAnEntryByKeyAndTemplateIdWhateverTheirSigns) {
  EXPECT_EQ(EntryKey(3, 17).Text(), "3|17");
  EXPECT_EQ(EntryKey(0, -1).Text(), "0|-1");
  constexpr std::int32_t kLeast = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(EntryKey(kLeast, kLeast).Text(), "-2147483648|-2147483648");
  EXPECT_EQ(EntryKey(kMost, kLeast).Text(), "2147483647|-2147483648");
}

}  // namespace
}  // namespace orvo::families
