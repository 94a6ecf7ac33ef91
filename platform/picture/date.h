// The runtime's standard date and time and the functions that build and take
// them apart: DATE(), TODAY(), CLOCK(), DAY(), MONTH(), YEAR().
// A standard date counts days from 28 Dec 1800: 4 is 1 Jan 1801, 2994626 is
// 31 Dec 9999, 0 means no date. A standard time is hundredths of a second since
// midnight plus one: 1 is midnight, 8640000 is 23:59:59.99, 0 means no time.
#pragma once

#include <cstdint>

namespace picture {

inline constexpr std::int32_t kFirstDate = 4;        // 1 Jan 1801
inline constexpr std::int32_t kLastDate = 2994626;   // 31 Dec 9999
inline constexpr std::int32_t kFirstTime = 1;        // midnight
inline constexpr std::int32_t kLastTime = 8640000;   // 23:59:59.99

// DATE(month, day, year). A month above 12 carries into the following years;
// the result is the first of the month plus day - 1, so day 0 is the last day
// of the month before and days past the month's end run on into the next ones.
// A year from 0 to 99 is placed in the hundred years that run from 80 years
// before the current year (of today()) to 19 years after it: in 2026, 45 is
// 2045 and 46 is 1946. Failure is -1: a month below 1, a year from 100 to 1800
// or above 9999, or a result outside kFirstDate..kLastDate.
std::int32_t date(std::int32_t month, std::int32_t day, std::int32_t year);

// DAY, MONTH, YEAR of a standard date; 0 for a value outside the calendar
// (kFirstDate..kLastDate), which names no day.
std::int32_t day(std::int32_t standard_date);
std::int32_t month(std::int32_t standard_date);
std::int32_t year(std::int32_t standard_date);

// Days in a month of a year (Gregorian leap years); 0 for a month outside 1..12.
std::int32_t days_in_month(std::int32_t month, std::int32_t year);

// TODAY() and CLOCK(): the local date and time of day of the machine, or the
// fixed ones while a test has fixed them.
std::int32_t today();
std::int32_t clock();

// Test hook: from now on today() and clock() answer these values (a standard
// date and a standard time) until release_clock().
void fix_clock(std::int32_t standard_date, std::int32_t standard_time);
void release_clock();

}  // namespace picture
