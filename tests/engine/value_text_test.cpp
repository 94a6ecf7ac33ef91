// Value text: stored bytes of every type to their unformatted, display and CSV
// texts; the date and time judgements on LONG values; the picture a field is
// written with; packed decimals; quote doubling.
#include "engine/value_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/picture/date.h"
#include "platform/text/text.h"

namespace {

using namespace std::string_literals;

constexpr std::int32_t kToday = 81000;  // 21 Oct 2022
constexpr std::int32_t kNow = 4500001;  // 12:30

class ValueText : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::reset();
    picture::fix_clock(kToday, kNow);
  }
  void TearDown() override {
    picture::release_clock();
    engine::reset();
  }
};

template <typename T>
std::string bytes_of(T v) {
  std::string s(sizeof v, '\0');
  std::memcpy(s.data(), &v, sizeof v);
  return s;
}

struct StoredCase {
  const char* type;
  std::string raw;
  std::int32_t places, digits;
  const char* raw_text;  // CurrentRawValue
  const char* csv;       // the result (also CurrentValueText here: no quotes, no leading blanks)
};

// Every type's stored form, with blank marks.
TEST_F(ValueText, StoredFormsOfEveryType) {
  const StoredCase cases[] = {
      {"BYTE", "\xFF", 0, 0, "255", "255"},
      {"BYTE", "\x00"s, 0, 0, "0", "0"},
      {"SHORT", "\xFF\xFF", 0, 0, "-1", "-1"},
      {"SHORT", "\x00\x80"s, 0, 0, "-32768", "-32768"},
      {"USHORT", "\xFF\xFF", 0, 0, "65535", "65535"},
      {"LONG", bytes_of<std::int32_t>(-123456), 0, 0, "-123456", "-123456"},
      {"LONG", bytes_of<std::int32_t>(0), 0, 0, "0", "0"},
      {"ULONG", "\xFF\xFF\xFF\xFF", 0, 0, "4294967295", "4294967295"},
      {"SREAL", bytes_of(0.1f), 0, 0, "0.100000001490116", "0.100000001490116"},
      {"REAL", bytes_of(1.0 / 3), 0, 0, "0.333333333333333", "0.333333333333333"},
      {"REAL", bytes_of(100.0), 0, 0, "100", "100"},
      {"REAL", bytes_of(-0.5), 0, 0, "-0.5", "-0.5"},
      {"REAL", bytes_of(1.5e20), 0, 0, "1.5E+20", "1.5E+20"},  // exponent form beyond 14
      {"REAL", bytes_of(0.00001), 0, 0, "1E-05", "1E-05"},    // and below -4
      // DECIMAL(7,2): 4 bytes, sign half-byte then 7 digits.
      {"DECIMAL", "\x00\x01\x23\x45"s, 2, 7, "123.45", "123.45"},
      {"DECIMAL", "\x00\x00\x00\x00"s, 2, 7, "0.00", "0.00"},
      {"DECIMAL", "\x80\x01\x23\x45"s, 2, 7, "-123.45", "-123.45"},
      {"DECIMAL", "\x00\x00\x00"s, 1, 5, ".0", ".0"},
      {"DECIMAL", "\x00\x00\x00"s, 0, 5, "0", "0"},
      {"DECIMAL", "\x00\x00\x12\x34\x56"s, 2, 32, "", ""},  // no such DECIMAL
      {"STRING", "ab\0cd"s, 0, 0, "ab", "ab"},
      {"STRING", "     ", 0, 0, "", ""},
      {"STRING", "Smith   ", 0, 0, "Smith", "Smith"},
      {"CSTRING", "hello\0junk"s, 0, 0, "hello", "hello"},
      {"CSTRING", "no nul", 0, 0, "no nul", "no nul"},
      {"PSTRING", "\x03" "abcdef", 0, 0, "abc", "abc"},
      {"PSTRING", "\x00xyz"s, 0, 0, "", ""},
      {"PSTRING", "\x05" "ab", 0, 0, "ab", "ab"},  // length beyond the field: blanks
      {"MEMO", "text", 0, 0, "", ""},
      {"GROUP", "text", 0, 0, "", ""},
      {"BLOB", "text", 0, 0, "", ""},
      {"PDECIMAL", "\x12\x3C", 0, 3, "", ""},
      {"BFLOAT4", "\x00\x00\x00\x81"s, 0, 0, "", ""},
      {"long", bytes_of<std::int32_t>(5), 0, 0, "", ""},  // type names arrive in capitals
  };
  for (const StoredCase& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " raw_text " + c.raw_text);
    EXPECT_EQ(engine::FormatFieldValue("", "", c.type, c.raw, c.places, c.digits), c.csv);
    EXPECT_EQ(engine::CurrentRawValue, c.raw_text);
    EXPECT_EQ(engine::CurrentValueText, c.csv);
  }
}

