#include "platform/picture/date.h"

#include <gtest/gtest.h>

#include "tests/platform/picture/cases.h"

namespace {

using picture::date;

using DateTest = picture_cases::FixedClockTest;
constexpr std::int32_t k5Mar2024 = DateTest::kToday;
constexpr std::int32_t k140709 = DateTest::kClock;  // 14:07:09

struct DateCase {
  std::int32_t month, day, year, expected;
};

TEST_F(DateTest, KnownDatesAndCarries) {
  const DateCase cases[] = {
      {1, 1, 1801, 4},           // first day of the calendar
      {12, 31, 9999, 2994626},   // last day of the calendar
      {1, 1, 1970, 61730},
      {1, 1, 2000, 72687},
      {3, 22, 1999, 72402},
      {7, 4, 2024, 81638},
      {10, 31, 1959, 58015},
      {3, 5, 2024, k5Mar2024},
      {2, 29, 2000, 72746},      // leap day of a century leap year
      {3, 1, 1900, 36222},       // 1900 has no 29 Feb
      {2, 29, 1900, 36222},      // ... so its 29 Feb runs into 1 March
      // Carries: these three are the same day.
      {12, 32, 1997, 71957},
      {13, 1, 1997, 71957},
      {1, 1, 1998, 71957},
      {25, 1, 1997, 72322},      // two years on: 1 Jan 1999
      {3, 0, 2024, 81512},       // day 0: last day of February of a leap year
      {1, 0, 2024, 81452},       // day 0 of January: 31 Dec 2023
      {1, -1, 2024, 81451},      // negative days count back further
      {1, 366, 2024, 81818},     // 31 Dec 2024
      {2, 30, 2023, 81148},      // 2 March 2023
  };
  for (const DateCase& c : cases) {
    EXPECT_EQ(date(c.month, c.day, c.year), c.expected) << c.month << "/" << c.day << "/" << c.year;
  }
}

TEST_F(DateTest, FailuresGiveMinusOne) {
  const DateCase cases[] = {
      {0, 1, 2000, -1},          // month 0
      {-3, 1, 2000, -1},         // negative month
      {1, 1, 1800, -1},          // year before the calendar
      {1, 1, 100, -1},           // a three-digit year is not windowed
      {1, 1, 10000, -1},
      {13, 1, 9999, -1},         // the carry leaves the calendar
      {1, 0, 1801, -1},          // 31 Dec 1800 lies before the calendar
      {12, 32, 9999, -1},
      {1, 2147483647, 2000, -1},
      {2147483647, 1, 2000, -1},
      {1, -2147483647 - 1, 9999, -1},
  };
  for (const DateCase& c : cases) {
    EXPECT_EQ(date(c.month, c.day, c.year), c.expected) << c.month << "/" << c.day << "/" << c.year;
  }
}

// In 2024 the two-digit years run from 1944 (80 back) to 2043 (19 ahead).
TEST_F(DateTest, TwoDigitYearsFollowTheWindowAroundTheCurrentYear) {
  EXPECT_EQ(date(1, 1, 43), date(1, 1, 2043));
  EXPECT_EQ(date(1, 1, 44), date(1, 1, 1944));
  EXPECT_EQ(date(1, 1, 24), date(1, 1, 2024));
  EXPECT_EQ(date(1, 1, 0), date(1, 1, 2000));
  EXPECT_EQ(date(1, 1, 99), date(1, 1, 1999));
  // The window moves with today: in 1998, 15 is 2015 and 60 is 1960.
  picture::fix_clock(date(6, 1, 1998), 1);
  EXPECT_EQ(date(1, 1, 15), date(1, 1, 2015));
  EXPECT_EQ(date(1, 1, 17), date(1, 1, 2017));
  EXPECT_EQ(date(1, 1, 18), date(1, 1, 1918));
  EXPECT_EQ(date(1, 1, 60), date(1, 1, 1960));
}

TEST_F(DateTest, DayMonthYearTakeTheDateApart) {
  struct Case {
    std::int32_t standard, day, month, year;
  } const cases[] = {
      {4, 1, 1, 1801},          {2994626, 31, 12, 9999}, {58015, 31, 10, 1959},
      {72746, 29, 2, 2000},     {81638, 4, 7, 2024},     {3, 0, 0, 0},
      {0, 0, 0, 0},             {-1, 0, 0, 0},           {2994627, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(picture::day(c.standard), c.day) << c.standard;
    EXPECT_EQ(picture::month(c.standard), c.month) << c.standard;
    EXPECT_EQ(picture::year(c.standard), c.year) << c.standard;
  }
  // Every day of the calendar survives the round trip.
  for (std::int32_t d = picture::kFirstDate; d <= picture::kLastDate; d += 997) {
    ASSERT_EQ(date(picture::month(d), picture::day(d), picture::year(d)), d);
  }
}

TEST_F(DateTest, DaysInMonth) {
  EXPECT_EQ(picture::days_in_month(2, 2024), 29);
  EXPECT_EQ(picture::days_in_month(2, 2023), 28);
  EXPECT_EQ(picture::days_in_month(2, 1900), 28);
  EXPECT_EQ(picture::days_in_month(2, 2000), 29);
  EXPECT_EQ(picture::days_in_month(4, 2000), 30);
  EXPECT_EQ(picture::days_in_month(0, 2000), 0);
  EXPECT_EQ(picture::days_in_month(13, 2000), 0);
}

TEST_F(DateTest, TheHookFixesTodayAndTheClock) {
  EXPECT_EQ(picture::today(), k5Mar2024);
  EXPECT_EQ(picture::clock(), k140709);
  picture::fix_clock(0, 0);
  EXPECT_EQ(picture::today(), 0);
  EXPECT_EQ(picture::clock(), 0);
}

TEST(DateClock, TheMachineClockGivesStandardValues) {
  picture::release_clock();
  const std::int32_t t = picture::today();
  EXPECT_GE(t, date(1, 1, 2020));
  EXPECT_LE(t, picture::kLastDate);
  const std::int32_t c = picture::clock();
  EXPECT_GE(c, picture::kFirstTime);
  EXPECT_LE(c, picture::kLastTime);
}

}  // namespace
