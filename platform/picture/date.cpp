#include "platform/picture/date.h"

#include <atomic>
#include <chrono>
#include <ctime>

#include "platform/picture/today_cache.h"

namespace picture {
namespace {

// 1 Jan 1970 as a standard date: shifts the civil-day count below (days
// from 1 Jan 1970) onto the runtime's origin.
constexpr std::int64_t kUnixEpochDate = 61730;

// Days from 1 Jan 1970 to the given Gregorian date (proleptic; any year).
constexpr std::int64_t days_from_civil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  std::int32_t year, month, day;
};

constexpr Civil civil_from_days(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int32_t>(yoe + era * 400 + (m <= 2)), static_cast<std::int32_t>(m),
          static_cast<std::int32_t>(d)};
}

static_assert(days_from_civil(1801, 1, 1) + kUnixEpochDate == kFirstDate);
static_assert(days_from_civil(9999, 12, 31) + kUnixEpochDate == kLastDate);

bool in_calendar(std::int64_t d) { return d >= kFirstDate && d <= kLastDate; }

// The fixed clock of the test hook.
std::atomic<bool> fixed{false};
std::atomic<std::int32_t> fixed_date{0};
std::atomic<std::int32_t> fixed_time{0};

// The machine's local time broken down, for CLOCK(); TODAY() keeps its own day (TodayCache).
std::tm local_now(std::int32_t* hundredths) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t secs = std::chrono::system_clock::to_time_t(now);
  const auto since = now.time_since_epoch();
  *hundredths = static_cast<std::int32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000 / 10);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &secs);
#else
  localtime_r(&secs, &tm);
#endif
  return tm;
}

}  // namespace

std::int32_t date(std::int32_t month, std::int32_t day, std::int32_t year) {
  if (month < 1) return -1;
  std::int64_t y = year;
  if (y >= 0 && y <= 99) {
    // The hundred years from 80 back to 19 ahead hold exactly one year per
    // two-digit ending.
    const std::int64_t first = picture::year(today()) - 80;
    y = first + ((y - first) % 100 + 100) % 100;
  } else if (y < 1801 || y > 9999) {
    return -1;
  }
  std::int64_t m = month;
  y += (m - 1) / 12;
  m = (m - 1) % 12 + 1;
  if (y > 9999) return -1;
  const std::int64_t d = days_from_civil(y, m, 1) + kUnixEpochDate + (static_cast<std::int64_t>(day) - 1);
  return in_calendar(d) ? static_cast<std::int32_t>(d) : -1;
}

std::int32_t day(std::int32_t d) { return in_calendar(d) ? civil_from_days(d - kUnixEpochDate).day : 0; }
std::int32_t month(std::int32_t d) { return in_calendar(d) ? civil_from_days(d - kUnixEpochDate).month : 0; }
std::int32_t year(std::int32_t d) { return in_calendar(d) ? civil_from_days(d - kUnixEpochDate).year : 0; }

std::int32_t days_in_month(std::int32_t m, std::int32_t y) {
  static constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

namespace detail {

void TodayCache::refill(std::time_t now) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  date_ = static_cast<std::int32_t>(days_from_civil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
                                    kUnixEpochDate);
  // mktime finds the day's bounds in local time, so a day that daylight
  // saving makes 23 or 25 hours long ends at its real midnight.
  std::tm start = tm;
  start.tm_hour = start.tm_min = start.tm_sec = 0;
  start.tm_isdst = -1;
  std::tm end = start;
  end.tm_mday += 1;
  day_start_ = std::mktime(&start);
  day_end_ = std::mktime(&end);
  // A zone whose clocks skip midnight could put the bounds past now: keep
  // the date for this second only rather than for a wrong span.
  if (day_start_ > now || day_end_ <= now) {
    day_start_ = now;
    day_end_ = now + 1;
  }
}

}  // namespace detail

std::int32_t today() {
  if (fixed.load(std::memory_order_relaxed)) return fixed_date.load();
  thread_local detail::TodayCache cache;
  return cache.at(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

std::int32_t clock() {
  if (fixed.load()) return fixed_time.load();
  std::int32_t hundredths = 0;
  const std::tm tm = local_now(&hundredths);
  // A leap second (tm_sec 60) is held at the day's last second.
  const std::int32_t sec = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  return ((tm.tm_hour * 60 + tm.tm_min) * 60 + sec) * 100 + hundredths + 1;
}

void fix_clock(std::int32_t standard_date, std::int32_t standard_time) {
  fixed_time.store(standard_time);
  fixed_date.store(standard_date);
  fixed.store(true);
}

void release_clock() { fixed.store(false); }

}  // namespace picture