// DATE and TIME bytes become standard numbers in the raw text, are always
// written with their picture and tell the caller what they are.
TEST_F(ValueText, DateAndTimeFieldsCarryStandardNumbersAndTheirPicture) {
  struct Case {
    const char* type;
    std::string raw;
    const char* raw_text;
    const char* csv;
  };
  const Case cases[] = {
      {"DATE", "\x01\x01\xE4\x07", "79992", "01/01/2020"},  // day, month, year
      {"DATE", "\x00\x00\x00\x00"s, "0", ""},               // @D06b of no date
      {"DATE", "\x1F\x0C\x0F\x27", "2994626", "31/12/9999"},
      {"DATE", "\x01\x01\x10\x27", "2994626", "31/12/9999"},  // year 10000: held at the last day
      {"DATE", "\x1F\x0C\x08\x07", "0", ""},                // year 1800: before the calendar
      {"DATE", "\x01\x00\xE4\x07"s, "0", ""},                // month 0
      {"DATE", "\x00\x03\xE4\x07"s, "80051", "29/02/2020"},  // day 0: the month before's last
      {"DATE", "\x01\x0D\xE3\x07", "79992", "01/01/2020"},  // month 13 of 2019
      {"TIME", "\x00\x00\x1E\x0C"s, "4500001", "12:30:00"},  // hundredths, seconds, minutes, hours
      {"TIME", "\x63\x3B\x3B\x17", "8640000", "23:59:59"},
      {"TIME", "\x00\x00\x00\x00"s, "0", ""},               // @T04b of no time
      {"TIME", "\x00\x00\x00\x18"s, "-1", "00:00:00"},      // hours 24
      {"TIME", "\x64\x00\x00\x00"s, "-1", "00:00:00"},      // hundredths 100
      {"TIME", "\x00\x3C\x00\x00"s, "-1", "00:00:00"},      // seconds 60
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.raw_text);
    engine::NotDateFlag = engine::NotTimeFlag = 0;
    EXPECT_EQ(engine::FormatFieldValue("", "", c.type, c.raw, 0, 0), c.csv);
    EXPECT_EQ(engine::CurrentRawValue, c.raw_text);
    EXPECT_EQ(engine::CurrentValueText, c.csv);
    const bool date = std::string(c.type) == "DATE";
    EXPECT_EQ(engine::NotDateFlag, date ? -1 : 0);
    EXPECT_EQ(engine::NotTimeFlag, date ? 0 : -1);
  }
}

