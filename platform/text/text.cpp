#include "platform/text/text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace text {

std::string_view clip(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

std::string_view trim_left(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

std::string_view trim(std::string_view s) { return clip(trim_left(s)); }

std::string left(std::string_view s) { return left(s, s.size()); }

std::string left(std::string_view s, std::size_t n) { return pad(trim_left(s), n); }

std::string right(std::string_view s) { return right(s, s.size()); }

std::string right(std::string_view s, std::size_t n) {
  std::string_view body = clip(s);
  if (body.size() >= n) return std::string(body.substr(body.size() - n));
  return std::string(n - body.size(), ' ') + std::string(body);
}

char upper(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
  }
}

char lower(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 0x20);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 0x20);
  switch (u) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
  }
}

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = upper(c);
  return r;
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = lower(c);
  return r;
}

std::size_t instring(std::string_view sub, std::string_view s, std::size_t start) {
  if (sub.empty() || start < 1 || start > s.size()) return 0;
  std::size_t p = s.find(sub, start - 1);
  return p == std::string_view::npos ? 0 : p + 1;
}

bool numeric(std::string_view s) {
  s = clip(s);
  std::size_t i = 0;
  if (i < s.size() && s[i] == '-') ++i;
  bool digit = false, point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

std::string_view slice(std::string_view s, std::size_t first, std::size_t last) {
  if (first < 1) first = 1;
  if (last > s.size()) last = s.size();
  if (first > last) return {};
  return s.substr(first - 1, last - first + 1);
}

std::string_view sub(std::string_view s, long position, long length) {
  long n = static_cast<long>(s.size());
  if (position < 0) position = n + position + 1;
  if (position < 1 || position > n || length <= 0) return {};
  const long available = n - position + 1;
  return s.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(std::min(length, available)));
}

int compare(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  const int c = a.substr(0, n).compare(b.substr(0, n));
  if (c != 0) return c < 0 ? -1 : 1;
  // The longer text's rest against the blanks that pad the shorter one.
  const bool a_longer = a.size() > n;
  for (char ch : (a_longer ? a : b).substr(n)) {
    if (ch != ' ') return (static_cast<unsigned char>(ch) > ' ') == a_longer ? 1 : -1;
  }
  return 0;
}

bool blank(std::string_view s) { return clip(s).empty(); }

std::string pad(std::string_view s, std::size_t n) {
  std::string r(s.substr(0, std::min(s.size(), n)));
  r.resize(n, ' ');
  return r;
}

std::string int_text(std::int64_t v) { return std::to_string(v); }

std::size_t write_real_text(double v, char* out) {
  if (v == 0) {  // -0 too: a stored REAL of -0 shows no sign
    out[0] = '0';
    return 1;
  }
  // to_chars with a precision is printf's %.15g, without printf's locale and cost.
  const auto res = std::to_chars(out, out + kRealTextMax, v, std::chars_format::general, 15);
  const std::size_t n = static_cast<std::size_t>(res.ptr - out);
  for (std::size_t i = 0; i < n; ++i) out[i] = upper(out[i]);
  return n;
}

std::string real_text(double v) {
  char buf[kRealTextMax];
  return std::string(buf, write_real_text(v, buf));
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as written in a text: its sign and the digits on either
// side of the point, kept as digits so that nothing is lost before truncation.
struct DecimalText {
  bool negative = false;
  std::string_view whole;     // digits before the point
  std::string_view fraction;  // digits after it
  std::size_t begin = 0;      // where the digits (or the point) start
  std::size_t end = 0;        // where the number stopped
  bool has_digits() const { return !whole.empty() || !fraction.empty(); }
};

DecimalText read_decimal(std::string_view s, std::size_t i) {
  DecimalText d;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    d.negative = s[i] == '-';
    ++i;
  }
  d.begin = i;
  std::size_t from = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  d.whole = s.substr(from, i - from);
  if (i < s.size() && s[i] == '.') {
    from = ++i;
    while (i < s.size() && is_digit(s[i])) ++i;
    d.fraction = s.substr(from, i - from);
  }
  d.end = i;
  return d;
}

