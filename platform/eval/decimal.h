// The evaluator's exact decimal numbers: 31 digits on each side of the point,
// as the runtime keeps its BCD intermediates, so sums of cents stay exact and
// 100000/3 carries 31 places. Fixed size, no heap; every operation that would
// leave the range says so instead of wrapping, and the caller decides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace eval {

class Decimal {
 public:
  static constexpr int kPlaces = 31;       // digits after the point
  static constexpr int kIntegerDigits = 31;  // digits before it

  Decimal() = default;
  static Decimal from_int(std::int64_t v);

  // Builds the number from its digit runs (only '0'..'9'); places beyond 31 are
  // cut. False when the whole part has more than 31 significant digits.
  static bool from_digits(std::string_view whole, std::string_view fraction, bool negative,
                          Decimal& out);

  bool is_zero() const;
  bool negative() const { return negative_ && !is_zero(); }
  bool is_integer() const;
  // The value as a 64-bit integer; false when it has a fraction or is too large.
  bool to_int64(std::int64_t& out) const;
  double to_double() const;

  // The shortest exact text: "-" for negatives, "0." before a pure fraction,
  // no trailing zeros after the point, no point for whole numbers. Writes at
  // most kMaxText bytes and returns the count.
  static constexpr std::size_t kMaxText = 2 + kIntegerDigits + 1 + kPlaces;
  std::size_t write(char* buffer) const;

  Decimal negated() const;
  Decimal abs() const;
  // The fraction cut toward zero.
  Decimal truncated() const;

  // Arithmetic: false when the result leaves the range (or on division by zero).
  static bool add(const Decimal& a, const Decimal& b, Decimal& out);
  static bool sub(const Decimal& a, const Decimal& b, Decimal& out);
  // Products and quotients keep 31 places, the rest cut toward zero.
  static bool mul(const Decimal& a, const Decimal& b, Decimal& out);
  static bool div(const Decimal& a, const Decimal& b, Decimal& out);
  // Remainder of the division cut toward zero; it takes the sign of a.
  static bool mod(const Decimal& a, const Decimal& b, Decimal& out);
  // The nearest multiple of |step|, halves away from zero.
  static bool round_to(const Decimal& a, const Decimal& step, Decimal& out);

  static int compare(const Decimal& a, const Decimal& b);

 private:
  // Magnitude scaled by 10^31, little-endian limbs of base 10^9: 7 limbs hold
  // 63 digits, the range needs 62.
  static constexpr int kLimbs = 7;
  using Limbs = std::array<std::uint32_t, kLimbs>;

  static bool in_range(const Limbs& m);
  // The result of a wide computation: false unless w[0..n) fits the range.
  static bool from_wide(const std::uint32_t* w, int n, bool negative, Decimal& out);
  static int compare_magnitude(const Limbs& a, const Limbs& b);

  Limbs m_{};
  bool negative_ = false;
};

}  // namespace eval
