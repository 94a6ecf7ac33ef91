// Date and time layouts: what @D1..@D18 and @T1..@T8 write and read, as small
// pattern texts shared by the fixed pictures and by the ones the locale gives.
// Internal to platform/picture.
//
// Pattern letters, date patterns:   Time patterns:
//   D day, two digits                 H hour 0..23, two digits
//   d day, leading zero suppressed    h hour 0..23, leading zero suppressed
//   e day, no padding                 k hour 0..23, no padding
//   M month, two digits               I hour 1..12, two digits
//   m month, leading zero suppressed  i hour 1..12, leading zero suppressed
//   o month, no padding               l hour 1..12, no padding
//   Y year, four digits               M minutes, two digits
//   y year, last two digits           S seconds, two digits
//   N month name, n its abbreviation  p the AM or PM mark
//   W weekday name, w its abbreviation
//   /  (date) and : (time): the picture's separator
//   \x: the character x itself; any other character stands for itself.
// A suppressed leading zero is written as a blank, unless the picture asks for
// zero fill (the 0 before its number), which writes it as 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace picture::detail {

// Month and weekday names and the day-half marks used by a pattern.
struct Names {
  std::string month[12];
  std::string month_abbr[12];
  std::string weekday[7];  // Sunday first, as date % 7 counts
  std::string weekday_abbr[7];
  std::string am, pm;
};

// The names of the fixed pictures: English, abbreviations upper case.
const Names& english_names();

// Bounded output buffer: nothing a date or time pattern writes comes near it.
struct Out {
  static constexpr std::size_t kCapacity = 512;
  char buf[kCapacity];
  std::size_t n = 0;
  void put(char c) {
    if (n < kCapacity) buf[n++] = c;
  }
  void put(std::string_view s) {
    for (char c : s) put(c);
  }
  std::string_view view() const { return {buf, n}; }
};

struct DatePattern {
  std::string_view pattern;
  char separator;     // written for '/' when the picture names none
  const Names* names;
};

struct TimePattern {
  std::string_view pattern;
  char separator;     // written for ':' when the picture names none
  const Names* names;
};

// The pattern of @D<layout> (1..18) and of @T<layout> (1..8).
DatePattern date_pattern(int layout);
TimePattern time_pattern(int layout);

// Writes a standard date inside the calendar, or a standard time 1..8640000.
void write_date(const DatePattern& p, char separator, bool zero_fill, std::int32_t date, Out& out);
void write_time(const TimePattern& p, char separator, bool zero_fill, std::int32_t time, Out& out);
// The width that a date pattern always reaches (names at their longest).
std::size_t date_width(const DatePattern& p);

// Reads a text written in a pattern back into a standard date or time: 0 when
// the text holds no digit, -1 when it holds a part that is out of range or a
// character no date or time has.
std::int32_t read_date(const DatePattern& p, std::string_view text);
std::int32_t read_time(const TimePattern& p, std::string_view text);

}  // namespace picture::detail
