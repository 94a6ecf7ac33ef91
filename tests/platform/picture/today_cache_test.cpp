// TODAY()'s cached day against chosen instants: the date must turn at the
// real local midnight, also on days that daylight saving shortens or
// lengthens, and must follow a clock that is set back.
#include "platform/picture/today_cache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/picture/date.h"

namespace {

// Runs the test in a POSIX time zone (no zone database needed) and puts the
// environment's zone back afterwards.
class TodayCacheTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  void zone(const char* tz) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

// Seconds since the epoch of a UTC instant.
std::time_t utc(int y, int mo, int d, int h, int mi, int s) {
  const std::int64_t days = picture::date(mo, d, y) - picture::date(1, 1, 1970);
  return static_cast<std::time_t>(days * 86400 + h * 3600 + mi * 60 + s);
}

TEST_F(TodayCacheTest, TheDateTurnsAtMidnightAndFollowsAClockSetBack) {
  zone("UTC0");
  picture::detail::TodayCache cache;
  const std::int32_t mar5 = picture::date(3, 5, 2024);
  EXPECT_EQ(cache.at(utc(2024, 3, 5, 12, 0, 0)), mar5);
  EXPECT_EQ(cache.at(utc(2024, 3, 5, 23, 59, 59)), mar5);
  EXPECT_EQ(cache.at(utc(2024, 3, 6, 0, 0, 0)), mar5 + 1);
  EXPECT_EQ(cache.at(utc(2024, 3, 5, 23, 59, 59)), mar5);  // clock set back
  EXPECT_EQ(cache.at(utc(2023, 1, 1, 0, 0, 0)), picture::date(1, 1, 2023));
}

TEST_F(TodayCacheTest, DaysThatDaylightSavingShortensOrLengthensEndAtTheirOwnMidnight) {
  zone("CET-1CEST,M3.5.0,M10.5.0/3");
  picture::detail::TodayCache cache;
  // 31 Mar 2024 has 23 hours: it starts 23:00 UTC the day before (CET) and
  // ends 22:00 UTC (CEST). A day taken as 24 hours would run until 23:00 UTC.
  const std::int32_t mar31 = picture::date(3, 31, 2024);
  EXPECT_EQ(cache.at(utc(2024, 3, 31, 0, 30, 0)), mar31);
  EXPECT_EQ(cache.at(utc(2024, 3, 31, 21, 59, 59)), mar31);
  EXPECT_EQ(cache.at(utc(2024, 3, 31, 22, 0, 0)), mar31 + 1);
  // 27 Oct 2024 has 25 hours: from 22:00 UTC the day before to 23:00 UTC.
  const std::int32_t oct27 = picture::date(10, 27, 2024);
  EXPECT_EQ(cache.at(utc(2024, 10, 26, 22, 0, 0)), oct27);
  EXPECT_EQ(cache.at(utc(2024, 10, 27, 22, 59, 59)), oct27);
  EXPECT_EQ(cache.at(utc(2024, 10, 27, 23, 0, 0)), oct27 + 1);
}

}  // namespace
