// Texts read as numbers and numbers written as texts: the runtime's conversion,
// DEFORMAT without a picture (the number words of the SELECT keywords), and
// integer texts. The traps are blanks, signs, 32-bit limits and decimal
// fractions that a binary double cannot hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/text/text.h"

namespace {

using namespace std::string_view_literals;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::string quoted(std::string_view s) { return testing::PrintToString(std::string(s)); }

// ---- the runtime's text-to-number conversion --------------------------------------

TEST(TextToNumber, LeadingBlanksSignDigitsPointThenAnythingEnds) {
  struct Case {
    std::string_view input;
    std::int32_t truncated;
  };
  const Case cases[] = {
      {""sv, 0},
      {"   "sv, 0},
      {"abc"sv, 0},
      {"42"sv, 42},
      {"  42"sv, 42},
      {"+42"sv, 42},
      {"-42"sv, -42},
      {"  -42abc"sv, -42},
      {"1,000"sv, 1},       // a comma ends the number
      {"1.5e3"sv, 1},       // so does an exponent
      {"- 5"sv, 0},         // the sign must touch the digits
      {"+-5"sv, 0},
      {"\t5"sv, 0},         // only blanks lead
      {"3.99"sv, 3},        // truncated toward zero
      {"-3.99"sv, -3},
      {"-0.5"sv, 0},
      {".5"sv, 0},
      {"7."sv, 7},
      {"0000000000000000000042"sv, 42},
      {"4.35"sv, 4},
      {"2.99999999999999999999"sv, 2},  // nearer to 3 than any double is to it
      {"-2.99999999999999999999"sv, -2},
      // the 32-bit ends, and beyond them
      {"2147483647"sv, kMax},
      {"2147483647.9"sv, kMax},
      {"2147483648"sv, kMax},
      {"-2147483648"sv, kMin},
      {"-2147483648.9"sv, kMin},
      {"-2147483649"sv, kMin},
      {"4294967296"sv, kMax},
      {"99999999999999999999999"sv, kMax},
      {"-99999999999999999999999"sv, kMin},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::to_long(c.input), c.truncated) << quoted(c.input);
  }
  EXPECT_EQ(text::to_long(std::string(400, '9')), kMax);
  EXPECT_EQ(text::to_long("-" + std::string(400, '9')), kMin);
}

