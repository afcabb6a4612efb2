#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"

namespace orvo {
namespace {

// GetSplitItem is a private routine of the update classes; the probe opens it.
struct SplitProbe : clsPrintSetupUpdate {
  using PrintSetupUpdateObject::GetSplitItem;
};

TEST(GetSplitItem, PicksThePieceAtTheIndexFromZeroAndEmptyPastTheLast) {
  const struct {
    const char* text;
    const char* separator;
    std::int16_t index;
    const char* piece;
  } cases[] = {
      {"12|34", "|", 0, "12"},   {"12|34", "|", 1, "34"}, {"28|1017|x", "|", 2, "x"},
      {"12", "|", 1, ""},        {"", "|", 0, ""},        {"12||34", "|", 1, ""},
      {"12||34", "|", 2, "34"},  {"12|", "|", 1, ""},     {"aXbxc", "x", 1, "c"},
      {"a<>b<>c", "<>", 2, "c"}, {"a|b", "", 0, "a|b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitProbe::GetSplitItem(c.text, c.separator, c.index), c.piece)
        << c.text << " " << c.separator << " " << c.index;
  }
  EXPECT_EQ(testing::ErrorOf([] { SplitProbe::GetSplitItem("12|34", "|", -1); }).number(),
            kSubscriptOutOfRange);
}

}  // namespace
}  // namespace orvo
