#include "platform/text/text.h"

#include <charconv>
#include <cmath>
#include <limits>

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
  long last = std::min(n, position + length - 1);
  return s.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(last - position + 1));
}

int compare(std::string_view a, std::string_view b) {
  a = clip(a);
  b = clip(b);
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
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

std::int32_t truncate_long(double v) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double to_number(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  double v = 0;
  while (i < s.size() && is_digit(s[i])) v = v * 10 + (s[i++] - '0');
  if (i < s.size() && s[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < s.size() && is_digit(s[i])) {
      v += (s[i++] - '0') * scale;
      scale /= 10;
    }
  }
  return negative ? -v : v;
}

std::int32_t to_long(std::string_view s) { return truncate_long(to_number(s)); }

std::string deformat_reduce(std::string_view s) {
  std::string r;
  bool have_e = false, have_point = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    char prev = r.empty() ? '\0' : r.back();
    bool after_e = prev == 'E' || prev == 'e';
    if (is_digit(c)) {
      r += c;
    } else if (c == '-' && (r.empty() || after_e)) {
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
  std::string r = deformat_reduce(s);
  std::size_t i = 0;
  bool negative = false;
  if (i < r.size() && r[i] == '-') {
    negative = true;
    ++i;
  }
  double mantissa = 0;
  bool digits = false;
  while (i < r.size() && is_digit(r[i])) {
    mantissa = mantissa * 10 + (r[i++] - '0');
    digits = true;
  }
  if (i < r.size() && r[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < r.size() && is_digit(r[i])) {
      mantissa += (r[i++] - '0') * scale;
      scale /= 10;
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < r.size() && (r[i] == 'E' || r[i] == 'e')) {
    ++i;
    bool exp_negative = false;
    if (i < r.size() && (r[i] == '-' || r[i] == '+')) exp_negative = r[i++] == '-';
    int exponent = 0;
    while (i < r.size() && is_digit(r[i])) {
      exponent = std::min(exponent * 10 + (r[i++] - '0'), 400);
    }
    mantissa *= std::pow(10.0, exp_negative ? -exponent : exponent);
  }
  return truncate_long(negative ? -mantissa : mantissa);
}

}  // namespace text