TEST(TextToNumber, DecimalFractionsAreTheNearestDouble) {
  struct Case {
    std::string_view input;
    double value;
  };
  const Case cases[] = {
      {"0.3"sv, 0.3},       {"1.25"sv, 1.25},           {"-0.5"sv, -0.5},
      {"  12.5xyz"sv, 12.5}, {"123.456"sv, 123.456},      {"0.1234567890123"sv, 0.1234567890123},
      {"+7."sv, 7.0},        {".75"sv, 0.75},             {"9007199254740993"sv, 9007199254740992.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::to_number(c.input), c.value) << quoted(c.input);
  }
  EXPECT_EQ(text::to_number(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(text::to_number("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(TextToNumber, NoNumberIsAPlainZero) {
  for (std::string_view s : {""sv, "-"sv, "- 1"sv, "-x"sv, "-."sv, "-0"sv, "-0.000"sv}) {
    const double v = text::to_number(s);
    EXPECT_EQ(v, 0.0) << quoted(s);
    EXPECT_FALSE(std::signbit(v)) << quoted(s) << " must not write as -0";
  }
}

// ---- DEFORMAT without a picture ------------------------------------------------------

TEST(DeformatWithoutPicture, KeepsDigitsSignsFirstPointAndFirstE) {
  struct Case {
    std::string_view input, kept;
  };
  const Case cases[] = {
      {""sv, ""sv},
      {"x"sv, ""sv},
      {"5"sv, "5"sv},
      {"1,000"sv, "1000"sv},
      {"10,CUS:NAME"sv, "10E"sv},        // the E of NAME is the first E
      {"-1,234.50"sv, "-1234.50"sv},
      {"12:30:00"sv, "123000"sv},
      {"1.2.3"sv, "1.23"sv},             // only the first point
      {"1e-5"sv, "1e-5"sv},
      {"1E+5"sv, "1E+5"sv},
      {"1ee5"sv, "1e5"sv},               // only the first E
      {"+5"sv, "5"sv},                   // a plus counts only after an E
      {"5-"sv, "5"sv},
      {"5-3"sv, "53"sv},
      {"--5"sv, "-5"sv},
      {"x-5"sv, "5"sv},                  // a minus counts only as the first character ...
      {"$-5"sv, "5"sv},
      {"1e5E-3"sv, "1e5-3"sv},           // ... or after an E, even one that is dropped
      {"1e,-5"sv, "1e5"sv},
      {"(12)"sv, "12"sv},
      {"\xC9\xE9"sv, ""sv},              // accented E's are not E's
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::deformat_reduce(c.input), c.kept) << quoted(c.input);
  }
}

TEST(DeformatWithoutPicture, ReadAsADecimalAndTruncatedInto32Bits) {
  struct Case {
    std::string_view input;
    std::int32_t value;
  };
  const Case cases[] = {
      // the number words after TOP, BOTTOM and STARTAT
      {"5"sv, 5},
      {"-1"sv, -1},
      {""sv, 0},
      {"x"sv, 0},
      {"1,000"sv, 1000},
      {"10,CUS:NAME"sv, 10},
      {"1234"sv, 1234},
      // fractions and exponents
      {"1.9"sv, 1},
      {"-1.9"sv, -1},
      {"5."sv, 5},
      {".5e1"sv, 5},
      {"1e3"sv, 1000},
      {"1.5E2"sv, 150},
      {"15e-1"sv, 1},
      {"-15e-1"sv, -1},
      {"4.35e2"sv, 435},                 // 4.35 as a double is below 4.35
      {"8.2e2"sv, 820},
      {"0.000123e5"sv, 12},
      {"2.99999999999999999999"sv, 2},
      {"1e"sv, 1},
      {"1e+"sv, 1},
      {"1e-"sv, 1},
      {"e5"sv, 0},                       // no digit before the E
      {"-e5"sv, 0},
      {"."sv, 0},
      {"-"sv, 0},
      {"-0"sv, 0},
      {"0000000042"sv, 42},
      // the 32-bit ends
      {"2147483647"sv, kMax},
      {"2147483648"sv, kMax},
      {"-2147483648"sv, kMin},
      {"-2147483649"sv, kMin},
      {"2,147,483,648"sv, kMax},
      {"1e10"sv, kMax},
      {"-1e10"sv, kMin},
      {"1e999999999999"sv, kMax},
      {"0e999999999999"sv, 0},
      {"1e-999999999999"sv, 0},
      {"0.0000000000000000000000000000000000001e37"sv, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::deformat_to_long(c.input), c.value) << quoted(c.input);
  }
  EXPECT_EQ(text::deformat_to_long(std::string(400, '7')), kMax);
  EXPECT_EQ(text::deformat_to_long("-" + std::string(400, '7')), kMin);
  EXPECT_EQ(text::deformat_to_long("0." + std::string(400, '0') + "1e402"), 10);
}

// ---- integer texts ------------------------------------------------------------------

TEST(IntText, DigitsWithoutBlanksOrLeadingZeros) {
  struct Case {
    std::int64_t value;
    std::string_view written;
  };
  const Case cases[] = {
      {0, "0"sv},
      {7, "7"sv},
      {-7, "-7"sv},
      {100, "100"sv},
      {-100, "-100"sv},
      {kMax, "2147483647"sv},
      {kMin, "-2147483648"sv},
      {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"sv},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"sv},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::int_text(c.value), c.written);
    if (c.value >= kMin && c.value <= kMax) {
      EXPECT_EQ(text::to_long(c.written), c.value);  // and read back
    }
  }
}

}  // namespace
