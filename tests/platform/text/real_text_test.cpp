// The REAL text form: 15 significant digits, plain between the decimal
// exponents -4 and 14, exponent notation beyond.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/text/text.h"

namespace {

struct RealCase {
  double value;
  const char* text;
};

TEST(RealText, FifteenSignificantDigitsPlainOrWithExponent) {
  const RealCase cases[] = {
      {100, "100"},
      {0.5, "0.5"},
      {1.0 / 3, "0.333333333333333"},
      {static_cast<double>(0.1f), "0.100000001490116"},  // an SREAL widened
      {4294967295.0, "4294967295"},
      {-2.25, "-2.25"},
      {0.0, "0"},
      {-0.0, "0"},
      {123456789012345.0, "123456789012345"},  // exponent 14: still plain
      {1234567890123456.0, "1.23456789012346E+15"},
      {1.5e20, "1.5E+20"},
      {0.0001, "0.0001"},  // exponent -4: still plain
      {0.00001, "1E-05"},
      {-2.5e-300, "-2.5E-300"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const RealCase& c : cases) {
    EXPECT_EQ(text::real_text(c.value), c.text) << c.value;
  }
  EXPECT_EQ(text::real_text(std::nan("")), "NAN");
}

}  // namespace
