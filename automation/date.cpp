// Dates are OLE serials: the whole part counts days from 1899-12-30 and the
// fraction is the time of day. For days before 1899-12-30 the serial is
// negative, but the fraction still counts the time forward from midnight:
// -1.25 is 1899-12-29 06:00. Years 100 to 9999 are the range the platform
// keeps; serials outside it raise Overflow.

#include <cmath>
#include <cstdio>
#include <ctime>

#include "automation/ascii.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/automation/variant.hpp"

namespace orvo {

namespace {

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
constexpr long long kSecondsPerDay = 86400;
// Serial of 1970-01-01, the epoch of the civil-day arithmetic below.
constexpr long long kUnixEpochSerial = 25569;
// Serials of 0100-01-01 and of the day after 9999-12-31.
constexpr double kMinSerialDay = -657434;
constexpr double kEndSerialDay = 2958466;

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  long long year, month, day;
};

constexpr Civil CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  return {era * 400 + yoe + (m <= 2 ? 1 : 0), m, d};
}

static_assert(DaysFromCivil(1899, 12, 30) == -kUnixEpochSerial);
static_assert(CivilFromDays(-kUnixEpochSerial).year == 1899);

constexpr bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int DaysInMonth(int y, int m) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool ValidParts(int year, int month, int day, int hour, int minute, int second) {
  return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
         minute <= 59 && second >= 0 && second <= 59;
}

Date FromLocalTime(bool withTime) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) {
    throw RuntimeError(kInvalidProcedureCall, "The local time is not available");
  }
  // A leap second (60) is kept as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return withTime ? Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                    local.tm_hour, local.tm_min, second)
                  : Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

// Reads exactly `count` digits at `pos`, advancing it.
bool ReadDigits(std::string_view text, std::size_t& pos, std::size_t count, int& out) {
  if (pos + count > text.size()) return false;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[pos + i];
    if (!ascii::IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  out = value;
  return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

Date Date::FromParts(int year, int month, int day, int hour, int minute, int second) {
  if (!ValidParts(year, month, day, hour, minute, second)) {
    throw RuntimeError(kInvalidProcedureCall, "Invalid date or time: " + std::to_string(year) +
                                                  "-" + std::to_string(month) + "-" +
                                                  std::to_string(day) + " " + std::to_string(hour) +
                                                  ":" + std::to_string(minute) + ":" +
                                                  std::to_string(second));
  }
  const double days = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochSerial);
  const double time =
      static_cast<double>(hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
  return Date{days >= 0 ? days + time : days - time};
}

Date Date::Now() {
  return FromLocalTime(true);
}

Date Date::Today() {
  return FromLocalTime(false);
}

Date::Parts Date::ToParts() const {
  // A first, coarse check keeps the arithmetic below within its types.
  if (!std::isfinite(serial) || serial <= kMinSerialDay - 1 || serial >= kEndSerialDay) {
    throw RuntimeError(kOverflow);
  }
  const double whole = std::trunc(serial);
  long long days = static_cast<long long>(whole);
  // Rounded to the second so that 23:59:59.9999 reads as the next midnight.
  long long seconds = std::llround(std::fabs(serial - whole) * static_cast<double>(kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    days += 1;
  }
  // The range holds for the instant as it is read, after rounding: one that
  // rounds into the year 10000 has no text that could be read back.
  if (days >= static_cast<long long>(kEndSerialDay)) throw RuntimeError(kOverflow);
  const Civil civil = CivilFromDays(days - kUnixEpochSerial);
  return Parts{static_cast<int>(civil.year),        static_cast<int>(civil.month),
               static_cast<int>(civil.day),         static_cast<int>(seconds / 3600),
               static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

std::string Date::ShortText() const {
  const Parts p = ToParts();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buffer;
}

std::string Date::GeneralText() const {
  const Parts p = ToParts();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                p.hour, p.minute, p.second);
  return buffer;
}

bool Date::Parse(std::string_view text, Date& out) {
  std::size_t pos = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!ReadDigits(text, pos, 4, year) || !Expect(text, pos, '-') ||
      !ReadDigits(text, pos, 2, month) || !Expect(text, pos, '-') ||
      !ReadDigits(text, pos, 2, day)) {
    return false;
  }
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return false;
    ++pos;
    if (!ReadDigits(text, pos, 2, hour) || !Expect(text, pos, ':') ||
        !ReadDigits(text, pos, 2, minute)) {
      return false;
    }
    if (pos < text.size() && (!Expect(text, pos, ':') || !ReadDigits(text, pos, 2, second))) {
      return false;
    }
    if (pos != text.size()) return false;
  }
  if (!ValidParts(year, month, day, hour, minute, second)) return false;
  out = FromParts(year, month, day, hour, minute, second);
  return true;
}

}  // namespace orvo