TEST_F(ValueText, LongValuesAreJudgedAsPossibleDatesAndTimes) {
  struct Case {
    std::int32_t value, not_date, not_time;
  };
  const Case cases[] = {
      {0, 1, 1},
      {1, 1, 0},
      {8640000, 1, 0},
      {8640001, 1, 1},
      {-5, 1, 1},
      {kToday, 0, 0},
      {kToday - 14600, 0, 0},
      {kToday + 14600, 0, 0},
      {kToday - 14601, 1, 0},
      {kToday + 14601, 1, 0},
      {INT32_MIN, 1, 1},
      {INT32_MAX, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    engine::NotDateFlag = engine::NotTimeFlag = 0;
    // The judgement is made whatever the marks say.
    engine::FormatFieldValue("T", "D", "LONG", bytes_of(c.value), 0, 0);
    EXPECT_EQ(engine::CurrentRawValue, std::to_string(c.value));
    EXPECT_EQ(engine::NotDateFlag, c.not_date);
    EXPECT_EQ(engine::NotTimeFlag, c.not_time);
  }
}

TEST_F(ValueText, TheBoundsOfAPossibleDateMoveWithToday) {
  const std::string value = bytes_of<std::int32_t>(kToday + 14601);
  engine::FormatFieldValue("", "", "LONG", value, 0, 0);
  EXPECT_EQ(engine::NotDateFlag, 1);
  picture::fix_clock(kToday + 1, kNow);
  engine::NotDateFlag = 0;
  engine::FormatFieldValue("", "", "LONG", value, 0, 0);
  EXPECT_EQ(engine::NotDateFlag, 0);
}

TEST_F(ValueText, OtherTypesLeaveTheFlagsAsTheyWere) {
  for (const char* type : {"BYTE", "SHORT", "ULONG", "REAL", "DECIMAL", "STRING", "PSTRING", "PDECIMAL", "MEMO"}) {
    engine::NotDateFlag = 7;
    engine::NotTimeFlag = -7;
    engine::FormatFieldValue("T", "D", type, "\x00\x00\x00\x00\x00\x00\x00\x00"s, 0, 3);
    EXPECT_EQ(engine::NotDateFlag, 7) << type;
    EXPECT_EQ(engine::NotTimeFlag, -7) << type;
  }
}

// The picture a value is written with: the date mark first, then the time
// mark; DATE counts as marked "D", TIME as marked "T"; marks ignore their
// trailing blanks; blank settings fall back to "@D06" / "@T04b" followed by
// the separator.
TEST_F(ValueText, ThePictureFollowsTheMarksAndTheSettings) {
  struct Case {
    const char* time_mark;
    const char* date_mark;
    const char* type;
    std::string raw;
    const char* date_format;
    const char* time_format;
    const char* separator;
    const char* shown;
  };
  const std::string long_date = bytes_of<std::int32_t>(79992);  // 1 Jan 2020
  const std::string long_time = bytes_of<std::int32_t>(4500001);
  const std::string long_zero = bytes_of<std::int32_t>(0);
  const std::string time_field = "\x00\x00\x0A\x00"s;  // 00:10:00, standard 60001
  const std::string date_field = "\x01\x01\xE4\x07";
  const Case cases[] = {
      // default settings: "@D06b" and "@T04b"
      {"   ", "D  ", "LONG", long_date, "@D06", "@T04", "b", "01/01/2020"},
      {"T  ", "   ", "LONG", long_time, "@D06", "@T04", "b", "12:30:00"},
      {"T  ", "D  ", "LONG", long_date, "@D06", "@T04", "b", "01/01/2020"},
      {"", "", "LONG", long_date, "@D06", "@T04", "b", "79992"},
      {"t", "d", "LONG", long_date, "@D06", "@T04", "b", "79992"},      // possible-marks pick nothing
      {"", " D", "LONG", long_date, "@D06", "@T04", "b", "79992"},      // a leading blank is no mark
      {"", "D", "LONG", long_zero, "@D06", "@T04", "b", ""},            // "b": blank when zero
      {"T", "", "LONG", long_zero, "@D06", "@T04", "b", ""},
      {"", "D", "TIME", time_field, "@D06", "@T04", "b", "08/04/1965"},  // date mark beats the type
      {"T", "", "DATE", date_field, "@D06", "@T04", "b", "01/01/2020"},  // DATE counts as "D"
      {"", "", "TIME", time_field, "@D06", "@T04", "b", "00:10:00"},
      // the settings
      {"", "D", "LONG", long_date, "@D10", "@T04", "-", "2020-01-01"},
      {"", "D", "LONG", long_date, "@D8", "@T04", "", " 1 JAN 2020"},  // leading blank kept in the text
      {"T", "", "LONG", long_time, "@D06", "@T1", ".", "12.30"},
      {"", "D", "LONG", long_date, "@D06  ", "@T04", "b  ", "01/01/2020"},  // settings clipped before joining
      // blank settings: "@D06" + separator, "@T04b" + separator
      {"", "D", "LONG", long_date, "", "@T04", ".", "01.01.2020"},
      {"", "D", "LONG", long_date, "   ", "@T04", "-", "01-01-2020"},
      {"", "D", "LONG", long_date, "", "@T04", "b", "01/01/2020"},
      {"T", "", "LONG", long_time, "@D06", "", "b", "12:30:00"},        // "@T04bb"
      {"T", "", "LONG", long_zero, "@D06", "", "", ""},                 // the fallback's own "b"
      {"T", "", "LONG", long_time, "@D06", "  ", "", "12:30:00"},
      // a mark on a text hands it to the picture as it stands
      {"", "D", "STRING", "79992     ", "@D06", "@T04", "b", "01/01/2020"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " marks [" + c.time_mark + "][" + c.date_mark + "] settings [" +
                 c.date_format + "][" + c.time_format + "][" + c.separator + "]");
    globals::GLO_DATEFORMAT = c.date_format;
    globals::GLO_TIMEFORMAT = c.time_format;
    globals::GLO_DATETIMESEPARATOR = c.separator;
    const std::string csv = engine::FormatFieldValue(c.time_mark, c.date_mark, c.type, c.raw, 0, 0);
    EXPECT_EQ(engine::CurrentValueText, c.shown);
    EXPECT_EQ(csv, text::trim(c.shown));
  }
}

// Leading blanks stay in the raw and display texts (WHERE comparisons and the
// preview see them) and leave the CSV text.
TEST_F(ValueText, LeadingBlanksStayOutOfTheCsvOnly) {
  EXPECT_EQ(engine::FormatFieldValue("", "", "STRING", "  x  ", 0, 0), "x");
  EXPECT_EQ(engine::CurrentRawValue, "  x");
  EXPECT_EQ(engine::CurrentValueText, "  x");
}

// A field cut short by the record reads blanks (0x20) where its bytes are missing.
TEST_F(ValueText, MissingBytesCountAsBlanks) {
  struct Case {
    const char* type;
    std::string raw;
    std::int32_t places, digits;
    const char* raw_text;
  };
  const Case cases[] = {
      {"BYTE", "", 0, 0, "32"},
      {"SHORT", "", 0, 0, "8224"},
      {"USHORT", "\x01", 0, 0, "8193"},
      {"LONG", "\x01", 0, 0, "538976257"},  // 0x20202001
      {"ULONG", "", 0, 0, "538976288"},
      {"SREAL", "", 0, 0, "1.35631564269401E-19"},
      {"REAL", "\x00"s, 0, 0, "6.01347001699903E-154"},
      {"DECIMAL", "\x00"s, 2, 5, "20.20"},  // 00 20 20: digits 0 2 0 2 0
      {"DECIMAL", "", 0, 3, "-20"},         // 20 20: sign 2 (negative), digits 0 2 0
      {"DATE", "", 0, 0, "2346930"},        // day 32, month 32 of 8224: 1 Sep 8226
      {"TIME", "\x00\x00\x00"s, 0, 0, "-1"},  // hours 32
      {"PSTRING", "", 0, 0, ""},            // 32 blanks
      {"STRING", "", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    engine::FormatFieldValue("", "", c.type, c.raw, c.places, c.digits);
    EXPECT_EQ(engine::CurrentRawValue, c.raw_text);
  }
}

TEST_F(ValueText, AnEmptyViewReadsAsBlanksForEveryType) {
  for (const char* type : {"BYTE", "SHORT", "USHORT", "LONG", "ULONG", "SREAL", "REAL", "DECIMAL", "DATE", "TIME",
                           "STRING", "CSTRING", "PSTRING", "MEMO"}) {
    const std::string csv = engine::FormatFieldValue("T", "D", type, std::string_view{}, 2, 5);
    const std::string blanks = engine::FormatFieldValue("T", "D", type, "        ", 2, 5);
    EXPECT_EQ(csv, blanks) << type;
  }
  EXPECT_EQ(engine::EscapeCsvQuotes(std::string_view{}), "");
  EXPECT_EQ(engine::DecimalToText(std::string_view{}, 5, 2), "-20.20");  // sign half-byte 2
}

TEST_F(ValueText, QuotesAreDoubledInTheCsvTextOnly) {
  EXPECT_EQ(engine::FormatFieldValue("", "", "STRING", "say \"hi\"", 0, 0), "say \"\"hi\"\"");
  EXPECT_EQ(engine::CurrentValueText, "say \"hi\"");
  EXPECT_EQ(engine::CurrentRawValue, "say \"hi\"");
}

// Every quote is doubled and nothing is cut, however long the value: a
// shortened value would leave an odd quote or a lost tail in the CSV.
TEST_F(ValueText, LongValuesAndManyQuotesAreNeverCut) {
  const std::string quotes(150, '"');
  EXPECT_EQ(engine::FormatFieldValue("", "", "STRING", quotes, 0, 0), std::string(300, '"'));
  EXPECT_EQ(engine::CurrentValueText, quotes);

  std::string photo(70000, 'x');
  for (std::size_t i = 0; i < photo.size(); i += 7) photo[i] = '"';
  const std::string csv = engine::FormatFieldValue("", "", "STRING", photo, 0, 0);
  EXPECT_EQ(csv.size(), 80000u);
  EXPECT_EQ(csv.substr(csv.size() - 3), "xxx");
  EXPECT_EQ(engine::CurrentRawValue.size(), 70000u);
}

TEST_F(ValueText, AppendingGivesTheSameTextBehindTheCallersLine) {
  std::string line = "\"1\",\"";
  engine::AppendFieldValue(line, "", "", "STRING", " a\"b ", 0, 0);
  EXPECT_EQ(line, "\"1\",\"a\"\"b");
  EXPECT_EQ(engine::CurrentValueText, " a\"b");
}

TEST(EscapeCsvQuotes, DoublesEveryQuoteAndTrimsBlanks) {
  struct Case {
    std::string value, escaped;
  };
  const Case cases[] = {
      {"a\"b", "a\"\"b"},
      {"\"", "\"\""},
      {"  \"x\"  ", "\"\"x\"\""},
      {"   ", ""},
      {"", ""},
      {" a b ", "a b"},
      {std::string(150, '"'), std::string(300, '"')},
      {std::string(1, '"').append(64000, 'y').append(1, '"'), std::string(2, '"').append(64000, 'y').append(2, '"')},
      {"nul\0in\"side"s, "nul\0in\"\"side"s},
  };
  for (const Case& c : cases) EXPECT_EQ(engine::EscapeCsvQuotes(c.value), c.escaped) << c.value.substr(0, 20);
}

TEST(DecimalToText, PackedDigitsWithPlaces) {
  struct Case {
    std::string raw;
    std::int32_t digits, places;
    const char* text;
  };
  const Case cases[] = {
      {"\x00\x01\x23\x45"s, 7, 2, "123.45"},
      {"\x80\x01\x23\x45"s, 7, 2, "-123.45"},
      {"\x00\x00\x00\x12"s, 7, 2, ".12"},
      {"\x10\x00\x00\x12"s, 7, 2, "-.12"},  // any non-zero sign half-byte is negative
      {"\x00\x00\x00"s, 5, 1, ".0"},
      {"\x00\x00\x00"s, 5, 2, "0.00"},
      {"\x00\x00\x00"s, 5, 0, "0"},
      {"\xF0\x00\x00"s, 5, 2, "0.00"},  // a negative zero is zero
      {"\xF0\x00\x00"s, 5, 0, "0"},
      {"\x00\x00\x00\x00\x00\x00"s, 11, 4, "0.0000"},
      // fewer digits than places: zeros keep the stored value
      {"\x00\x00\x03"s, 5, 2, ".03"},
      {"\x90\x00\x05"s, 5, 2, "-.05"},
      {"\x00\x06\x25"s, 5, 4, ".0625"},
      {"\x00\x00\x01"s, 5, 5, ".00001"},
      {"\x00\x00\x00\x01"s, 6, 9, ".000000001"},  // more places than digits
      // no places
      {"\x01\x23\x45"s, 5, 0, "12345"},
      {"\x81\x23\x45"s, 5, 0, "-12345"},
      {"\x00\x00\x07"s, 5, 0, "7"},
      // an even digit count reads the extra position like the others
      {"\x09\x99\x99"s, 4, 0, "99999"},
      // 31 digits, the most a DECIMAL has
      {"\x01\x23\x45\x67\x89\x01\x23\x45\x67\x89\x01\x23\x45\x67\x89\x01"s, 31, 3,
       "1234567890123456789012345678.901"},
      // only the declared bytes count; missing ones are blanks
      {"\x00\x01\x99\x99"s, 3, 0, "1"},
      {"\x00"s, 5, 0, "2020"},
      // damaged half-bytes read as 0
      {"\x0A\xBC\x12"s, 5, 0, "12"},
      // digit counts outside 1..31 give nothing, whatever the places
      {"\x00\x00\x00"s, 0, 2, ""},
      {"\x00\x00\x00"s, -1, 0, ""},
      {std::string(17, '\x11'), 32, 2, ""},
      // negative places count as none
      {"\x00\x01\x23"s, 5, -2, "123"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(engine::DecimalToText(c.raw, c.digits, c.places), c.text)
        << "digits " << c.digits << " places " << c.places << " expected " << c.text;
  }
}

}  // namespace
