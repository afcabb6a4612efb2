#include <gtest/gtest.h>

#include <ctime>

#include "automation/error_matchers.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo {
namespace {

void ExpectParts(Date d, int y, int mo, int da, int h, int mi, int s) {
  const Date::Parts p = d.ToParts();
  EXPECT_EQ(p.year, y);
  EXPECT_EQ(p.month, mo);
  EXPECT_EQ(p.day, da);
  EXPECT_EQ(p.hour, h);
  EXPECT_EQ(p.minute, mi);
  EXPECT_EQ(p.second, s);
}

TEST(DateTest, SerialsOfKnownDays) {
  EXPECT_EQ(Date::FromParts(1899, 12, 30).serial, 0);
  EXPECT_EQ(Date::FromParts(1900, 1, 1).serial, 2);
  EXPECT_EQ(Date::FromParts(1970, 1, 1).serial, 25569);
  EXPECT_EQ(Date::FromParts(2000, 2, 29).serial, 36585);
  EXPECT_EQ(Date::FromParts(2026, 1, 2, 18).serial, 46024.75);
}

TEST(DateTest, NegativeSerialsCountTheTimeForward) {
  EXPECT_EQ(Date::FromParts(1899, 12, 29, 6).serial, -1.25);
  ExpectParts(Date{-1.25}, 1899, 12, 29, 6, 0, 0);
  ExpectParts(Date{-0.5}, 1899, 12, 30, 12, 0, 0);
  EXPECT_EQ(Date::FromParts(100, 1, 1).serial, -657434);
}

TEST(DateTest, PartsRoundTrip) {
  const int cases[][6] = {{2026, 2, 28, 23, 59, 59},  {2024, 2, 29, 0, 0, 1},
                          {1899, 12, 30, 0, 0, 1},    {1800, 3, 1, 12, 30, 45},
                          {9999, 12, 31, 23, 59, 59}, {100, 1, 1, 1, 2, 3}};
  for (const auto& c : cases) {
    ExpectParts(Date::FromParts(c[0], c[1], c[2], c[3], c[4], c[5]), c[0], c[1], c[2], c[3], c[4],
                c[5]);
  }
}

TEST(DateTest, PartsRoundToTheSecond) {
  // Just short of midnight by a rounding error is the next day.
  ExpectParts(Date{1.0 - 1e-9}, 1899, 12, 31, 0, 0, 0);
  ExpectParts(Date{Date::FromParts(2026, 3, 4, 10, 20, 30).serial + 0.4 / 86400}, 2026, 3, 4, 10,
              20, 30);
}

TEST(DateTest, ImpossiblePartsRaise) {
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 2, 29), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 13, 1), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 1, 1, 24), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(99, 1, 1), 5);
  EXPECT_RUNTIME_ERROR(Date{3e6}.ToParts(), 6);
  EXPECT_RUNTIME_ERROR(Date{-657435}.ToParts(), 6);
}

TEST(DateTest, Texts) {
  const Date d = Date::FromParts(2026, 1, 2, 3, 4, 5);
  EXPECT_EQ(d.ShortText(), "2026-01-02");
  EXPECT_EQ(d.GeneralText(), "2026-01-02 03:04:05");
  EXPECT_EQ(Date::FromParts(987, 6, 5).ShortText(), "0987-06-05");
}

TEST(DateTest, ParseAcceptsTheThreeForms) {
  Date d;
  ASSERT_TRUE(Date::Parse("2026-01-02", d));
  EXPECT_EQ(d, Date::FromParts(2026, 1, 2));
  ASSERT_TRUE(Date::Parse("2026-01-02 03:04", d));
  EXPECT_EQ(d, Date::FromParts(2026, 1, 2, 3, 4));
  ASSERT_TRUE(Date::Parse("2026-01-02 03:04:05", d));
  EXPECT_EQ(d, Date::FromParts(2026, 1, 2, 3, 4, 5));
  ASSERT_TRUE(Date::Parse("2024-02-29T23:59:59", d));
  EXPECT_EQ(d, Date::FromParts(2024, 2, 29, 23, 59, 59));
}

TEST(DateTest, ParseRejectsOtherTextsAndLeavesTheResult) {
  const char* bad[] = {"2026-02-30",
                       "2025-02-29",
                       "2026-13-01",
                       "2026-00-10",
                       "2026-01-00",
                       "2026-01-02 24:00",
                       "2026-01-02 10:60",
                       "2026-01-02 10:00:60",
                       "2026-1-2",
                       "26-01-02",
                       "2026/01/02",
                       "2026-01-02 ",
                       "2026-01-02T",
                       "2026-01-02 10",
                       "2026-01-02 10:00:",
                       "2026-01-02 10:00:00Z",
                       "",
                       "0099-01-01",
                       "2026-01-02x"};
  for (const char* text : bad) {
    Date d{7};
    EXPECT_FALSE(Date::Parse(text, d)) << text;
    EXPECT_EQ(d.serial, 7) << text;
  }
}

TEST(DateTest, NowAndTodayAreLocal) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ASSERT_NE(localtime_r(&now, &local), nullptr);
  const Date today = Date::Today();
  const Date::Parts p = today.ToParts();
  // A test run across midnight may see the next day; anything else is wrong.
  const Date expected = Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  EXPECT_TRUE(today == expected || today.serial == expected.serial + 1);
  EXPECT_EQ(p.hour + p.minute + p.second, 0);

  const double diff =
      Date::Now().serial - Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                           local.tm_hour, local.tm_min, local.tm_sec % 60)
                               .serial;
  EXPECT_GE(diff, 0);
  EXPECT_LT(diff, 5.0 / 86400);
}

}  // namespace
}  // namespace orvo
