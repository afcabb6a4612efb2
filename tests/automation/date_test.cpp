#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "automation/error_matchers.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo {
namespace {

using Fields = std::array<int, 6>;

Fields PartsOf(Date d) {
  const Date::Parts p = d.ToParts();
  return {p.year, p.month, p.day, p.hour, p.minute, p.second};
}

// The local date and time of a clock reading, read independently of Date::Now.
Date FromLocal(std::time_t when) {
  std::tm t{};
  localtime_r(&when, &t);
  return Date::FromParts(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                         std::min(t.tm_sec, 59));
}

TEST(DateTest, SerialsOfKnownDays) {
  EXPECT_EQ(Date::FromParts(1899, 12, 30).serial, 0);
  EXPECT_EQ(Date::FromParts(1900, 1, 1).serial, 2);
  EXPECT_EQ(Date::FromParts(2000, 2, 29).serial, 36585);
  EXPECT_EQ(Date::FromParts(2026, 1, 2, 18).serial, 46024.75);
  EXPECT_EQ(Date::FromParts(100, 1, 1).serial, -657434);
  // Before day zero the day counts back but the time of day still counts forward.
  EXPECT_EQ(Date::FromParts(1899, 12, 29, 6).serial, -1.25);
  EXPECT_EQ(PartsOf(Date{-1.25}), (Fields{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(PartsOf(Date{-0.5}), (Fields{1899, 12, 30, 12, 0, 0}));
}

TEST(DateTest, PartsRoundTripAndRoundToTheSecond) {
  for (const Fields& f :
       {Fields{2024, 2, 29, 0, 0, 1}, Fields{1899, 12, 30, 0, 0, 1}, Fields{1800, 3, 1, 12, 30, 45},
        Fields{9999, 12, 31, 23, 59, 59}, Fields{100, 1, 1, 1, 2, 3}}) {
    EXPECT_EQ(PartsOf(Date::FromParts(f[0], f[1], f[2], f[3], f[4], f[5])), f);
  }
  // Just short of midnight by a rounding error is the next day.
  EXPECT_EQ(PartsOf(Date{1.0 - 1e-9}), (Fields{1899, 12, 31, 0, 0, 0}));
  EXPECT_EQ(PartsOf(Date{Date::FromParts(2026, 3, 4, 10, 20, 30).serial + 0.4 / 86400}),
            (Fields{2026, 3, 4, 10, 20, 30}));
}

TEST(DateTest, ImpossiblePartsRaise) {
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 2, 29), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 13, 1), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(2026, 1, 1, 24), 5);
  EXPECT_RUNTIME_ERROR(Date::FromParts(99, 1, 1), 5);
  EXPECT_RUNTIME_ERROR(Date{3e6}.ToParts(), 6);
  EXPECT_RUNTIME_ERROR(Date{-657435}.ToParts(), 6);
}

TEST(DateTest, InstantsNearTheEndsOfTheRangeReadBackOrRaise) {
  // The range holds after rounding to the second: an instant that rounds
  // past 9999-12-31 23:59:59 has no text, and every text given parses back.
  const double end = Date::FromParts(9999, 12, 31).serial + 1;
  const double begin = Date::FromParts(100, 1, 1).serial;
  EXPECT_RUNTIME_ERROR(Date{std::nextafter(end, 0.0)}.ToParts(), 6);
  EXPECT_RUNTIME_ERROR(Date{end - 0.4 / 86400}.ToParts(), 6);
  for (double serial : {end - 1.0 / 86400, end - 0.6 / 86400, begin, begin - 1 + 1e-9,
                        std::nextafter(begin - 1, 0.0)}) {
    const std::string text = Date{serial}.GeneralText();
    Date read;
    ASSERT_TRUE(Date::Parse(text, read)) << text;
    EXPECT_EQ(read.GeneralText(), text);
  }
}

TEST(DateTest, TextsAndParseOfTheThreeForms) {
  EXPECT_EQ(Date::FromParts(2026, 1, 2, 3, 4, 5).GeneralText(), "2026-01-02 03:04:05");
  EXPECT_EQ(Date::FromParts(987, 6, 5).ShortText(), "0987-06-05");
  Date d;
  ASSERT_TRUE(Date::Parse("2026-01-02", d));
  EXPECT_EQ(d, Date::FromParts(2026, 1, 2));
  ASSERT_TRUE(Date::Parse("2026-01-02 03:04", d));
  EXPECT_EQ(d, Date::FromParts(2026, 1, 2, 3, 4));
  ASSERT_TRUE(Date::Parse("2024-02-29T23:59:59", d));
  EXPECT_EQ(d, Date::FromParts(2024, 2, 29, 23, 59, 59));
  // Anything else is rejected and leaves the result as it was.
  for (const char* text :
       {"2026-02-30", "2025-02-29", "2026-13-01", "2026-00-10", "2026-01-00", "2026-01-02 24:00",
        "2026-01-02 10:60", "2026-01-02 10:00:60", "2026-1-2", "26-01-02", "2026/01/02",
        "2026-01-02 ", "2026-01-02T", "2026-01-02 10", "2026-01-02 10:00:", "2026-01-02 10:00:00Z",
        "", "0099-01-01", "2026-01-02x"}) {
    Date kept{7};
    EXPECT_FALSE(Date::Parse(text, kept)) << text;
    EXPECT_EQ(kept.serial, 7) << text;
  }
}

TEST(DateTest, NowAndTodayAreLocal) {
  // Bracketed by the local clock read before and after, so the check holds however slow the run.
  const Date first = FromLocal(std::time(nullptr));
  const Date now = Date::Now();
  const Date today = Date::Today();
  const Date last = FromLocal(std::time(nullptr));
  EXPECT_GE(now.serial, first.serial);
  EXPECT_LE(now.serial, last.serial);
  EXPECT_TRUE(today.serial == std::floor(first.serial) || today.serial == std::floor(last.serial));
}

}  // namespace
}  // namespace orvo
