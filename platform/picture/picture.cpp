#include "platform/picture/picture.h"

#include <cstdint>

#include "platform/picture/date.h"
#include "platform/picture/decimal.h"
#include "platform/picture/layout.h"
#include "platform/picture/token.h"
#include "platform/text/text.h"

namespace picture {
namespace {

using detail::Decimal;
using detail::Family;
using detail::Out;
using detail::Token;

std::string hashes(std::size_t n) { return std::string(n, '#'); }

std::string format_date(const Token& t, std::int64_t v) {
  if (v == 0) return {};
  const detail::DatePattern p = detail::date_pattern(t.layout);
  if (v < kFirstDate || v > kLastDate) return hashes(detail::date_width(p));
  Out out;
  detail::write_date(p, t.separator, t.zero_fill, static_cast<std::int32_t>(v), out);
  return std::string(out.view());
}

std::string format_time(const Token& t, std::int64_t v) {
  if (v == 0 && t.blank_zero) return {};
  if (v < kFirstTime || v > kLastTime) v = kFirstTime;
  Out out;
  detail::write_time(detail::time_pattern(t.layout), t.separator, t.zero_fill, static_cast<std::int32_t>(v), out);
  return std::string(out.view());
}

// The number laid out right-aligned in the picture's width:
//   [currency][sign][fill ...] digits [sign][currency]
// Without a fill the currency and the leading sign float against the digits.
std::string format_number(const Token& t, Decimal v) {
  detail::round_to_places(v, t.places);
  if (v.zero() && t.blank_zero) return {};
  const bool negative = v.negative && !v.zero();
  const std::size_t size = static_cast<std::size_t>(t.size);

  // Digits, a group separator per three, the point and the places.
  char core[4 * detail::kMaxNumberSize + 8];
  std::size_t n = 0;
  const int int_digits = v.point > 0 ? v.point : 0;
  if (int_digits > detail::kMaxNumberSize) return hashes(size);
  if (int_digits == 0) {
    core[n++] = '0';
  } else {
    for (int i = 0; i < int_digits; ++i) {
      if (t.grouping && i > 0 && (int_digits - i) % 3 == 0) core[n++] = t.grouping;
      core[n++] = static_cast<char>('0' + v.digit(i));
    }
  }
  if (t.places > 0) {
    if (t.decimal) core[n++] = t.decimal;
    for (int i = 0; i < t.places; ++i) core[n++] = static_cast<char>('0' + v.digit(v.point + i));
  }
  const std::string_view digits(core, n);

  const std::string_view front = t.currency_after ? std::string_view{} : t.currency;
  const std::string_view back = t.currency_after ? t.currency : std::string_view{};
  const std::string_view lead = negative && t.lead_sign ? std::string_view(t.lead_sign == '(' ? "(" : "-") : "";
  const std::string_view trail = !t.trail_sign ? "" : !negative ? " " : t.trail_sign == ')' ? ")" : "-";

  const std::size_t used = front.size() + lead.size() + digits.size() + trail.size() + back.size();
  if (used > size) return hashes(size);
  std::string out;
  out.reserve(size);
  if (t.fill) {
    out.append(front).append(lead).append(size - used, t.fill);
  } else {
    out.append(size - used, ' ').append(front).append(lead);
  }
  out.append(digits).append(trail).append(back);
  return out;
}

// Mantissa with `places` digits before its point and the rest of the width
// after it, the exponent as e, a sign and three digits; one position for the
// sign of the number.
std::string format_scientific(const Token& t, Decimal v) {
  if (v.zero() && t.blank_zero) return {};
  const std::size_t size = static_cast<std::size_t>(t.size);
  const int before = t.places;
  const int after = t.size - 1 - 5 - before - 1;
  if (after < 0 || before + after < 1) return hashes(size);
  int exponent = 0;
  if (!v.zero()) {
    detail::round_to_significant(v, before + after);
    exponent = v.point - before;
  }
  const bool negative = v.negative && !v.zero();
  char buf[detail::kMaxNumberSize + 16];
  std::size_t n = 0;
  if (negative) buf[n++] = '-';
  for (int i = 0; i < before; ++i) buf[n++] = static_cast<char>('0' + v.digit(i));
  buf[n++] = '.';
  for (int i = 0; i < after; ++i) buf[n++] = static_cast<char>('0' + v.digit(before + i));
  buf[n++] = 'e';
  buf[n++] = exponent < 0 ? '-' : '+';
  const int e = exponent < 0 ? -exponent : exponent;
  if (e >= 1000) buf[n++] = static_cast<char>('0' + e / 1000 % 10);
  buf[n++] = static_cast<char>('0' + e / 100 % 10);
  buf[n++] = static_cast<char>('0' + e / 10 % 10);
  buf[n++] = static_cast<char>('0' + e % 10);
  if (n > size) return hashes(size);
  std::string out(size - n, ' ');
  out.append(buf, n);
  return out;
}

std::string format_string(const Token& t, std::string_view value) {
  return text::pad(value, static_cast<std::size_t>(t.size));
}

std::string format_number_family(const Token& t, const Decimal& v) {
  switch (t.family) {
    case Family::Date: return format_date(t, detail::truncate(v));
    case Family::Time: return format_time(t, detail::truncate(v));
    case Family::Number: return format_number(t, v);
    case Family::Scientific: return format_scientific(t, v);
    default: return {};
  }
}

// DEFORMAT of a number picture: the digits, the picture's decimal separator
// (the first one) and a minus sign or parentheses anywhere; grouping, blanks,
// currency and anything else are dropped.
std::string deformat_number(const Token& t, std::string_view s) {
  std::string plain;
  bool negative = false, point = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      plain += c;
    } else if (t.decimal && c == t.decimal && !point && t.grouping != t.decimal) {
      plain += '.';
      point = true;
    } else if (c == '-' || c == '(') {
      negative = true;
    }
  }
  if (!t.decimal && t.places > 0 && !plain.empty()) {
    // The implied point stands before the last `places` digits.
    const std::size_t p = plain.size() > static_cast<std::size_t>(t.places) ? plain.size() - t.places : 0;
    plain.insert(p, p == 0 ? "0." + std::string(t.places - plain.size(), '0') : ".");
  }
  Decimal v = detail::read_decimal(plain);
  v.negative = negative && !v.zero();
  return detail::plain_text(v);
}

}  // namespace

std::string format(std::string_view value, std::string_view picture) {
  const Token t = detail::parse_token(picture);
  switch (t.family) {
    case Family::Invalid: return std::string(value);
    case Family::String: return format_string(t, value);
    default: return format_number_family(t, detail::read_decimal(value));
  }
}

std::string format(double value, std::string_view picture) {
  const Token t = detail::parse_token(picture);
  switch (t.family) {
    case Family::Invalid:
    case Family::String: {
      const std::string text = detail::plain_text(detail::from_double(value));
      return t.family == Family::Invalid ? text : format_string(t, text);
    }
    default: return format_number_family(t, detail::from_double(value));
  }
}

std::string deformat(std::string_view s, std::string_view picture) {
  if (text::blank(picture)) return text::deformat_reduce(s);
  const Token t = detail::parse_token(picture);
  switch (t.family) {
    case Family::Date: return text::int_text(detail::read_date(detail::date_pattern(t.layout), s));
    case Family::Time: return text::int_text(detail::read_time(detail::time_pattern(t.layout), s));
    case Family::Number: return deformat_number(t, s);
    case Family::Scientific: return detail::plain_text(detail::read_decimal(s));
    default: return std::string(s);
  }
}

}  // namespace picture
