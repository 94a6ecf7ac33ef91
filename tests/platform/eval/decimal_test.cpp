// The exact decimal numbers under the evaluator: long division checked against
// multiplication, and the edges of the 31+31 digit range.
#include "platform/eval/decimal.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using eval::Decimal;

std::string text(const Decimal& d) {
  char buffer[Decimal::kMaxText];
  return std::string(buffer, d.write(buffer));
}

Decimal make(std::string_view whole, std::string_view fraction = {}, bool negative = false) {
  Decimal d;
  EXPECT_TRUE(Decimal::from_digits(whole, fraction, negative, d)) << whole << "." << fraction;
  return d;
}

std::string random_digits(std::mt19937_64& rng, int max_count) {
  int n = std::uniform_int_distribution<int>(0, max_count)(rng);
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + rng() % 10);
  // Runs of nines and zeros are where a quotient digit is most often guessed wrong.
  if (rng() % 4 == 0) std::fill(s.begin(), s.begin() + s.size() / 2, '9');
  if (rng() % 4 == 0) std::fill(s.begin() + s.size() / 2, s.end(), '0');
  return s;
}

// trunc(a / b) * b + (a mod b) must give a back, with |a mod b| < |b|: the
// quotient and the remainder come from the long division, the check from the
// independent schoolbook multiplication and addition.
TEST(Decimal, DivisionAgreesWithMultiplication) {
  std::mt19937_64 rng(20240704);
  int checked = 0;
  for (int round = 0; round < 20000; ++round) {
    Decimal a = make(random_digits(rng, 31), random_digits(rng, 31), rng() % 2);
    Decimal b = make(random_digits(rng, 16), random_digits(rng, 31), rng() % 2);
    if (b.is_zero()) continue;
    Decimal q, r, back;
    if (!Decimal::div(a, b, q)) continue;  // the quotient leaves the range
    ASSERT_TRUE(Decimal::mod(a, b, r));
    ASSERT_LT(Decimal::compare(r.abs(), b.abs()), 0) << text(a) << " % " << text(b);
    ASSERT_TRUE(Decimal::mul(q.truncated(), b, back));
    ASSERT_TRUE(Decimal::add(back, r, back));
    ASSERT_EQ(text(back), text(a)) << text(a) << " / " << text(b) << " = " << text(q);
    ++checked;
  }
  EXPECT_GT(checked, 10000);
}

// Operands whose first quotient digit passes the two-limb estimate and is still
// one too large: the long division must add the divisor back.
TEST(Decimal, QuotientDigitGuessedTooLarge) {
  Decimal a = make("49999", "9999999999998022353274463486610");
  Decimal b = make("0", "0000500000001000000000500000001");
  Decimal r, q;
  ASSERT_TRUE(Decimal::mod(a, b, r));
  EXPECT_EQ(text(r), "0.0000500000000522353274963486613");
  ASSERT_TRUE(Decimal::div(a, b, q));
  EXPECT_EQ(text(q), "999999997.9999999990447065508375601232801");
}

TEST(Decimal, RangeEdges) {
  const std::string max_whole(31, '9'), max_fraction(31, '9');
  Decimal d;
  EXPECT_TRUE(Decimal::from_digits(max_whole, max_fraction, false, d));
  EXPECT_EQ(text(d), max_whole + "." + max_fraction);
  EXPECT_FALSE(Decimal::from_digits("1" + std::string(31, '0'), "", false, d));
  EXPECT_TRUE(Decimal::from_digits("000" + max_whole, "", false, d));  // leading zeros do not count
  EXPECT_EQ(text(make("0", "1234567890123456789012345678901999")), "0.1234567890123456789012345678901");

  Decimal big = make(max_whole, max_fraction), tiny = make("0", std::string(30, '0') + "1"), r;
  EXPECT_FALSE(Decimal::add(big, tiny, r));
  EXPECT_TRUE(Decimal::sub(big, tiny, r));
  EXPECT_FALSE(Decimal::sub(big.negated(), tiny, r));
  EXPECT_FALSE(Decimal::mul(big, make("2"), r));
  EXPECT_TRUE(Decimal::mul(tiny, tiny, r));
  EXPECT_TRUE(r.is_zero());  // below the last place
  EXPECT_FALSE(Decimal::div(big, tiny, r));
  EXPECT_FALSE(Decimal::div(big, Decimal(), r));
  EXPECT_FALSE(Decimal::mod(big, Decimal(), r));
  EXPECT_EQ(text(make("0", "", true)), "0");
  EXPECT_FALSE(make("0", "", true).negative());

  std::int64_t v = 0;
  EXPECT_TRUE(Decimal::from_int(INT64_MIN).to_int64(v));
  EXPECT_EQ(v, INT64_MIN);
  EXPECT_TRUE(Decimal::from_int(INT64_MAX).to_int64(v));
  EXPECT_EQ(v, INT64_MAX);
  EXPECT_FALSE(make("9223372036854775808").to_int64(v));
  EXPECT_TRUE(make("9223372036854775808", "", true).to_int64(v));
  EXPECT_EQ(v, INT64_MIN);
  EXPECT_FALSE(make("1", "5").to_int64(v));
  EXPECT_EQ(make("12", "75").to_double(), 12.75);
}

TEST(Decimal, RoundToAStep) {
  struct {
    const char* whole;
    const char* fraction;
    bool negative;
    const char* step_whole;
    const char* step_fraction;
    const char* expected;
  } cases[] = {
      {"5", "678", false, "0", "01", "5.68"},
      {"5", "675", false, "0", "01", "5.68"},
      {"5", "675", true, "0", "01", "-5.68"},
      {"5", "6749999", false, "0", "01", "5.67"},
      {"0", "004", false, "0", "01", "0"},
      {"1249", "", false, "100", "", "1200"},
      {"1250", "", false, "100", "", "1300"},
      {"7", "", false, "0", "25", "7"},
      {"7", "2", false, "0", "25", "7.25"},
      {"0", "3", false, "1", "", "0"},
  };
  for (const auto& c : cases) {
    Decimal r;
    ASSERT_TRUE(Decimal::round_to(make(c.whole, c.fraction, c.negative), make(c.step_whole, c.step_fraction), r));
    EXPECT_EQ(text(r), c.expected) << c.whole << "." << c.fraction;
  }
}

}  // namespace
