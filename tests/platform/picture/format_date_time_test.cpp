#include <gtest/gtest.h>

#include "platform/picture/date.h"
#include "platform/picture/picture.h"
#include "tests/platform/picture/cases.h"

namespace {

using picture_cases::Case;
using picture_cases::check_format;

using picture::format;

using FormatTest = picture_cases::FixedClockTest;

// 58015 = 31 Oct 1959, 81638 = 4 Jul 2024, 72402 = 22 Mar 1999.
TEST_F(FormatTest, DatePicturesOfTwoDigitAndOneDigitParts) {
  const Case cases[] = {
      {"58015", "@D1", "10/31/59"},          {"81638", "@D1", " 7/04/24"},
      {"81638", "@D01", "07/04/24"},         {"58015", "@D2", "10/31/1959"},
      {"81638", "@D2", " 7/04/2024"},        {"81638", "@D02", "07/04/2024"},
      {"58015", "@D3", "OCT 31,1959"},       {"81638", "@D3", "JUL  4,2024"},
      {"81638", "@D03", "JUL 04,2024"},      {"58015", "@D4", "October 31, 1959"},
      {"81638", "@D4", "July  4, 2024"},     {"81638", "@D04", "July 04, 2024"},
      {"58015", "@D5", "31/10/59"},          {"81638", "@D5", " 4/07/24"},
      {"81638", "@D05", "04/07/24"},         {"58015", "@D6", "31/10/1959"},
      {"81638", "@D6", " 4/07/2024"},        {"81638", "@D06", "04/07/2024"},
      {"58015", "@D7", "31 OCT 59"},         {"81638", "@D7", " 4 JUL 24"},
      {"81638", "@D07", "04 JUL 24"},        {"58015", "@D8", "31 OCT 1959"},
      {"81638", "@D8", " 4 JUL 2024"},       {"81638", "@D08", "04 JUL 2024"},
      {"81638", "@D08-", "04-JUL-2024"},     {"72402", "@D08-", "22-MAR-1999"},
      {"58015", "@D9", "59/10/31"},          {"81638", "@D9", "24/07/04"},
      {"58015", "@D10", "1959/10/31"},       {"81638", "@D10-", "2024-07-04"},
      {"81638", "@D010", "2024/07/04"},      {"58015", "@D11", "591031"},
      {"81638", "@D12", "20240704"},         {"58015", "@D13", "10/59"},
      {"81638", "@D13", "07/24"},            {"81638", "@D14", "07/2024"},
      {"81638", "@D15", "24/07"},            {"81638", "@D16", "2024/07"},
      {"4", "@D6", " 1/01/1801"},            {"2994626", "@D06", "31/12/9999"},
      {"72746", "@D06", "29/02/2000"},       {"81638", "@d6", " 4/07/2024"},
  };
  check_format(cases);
}

TEST_F(FormatTest, DateSeparatorsAndTheirPlaces) {
  const Case cases[] = {
      {"81638", "@D06.", "04.07.2024"},   {"81638", "@D06-", "04-07-2024"},
      {"81638", "@D06_", "04 07 2024"},   {"81638", "@D06`", "04,07,2024"},
      {"81638", "@D5_", " 4 07 24"},      {"81638", "@D6.", " 4.07.2024"},
      {"81638", "@D08.", "04.JUL.2024"},  {"81638", "@D08_", "04 JUL 2024"},
      {"81638", "@D14-", "07-2024"},      {"81638", "@D16`", "2024,07"},
      {"81638", "@D1.", " 7.04.24"},      {"81638", "@D02-", "07-04-2024"},
      {"81638", "@D7`", " 4,JUL,24"},     {"81638", "@D9_", "24 07 04"},
      {"81638", "@D13.", "07.24"},        {"81638", "@D15-", "24-07"},
      // @D3, @D4, @D11 and @D12 write their own punctuation.
      {"81638", "@D3-", "JUL  4,2024"},   {"81638", "@D4.", "July  4, 2024"},
      {"81638", "@D12-", "20240704"},     {"81638", "@D11.", "240704"},
      // The century-window modifier has no effect on FORMAT.
      {"58015", "@D1>60", "10/31/59"},    {"58015", "@D6<", "31/10/1959"},
  };
  check_format(cases);
}

// The date pictures the engine builds: the setting followed by the separator
// setting, whose every value ends in "b".
TEST_F(FormatTest, DatePicturesWithBlankModifiers) {
  const Case cases[] = {
      {"81638", "@D06b", "04/07/2024"},   {"0", "@D06b", ""},
      {"81638", "@D06.b", "04.07.2024"},  {"81638", "@D06-b", "04-07-2024"},
      {"81638", "@D06_b", "04 07 2024"},  {"81638", "@D06`b", "04,07,2024"},
      {"81638", "@D6B", " 4/07/2024"},    {"81638", "@D06b   ", "04/07/2024"},
      {"81638", "@D1.b", " 7.04.24"},     {"81638", "@D08-b", "04-JUL-2024"},
      {"81638", "@D10_b", "2024 07 04"},  {"81638", "@D14`b", "07,2024"},
      // Any date item with any separator item: the pictures that write their
      // own punctuation keep it.
      {"81638", "@D3.b", "JUL  4,2024"},  {"81638", "@D12-b", "20240704"},
      {"81638", "@D17_b", "07/04/24"},    {"58015", "@D18`b", "Saturday, October 31, 1959"},
      {"0", "@D6.B", ""},                 {"", "@D06b", ""},
  };
  check_format(cases);
}

// A zero date is empty, with or without B; other values outside the calendar
// fill the picture's width with '#'.
TEST_F(FormatTest, DatesOutsideTheCalendar) {
  const Case cases[] = {
      {"0", "@D06", ""},             {"0", "@D4", ""},
      {"1", "@D06", "##########"},   {"3", "@D1", "########"},
      {"-1", "@D06b", "##########"}, {"2994627", "@D12", "########"},
      {"3", "@D4", "##################"},
      {"99999999999999999999", "@D6", "##########"},
      // The integer part of the value counts; a text without a number is 0.
      {"81638.9", "@D06", "04/07/2024"}, {" 81638", "@D06", "04/07/2024"},
      {"abc", "@D06", ""},
  };
  check_format(cases);
}

// 4500001 = 12:30:00, 6300001 = 17:30:00, 3601 = 00:00:36, 36001 = 00:06:00.
TEST_F(FormatTest, TimePictures) {
  const Case cases[] = {
      {"6300001", "@T1", "17:30"},     {"1980001", "@T1", " 5:30"},
      {"1980001", "@T01", "05:30"},    {"1", "@T1", " 0:00"},
      {"6300001", "@T1-", "17-30"},    {"6300001", "@T1.", "17.30"},
      {"6300001", "@T2", "1730"},      {"1980001", "@T2", " 530"},
      {"1980001", "@T02", "0530"},     {"6300001", "@T3", " 5:30PM"},
      {"6300001", "@T03", "05:30PM"},  {"36001", "@T3", "12:06AM"},
      {"4356001", "@T3", "12:06PM"},   {"6300001", "@T3_", " 5 30PM"},
      {"6300001", "@T4", "17:30:00"},  {"6300001", "@T4`", "17,30,00"},
      {"4095301", "@T04", "11:22:33"}, {"3601", "@T04", "00:00:36"},
      {"1980001", "@T4", " 5:30:00"},  {"6300001", "@T5", "173000"},
      {"1980001", "@T5", " 53000"},    {"1980001", "@T05", "053000"},
      {"6300001", "@T6", " 5:30:00PM"},{"6300001", "@T06", "05:30:00PM"},
      {"8640000", "@T04", "23:59:59"}, {"8639901", "@T04", "23:59:59"},
      {"8639900", "@T04", "23:59:58"}, {"501", "@T04", "00:00:05"},
      {"4500001", "@t04", "12:30:00"},
  };
  check_format(cases);
}

TEST_F(FormatTest, TimeZeroBlankAndOutOfRange) {
  const Case cases[] = {
      // Anything outside 1..8640000 is the zero time; B blanks 0 only.
      {"0", "@T04", "00:00:00"},      {"-1", "@T04", "00:00:00"},
      {"8640001", "@T04", "00:00:00"},{"99999999999", "@T04", "00:00:00"},
      {"0", "@T04b", ""},             {"0", "@T04bb", ""},
      {"-1", "@T04b", "00:00:00"},    {"0", "@T3", "12:00AM"},
      {"4500001", "@T04b", "12:30:00"},   {"4500001", "@T04bb", "12:30:00"},
      {"4500001", "@T04.b", "12.30.00"},  {"4500001", "@T04-b", "12-30-00"},
      {"4500001", "@T04_b", "12 30 00"},  {"4500001", "@T04`b", "12,30,00"},
      {"6300001", "@T1.b", "17.30"},      {"6300001", "@T03-b", "05-30PM"},
      {"6300001", "@T06.b", "05.30.00PM"},{"6300001", "@T6_b", " 5 30 00PM"},
      {"0", "@T06-b", ""},                {"0", "@T1b", ""},
      // Pictures without a separator, and the locale's, keep their form.
      {"6300001", "@T2-b", "1730"},       {"6300001", "@T05.b", "173000"},
      {"6300001", "@T7`b", "17:30"},      {"6300001", "@T8_b", "17:30:00"},
      {"", "@T04", "00:00:00"},       {"", "@T04b", ""},
  };
  check_format(cases);
}

// Every item of the date and time drop lists: the picture writes the layout
// its item shows (31 Oct 1959 and 4 Jul 2024; 17:30:00 and 5:30:00).
TEST_F(FormatTest, EveryDropListPictureWritesWhatItsItemShows) {
  const Case cases[] = {
      {"81638", "@D1", " 7/04/24"},        {"81638", "@D01", "07/04/24"},          // m/dd/yy, mm/dd/yy
      {"81638", "@D2", " 7/04/2024"},      {"81638", "@D02", "07/04/2024"},        // m/dd/yyyy, mm/dd/yyyy
      {"58015", "@D3", "OCT 31,1959"},     {"58015", "@D4", "October 31, 1959"},   // mmm dd,yyyy / mmmmm dd, yyyy
      {"81638", "@D5", " 4/07/24"},        {"81638", "@D05", "04/07/24"},          // d/mm/yy, dd/mm/yy
      {"81638", "@D6", " 4/07/2024"},      {"81638", "@D06", "04/07/2024"},        // d/mm/yyyy, dd/mm/yyyy
      {"81638", "@D7", " 4 JUL 24"},       {"81638", "@D07", "04 JUL 24"},         // d mmm yy, dd mmm yy
      {"81638", "@D8", " 4 JUL 2024"},     {"81638", "@D08", "04 JUL 2024"},       // d mmm yyyy, dd mmm yyyy
      {"81638", "@D9", "24/07/04"},        {"81638", "@D10", "2024/07/04"},        // yy/mm/dd, yyyy/mm/dd
      {"81638", "@D11", "240704"},         {"81638", "@D12", "20240704"},          // yymmdd, yyyymmdd
      {"81638", "@D13", "07/24"},          {"81638", "@D14", "07/2024"},           // mm/yy, mm/yyyy
      {"81638", "@D15", "24/07"},          {"81638", "@D16", "2024/07"},           // yy/mm, yyyy/mm
      {"58015", "@D17", "10/31/59"},       {"58015", "@D18", "Saturday, October 31, 1959"},
      {"1980001", "@T1", " 5:30"},         {"1980001", "@T01", "05:30"},           // h:mm, hh:mm
      {"1980001", "@T2", " 530"},          {"1980001", "@T02", "0530"},            // hmm, hhmm
      {"6300001", "@T3", " 5:30PM"},       {"6300001", "@T03", "05:30PM"},         // h:mmXM, hh:mmXM
      {"1980001", "@T4", " 5:30:00"},      {"1980001", "@T04", "05:30:00"},        // h:mm:ss, hh:mm:ss
      {"1980001", "@T5", " 53000"},        {"1980001", "@T05", "053000"},          // hmmss, hhmmss
      {"6300001", "@T6", " 5:30:00PM"},    {"6300001", "@T06", "05:30:00PM"},      // h:mm:ssXM, hh:mm:ssXM
      {"6300001", "@T7", "17:30"},         {"6300001", "@T8", "17:30:00"},         // Windows Short / Long
  };
  check_format(cases);
}

// The export file's date stamp: "_" & FORMAT(TODAY(), "@D06-") & "_" &
// FORMAT(CLOCK(), "@T06-"), lower-cased.
TEST_F(FormatTest, DateStampOfFiveMarch2024AtSevenPastTwo) {
  // Appended piece by piece: GCC 12 misreads "_" + text as overlapping copies.
  std::string stamp(1, '_');
  stamp += format(std::to_string(picture::today()), "@D06-");
  stamp += '_';
  stamp += format(std::to_string(picture::clock()), "@T06-");
  for (char& c : stamp) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(stamp, "_05-03-2024_02-07-09pm");
  picture::fix_clock(81517, 1);  // midnight: 12 on the 12-hour clock, AM
  EXPECT_EQ(format(std::to_string(picture::clock()), "@T06-"), "12-00-00AM");
}

// HOUR, MINUTE and SECOND read the pieces between the two colons of @T04.
TEST_F(FormatTest, TimeOfTheExpressionFunctionsHasTwoColonsForEveryValue) {
  for (const char* v : {"4500001", "1", "8640000", "0", "-5", "8640001", "4500001.9", "x"}) {
    const std::string w = format(v, "@T04");
    ASSERT_EQ(w.size(), 8u) << v;
    EXPECT_EQ(w[2], ':') << v;
    EXPECT_EQ(w[5], ':') << v;
  }
  EXPECT_EQ(format("4502601", "@T04"), "12:30:26");
  EXPECT_EQ(format(4500001.0, "@T04"), "12:30:00");
}

TEST_F(FormatTest, LocalePicturesFollowTheLocale) {
  const Case cases[] = {
      {"81638", "@D17", "07/04/24"},
      {"81638", "@D18", "Thursday, July 4, 2024"},
      {"72746", "@D18", "Tuesday, February 29, 2000"},
      {"0", "@D17", ""},
      {"1980001", "@T7", "05:30"},
      {"1980001", "@T8", "05:30:00"},
      {"0", "@T8b", ""},
  };
  check_format(cases);
}

}  // namespace
