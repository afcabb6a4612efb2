#include <gtest/gtest.h>

#include "component/sql_text.hpp"

namespace orvo::component {
namespace {

TEST(QuotesDoubled, LeavesTextWithoutQuotesAsItIsAndDoublesEveryQuote) {
  EXPECT_EQ(QuotesDoubled("Invoice 2"), "Invoice 2");
  EXPECT_EQ(QuotesDoubled(""), "");
  EXPECT_EQ(QuotesDoubled("O'Brien"), "O''Brien");
  EXPECT_EQ(QuotesDoubled("'';--"), "'''';--");
  EXPECT_EQ(QuotesDoubled("发票'甲"), "发票''甲");
}

}  // namespace
}  // namespace orvo::component