// d x 10^exponent truncated toward zero into 32 bits, held at the range's
// ends. Worked on the decimal digits: through a double, 4.35e2 would truncate
// to 434 and 2.99999999999999999999 to 3.
std::int32_t truncate_long(const DecimalText& d, std::int64_t exponent) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::size_t count = d.whole.size() + d.fraction.size();
  auto digit = [&d](std::size_t k) -> int {
    if (k < d.whole.size()) return d.whole[k] - '0';
    k -= d.whole.size();
    return k < d.fraction.size() ? d.fraction[k] - '0' : 0;  // zeros beyond the last digit
  };
  std::size_t first = 0;
  while (first < count && digit(first) == 0) ++first;
  const std::int64_t point = static_cast<std::int64_t>(d.whole.size()) + exponent;
  if (first == count || point <= static_cast<std::int64_t>(first)) return 0;
  std::int64_t v = 0;
  if (point - static_cast<std::int64_t>(first) > 10) {
    v = kMax + 2;  // more digits than 32 bits hold
  } else {
    for (auto k = static_cast<std::int64_t>(first); k < point; ++k) v = v * 10 + digit(static_cast<std::size_t>(k));
  }
  if (d.negative) return v > kMax + 1 ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(-v);
  return v > kMax ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(v);
}

std::size_t skip_blanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return i;
}

}  // namespace

double to_number(std::string_view s) {
  const DecimalText d = read_decimal(s, skip_blanks(s));
  if (!d.has_digits()) return 0;
  // The digits and the point stand together in s; from_chars gives the nearest
  // double and, unlike strtod, ignores the process's locale.
  double v = 0;
  const auto [ptr, error] = std::from_chars(s.data() + d.begin, s.data() + d.end, v);
  if (error == std::errc::result_out_of_range) {
    v = d.whole.find_first_not_of('0') == std::string_view::npos ? 0.0 : HUGE_VAL;
  }
  if (v == 0) return 0;  // the runtime's numbers have no -0
  return d.negative ? -v : v;
}

std::int32_t to_long(std::string_view s) { return truncate_long(read_decimal(s, skip_blanks(s)), 0); }

std::string deformat_reduce(std::string_view s) {
  std::string r;
  bool have_e = false, have_point = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    // Signs are judged by their neighbour in s, not in what has been kept.
    const bool after_e = i > 0 && (s[i - 1] == 'E' || s[i - 1] == 'e');
    if (is_digit(c)) {
      r += c;
    } else if (c == '-' && (i == 0 || after_e)) {
      r += c;
    } else if (c == '+' && after_e) {
      r += c;
    } else if ((c == 'E' || c == 'e') && !have_e) {
      have_e = true;
      r += c;
    } else if (c == '.' && !have_point) {
      have_point = true;
      r += c;
    }
  }
  return r;
}

std::int32_t deformat_to_long(std::string_view s) {
  const std::string r = deformat_reduce(s);
  const DecimalText d = read_decimal(r, 0);
  if (!d.has_digits()) return 0;
  // Far beyond any text's length, so the cap never changes a result.
  constexpr std::int64_t kExponentCap = 1'000'000'000'000;
  std::int64_t exponent = 0;
  std::size_t i = d.end;
  if (i < r.size() && (r[i] == 'E' || r[i] == 'e')) {
    ++i;
    bool negative = false;
    if (i < r.size() && (r[i] == '-' || r[i] == '+')) negative = r[i++] == '-';
    while (i < r.size() && is_digit(r[i])) exponent = std::min(exponent * 10 + (r[i++] - '0'), kExponentCap);
    if (negative) exponent = -exponent;
  }
  return truncate_long(d, exponent);
}

}  // namespace text
