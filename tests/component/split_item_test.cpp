#include <gtest/gtest.h>

#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"
#include "support/error_of.hpp"

namespace orvo {
namespace {

using orvo::testing::ErrorOf;

// GetSplitItem is a private routine of the update classes; the probe opens it.
struct SplitProbe : clsPrintSetupUpdate {
  using PrintSetupUpdateObject::GetSplitItem;
};

TEST(GetSplitItem, PicksThePieceAtTheIndexFromZero) {
  EXPECT_EQ(SplitProbe::GetSplitItem("12|34", "|", 0), "12");
  EXPECT_EQ(SplitProbe::GetSplitItem("12|34", "|", 1), "34");
  EXPECT_EQ(SplitProbe::GetSplitItem("28|1017|x", "|", 2), "x");
}

TEST(GetSplitItem, PastTheLastPieceOrOnEmptyTextGivesEmpty) {
  EXPECT_EQ(SplitProbe::GetSplitItem("12", "|", 1), "");
  EXPECT_EQ(SplitProbe::GetSplitItem("", "|", 0), "");
  EXPECT_EQ(SplitProbe::GetSplitItem("12||34", "|", 1), "");
  EXPECT_EQ(SplitProbe::GetSplitItem("12||34", "|", 2), "34");
  EXPECT_EQ(SplitProbe::GetSplitItem("12|", "|", 1), "");
}

TEST(GetSplitItem, SeparatorIsMatchedExactlyAndMayBeLonger) {
  EXPECT_EQ(SplitProbe::GetSplitItem("aXbxc", "x", 1), "c");
  EXPECT_EQ(SplitProbe::GetSplitItem("a<>b<>c", "<>", 2), "c");
  EXPECT_EQ(SplitProbe::GetSplitItem("a|b", "", 0), "a|b");
}

TEST(GetSplitItem, NegativeIndexIsSubscriptOutOfRange) {
  EXPECT_EQ(ErrorOf([&] { SplitProbe::GetSplitItem("12|34", "|", -1); }).number(), 9);
}

}  // namespace
}  // namespace orvo
