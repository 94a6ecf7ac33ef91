// FORMAT and DEFORMAT: values written through the runtime's picture tokens and
// read back. Families: @Dn date, @Tn time, @N number, @E scientific, @Sn text.
// A picture's letters may be in either case; its trailing blanks are ignored.
//
// Where the runtime's documentation leaves a case open, this is what we do
// (and nowhere else decides it):
// - A suppressed leading zero (no 0 before the picture number) is written as a
//   blank in its place, so every value of a picture has the same width:
//   @D1 of 7 Apr 2024 is " 4/07/24", @T1 of 5:30 is " 5:30", @D4 is
//   "July  4, 2024". What is suppressed is what the drop-list items show:
//   the leading month of @D1/@D2, the leading day of @D5..@D8, the day of
//   @D3/@D4, the hour of @T1..@T6; @D9..@D16 always write two digits.
// - A date of 0 is an empty text, with or without B: there is no date to show.
//   A non-zero value outside the calendar (below 4 = 1 Jan 1801, or above
//   2994626 = 31 Dec 9999) is '#' over the picture's width, as a number that
//   does not fit its picture is.
// - A time picture writes any value outside 1..8640000 as the zero time
//   (@T04 gives "00:00:00"); B blanks the value 0 only. Hundredths are cut.
// - Separator modifiers (. - _ `) replace the '/' of @D1/@D2/@D5/@D6/@D9/@D10/
//   @D13..@D16 and the blank of @D7/@D8; @D3, @D4, @D11, @D12 keep their own.
// - @D17/@D18/@T7/@T8 come from the C library's LC_TIME data of the locale the
//   environment names (LC_ALL, LC_TIME, LANG), read once: short date = D_FMT;
//   long date = weekday, day, month name and four-digit year in the short
//   date's order ("Saturday, October 31, 1959" in the C locale); long time =
//   T_FMT; short time = T_FMT without its seconds. On Windows the en-US forms.
// - @N without a sign indicator shows no sign. The asterisk fill keeps the
//   default grouping ("***45,000"); the zero and blank fills drop it unless the
//   picture names one. Values round half away from zero on their decimal
//   digits. @E<m>.<n> writes n digits before the mantissa's point and as many
//   after it as the width leaves (@E12.1 of 1967865 is " 1.9679e+006").
// - An invalid picture (no known family, a malformed or oversized token:
//   numbers above 255 wide, texts above 65535) leaves the value unchanged.
// - DEFORMAT of a date or time: 0 when the text holds no digit; -1 when a part
//   is out of range (hour > 23, minute or second > 59, month outside 1..12, a
//   day the month lacks) or the text holds a character no date or time has.
//   Two-digit years follow DATE()'s window. Empty picture: DEFORMAT without
//   a picture (text::deformat_reduce).
#pragma once

#include <string>
#include <string_view>

namespace picture {

// FORMAT(value, picture). For @D, @T, @N and @E the value text holds a number
// (leading blanks, a sign, digits, a point, an exponent; anything else ends it,
// no number is 0); dates and times use its integer part. @S takes any text.
std::string format(std::string_view value, std::string_view picture);
std::string format(double value, std::string_view picture);

// DEFORMAT(text, picture): the standard date or time, or the number, as text
// ("-" and the digits, a point and the fraction digits when there are any).
// @S gives the text unchanged.
std::string deformat(std::string_view text, std::string_view picture);

// Test hook: reads the formats of @D17/@D18/@T7/@T8 from the named locale
// ("C" for results that hold on every machine); "" is the environment's.
void use_locale(const char* name);

}  // namespace picture
