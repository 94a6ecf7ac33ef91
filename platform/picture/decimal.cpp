#include "platform/picture/decimal.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace picture::detail {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

void trim_trailing_zeros(Decimal& v) {
  while (v.count > 0 && v.d[v.count - 1] == '0') --v.count;
  if (v.count == 0) {
    v.point = 0;
    v.negative = false;
  }
}

// Keeps the first `keep` digits (keep may be <= 0) rounding on the next one.
void round_at(Decimal& v, int keep) {
  if (keep >= v.count) return;
  const bool up = v.digit(keep) >= 5;
  if (keep < 0) {
    v.count = 0;
    trim_trailing_zeros(v);
    return;
  }
  v.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && v.d[i] == '9') v.d[i--] = '0';
    if (i >= 0) {
      ++v.d[i];
    } else {
      // 0.999 -> 1.000: one more integer digit.
      v.d[0] = '1';
      v.count = 1;
      ++v.point;
      return;
    }
  }
  trim_trailing_zeros(v);
}

}  // namespace

Decimal read_decimal(std::string_view s) {
  Decimal v;
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) v.negative = s[i++] == '-';
  bool any_digit = false, seen_point = false;
  long point = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (!is_digit(c)) break;
    any_digit = true;
    if (v.count == 0 && c == '0') {
      if (seen_point) --point;  // a leading zero of the fraction
      continue;
    }
    if (v.count < Decimal::kMaxDigits) {
      v.d[v.count++] = c;
    }
    if (!seen_point && point < Decimal::kMaxPoint) ++point;
  }
  if (any_digit && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negative_exponent = false;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) negative_exponent = s[j++] == '-';
    if (j < s.size() && is_digit(s[j])) {
      long e = 0;
      for (; j < s.size() && is_digit(s[j]); ++j) {
        if (e < 100000) e = e * 10 + (s[j] - '0');
      }
      point += negative_exponent ? -e : e;
    }
  }
  if (point > Decimal::kMaxPoint) point = Decimal::kMaxPoint;
  if (point < -Decimal::kMaxPoint) {
    v.count = 0;  // far below any place a picture shows
  }
  v.point = static_cast<int>(point);
  trim_trailing_zeros(v);
  return v;
}

Decimal from_double(double value) {
  if (!std::isfinite(value)) return Decimal{};
  // 15 significant digits: what a double holds faithfully, and the REAL text
  // form's precision, so 0.1 stays 0.1.
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return read_decimal(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

void round_to_places(Decimal& v, int places) { round_at(v, v.point + places); }

void round_to_significant(Decimal& v, int digits) { round_at(v, digits); }

std::int64_t truncate(const Decimal& v) {
  if (v.point <= 0) return 0;
  if (v.point > 18) {
    return v.negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  }
  std::int64_t n = 0;
  for (int i = 0; i < v.point; ++i) n = n * 10 + v.digit(i);
  return v.negative ? -n : n;
}

std::string plain_text(const Decimal& v) {
  std::string out;
  if (v.negative && !v.zero()) out += '-';
  if (v.point <= 0) {
    out += '0';
  } else {
    for (int i = 0; i < v.point; ++i) out += static_cast<char>('0' + v.digit(i));
  }
  if (v.count > v.point) {
    out += '.';
    for (int i = v.point < 0 ? v.point : 0; i < 0; ++i) out += '0';
    for (int i = v.point > 0 ? v.point : 0; i < v.count; ++i) out += v.d[i];
  }
  return out;
}

}  // namespace picture::detail
