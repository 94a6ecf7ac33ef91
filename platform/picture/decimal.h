// Exact decimal reading of the number a value text holds, for the pictures:
// rounding to places and digit extraction work on the decimal digits written,
// so 2.675 rounds to 2.68 as an accountant expects, not as a double would.
// Internal to platform/picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace picture::detail {

// value = (negative ? -1 : 1) * 0.d[0]d[1]...d[count-1] * 10^point, with no
// leading or trailing zero digit; zero has count 0.
struct Decimal {
  static constexpr int kMaxDigits = 40;  // beyond any stored number's precision
  static constexpr int kMaxPoint = 400;  // beyond any double's exponent
  bool negative = false;
  int count = 0;
  int point = 0;
  char d[kMaxDigits] = {};

  bool zero() const { return count == 0; }
  // The digit at 10^(point - 1 - i) for any i (0 outside the held digits).
  int digit(int i) const { return i >= 0 && i < count ? d[i] - '0' : 0; }
};

// The number at the start of a value text: leading blanks, an optional sign,
// digits with an optional decimal point, and an exponent (E or e, a sign,
// digits) when digits came before it, as the REAL text form writes large and
// small numbers. Anything after the number ends it; no digit gives 0.
Decimal read_decimal(std::string_view s);
Decimal from_double(double v);

// Rounds half away from zero so that no digit lies below 10^-places.
void round_to_places(Decimal& v, int places);
// Rounds to the first `digits` significant digits (digits >= 1).
void round_to_significant(Decimal& v, int digits);

// The value truncated toward zero, held at the ends of the 64-bit range.
std::int64_t truncate(const Decimal& v);

// The plain text of the value: "-" for a negative, the integer digits ("0"
// when there are none), and a point with the fraction digits when there are.
std::string plain_text(const Decimal& v);

}  // namespace picture::detail
