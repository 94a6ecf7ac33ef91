#include "platform/eval/value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/files/errors.h"
#include "platform/text/text.h"

namespace eval {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

Decimal as_decimal(const Value& v) { return v.kind == Kind::Integer ? Decimal::from_int(v.i) : v.d; }

double as_double(const Value& v) {
  switch (v.kind) {
    case Kind::Integer: return static_cast<double>(v.i);
    case Kind::Decimal: return v.d.to_double();
    case Kind::Real: return v.r;
    case Kind::Text: break;
  }
  return 0;
}

int set_real_result(double r, Value& out) {
  if (!std::isfinite(r)) return files::kIllegalExpression;
  out.set_real(r);
  return 0;
}

int real_arithmetic(Op op, double x, double y, Value& out) {
  switch (op) {
    case Op::Add: return set_real_result(x + y, out);
    case Op::Sub: return set_real_result(x - y, out);
    case Op::Mul: return set_real_result(x * y, out);
    case Op::Div:
      if (y == 0) return files::kIllegalExpression;
      return set_real_result(x / y, out);
    case Op::Mod:
      if (y == 0) return files::kIllegalExpression;
      return set_real_result(std::fmod(x, y), out);
    case Op::Pow: return set_real_result(std::pow(x, y), out);
  }
  return files::kIllegalExpression;
}

// base^e for a whole exponent, exact while the decimal range holds.
int decimal_power(const Decimal& base, std::int64_t e, Value& out) {
  std::uint64_t n = e < 0 ? 0 - static_cast<std::uint64_t>(e) : static_cast<std::uint64_t>(e);
  Decimal result = Decimal::from_int(1);
  Decimal b = base;
  bool ok = true;
  while (n != 0 && ok) {
    if (n & 1) ok = Decimal::mul(result, b, result);
    n >>= 1;
    if (n != 0 && ok) ok = Decimal::mul(b, b, b);
  }
  if (ok && e < 0) {
    if (base.is_zero()) return files::kIllegalExpression;
    // A power too small for 31 places leaves nothing to divide by.
    ok = !result.is_zero() && Decimal::div(Decimal::from_int(1), result, result);
  }
  if (!ok) return set_real_result(std::pow(base.to_double(), static_cast<double>(e)), out);
  out.set_decimal(result);
  return 0;
}

int power(const Value& a, const Value& b, Value& out) {
  std::int64_t e = 0;
  bool whole = b.kind == Kind::Integer ? (e = b.i, true) : b.kind == Kind::Decimal && b.d.to_int64(e);
  if (a.kind == Kind::Real || b.kind == Kind::Real || !whole) {
    return set_real_result(std::pow(as_double(a), as_double(b)), out);
  }
  if (a.kind == Kind::Integer && e >= 0) {
    std::uint64_t n = static_cast<std::uint64_t>(e);
    std::int64_t result = 1, base = a.i;
    bool overflow = false;
    while (n != 0 && !overflow) {
      if (n & 1) overflow = __builtin_mul_overflow(result, base, &result);
      n >>= 1;
      if (n != 0 && !overflow) overflow = __builtin_mul_overflow(base, base, &base);
    }
    if (!overflow) {
      out.set_integer(result);
      return 0;
    }
  }
  return decimal_power(as_decimal(a), e, out);
}

int decimal_arithmetic(Op op, const Value& a, const Value& b, Value& out) {
  Decimal x = as_decimal(a), y = as_decimal(b), r;
  bool ok = false;
  switch (op) {
    case Op::Add: ok = Decimal::add(x, y, r); break;
    case Op::Sub: ok = Decimal::sub(x, y, r); break;
    case Op::Mul: ok = Decimal::mul(x, y, r); break;
    case Op::Div:
      if (y.is_zero()) return files::kIllegalExpression;
      ok = Decimal::div(x, y, r);
      break;
    case Op::Mod:
      if (y.is_zero()) return files::kIllegalExpression;
      ok = Decimal::mod(x, y, r);
      break;
    case Op::Pow: return power(a, b, out);
  }
  // Beyond 31 digits before the point only floating point can hold the result.
  if (!ok) return real_arithmetic(op, x.to_double(), y.to_double(), out);
  out.set_decimal(r);
  return 0;
}

int integer_arithmetic(Op op, std::int64_t x, std::int64_t y, const Value& a, const Value& b, Value& out) {
  std::int64_t r = 0;
  switch (op) {
    case Op::Add:
      if (__builtin_add_overflow(x, y, &r)) break;
      out.set_integer(r);
      return 0;
    case Op::Sub:
      if (__builtin_sub_overflow(x, y, &r)) break;
      out.set_integer(r);
      return 0;
    case Op::Mul:
      if (__builtin_mul_overflow(x, y, &r)) break;
      out.set_integer(r);
      return 0;
    case Op::Div:
      if (y == 0) return files::kIllegalExpression;
      if (y != -1 && x % y == 0) {
        out.set_integer(x / y);
        return 0;
      }
      break;  // a fraction, or the one quotient 64 bits cannot hold
    case Op::Mod:
      if (y == 0) return files::kIllegalExpression;
      out.set_integer(y == -1 ? 0 : x % y);
      return 0;
    case Op::Pow: return power(a, b, out);
  }
  return decimal_arithmetic(op, a, b, out);
}

bool text_is_number(std::string_view s) {
  s = text::trim_left(s);
  return text::blank(s) || text::numeric(s);
}

int compare_numbers(const Value& a, const Value& b) {
  if (a.kind == Kind::Integer && b.kind == Kind::Integer) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  if (a.kind == Kind::Real || b.kind == Kind::Real) {
    double x = as_double(a), y = as_double(b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  return Decimal::compare(as_decimal(a), as_decimal(b));
}

}  // namespace

static_assert(sizeof(NumberText::data) >= text::kRealTextMax);

std::string_view text_of(const Value& v, NumberText& buffer) {
  switch (v.kind) {
    case Kind::Text: return v.text();
    case Kind::Integer: {
      auto res = std::to_chars(buffer.data, buffer.data + sizeof buffer.data, v.i);
      return {buffer.data, static_cast<std::size_t>(res.ptr - buffer.data)};
    }
    case Kind::Decimal: return {buffer.data, v.d.write(buffer.data)};
    case Kind::Real: return {buffer.data, text::write_real_text(v.r, buffer.data)};
  }
  return {};
}

void append_text(const Value& v, std::string& out) {
  NumberText buffer;
  out.append(text_of(v, buffer));
}

bool truth(const Value& v) {
  switch (v.kind) {
    case Kind::Integer: return v.i != 0;
    case Kind::Decimal: return !v.d.is_zero();
    case Kind::Real: return v.r != 0;
    case Kind::Text: return !text::blank(v.text());
  }
  return false;
}

bool number_from_digits(std::string_view whole, std::string_view fraction, bool negative, Value& out) {
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (fraction.empty() && whole.size() <= 18) {
    std::int64_t v = 0;
    for (char c : whole) v = v * 10 + (c - '0');
    out.set_integer(negative ? -v : v);
    return true;
  }
  Decimal d;
  if (Decimal::from_digits(whole, fraction, negative, d)) {
    out.set_decimal(d);
    return true;
  }
  std::string t = negative ? "-" : "";
  t.append(whole);
  t += '.';
  t.append(fraction);
  double r = std::strtod(t.c_str(), nullptr);
  if (std::isfinite(r)) {
    out.set_real(r);
    return true;
  }
  out.set_real(negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max());
  return false;
}

bool to_number(const Value& v, Value& out) {
  if (v.kind != Kind::Text) {
    out.kind = v.kind;
    out.i = v.i;
    out.r = v.r;
    out.d = v.d;
    return true;
  }
  std::string_view s = v.text();
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::size_t w = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  std::string_view whole = s.substr(w, i - w), fraction;
  if (i < s.size() && s[i] == '.') {
    std::size_t f = ++i;
    while (i < s.size() && is_digit(s[i])) ++i;
    fraction = s.substr(f, i - f);
  }
  return number_from_digits(whole, fraction, negative, out);
}

std::int64_t to_integer(const Value& v) {
  Value n;
  const Value* p = &v;
  if (v.kind == Kind::Text) {
    to_number(v, n);
    p = &n;
  }
  switch (p->kind) {
    case Kind::Integer: return p->i;
    case Kind::Decimal: {
      std::int64_t r = 0;
      if (p->d.truncated().to_int64(r)) return r;
      return p->d.negative() ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    }
    case Kind::Real: {
      double t = std::trunc(p->r);
      if (std::isnan(t)) return 0;
      if (t >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
      if (t <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
      return static_cast<std::int64_t>(t);
    }
    case Kind::Text: break;
  }
  return 0;
}

int arithmetic(Op op, const Value& a0, const Value& b0, Value& out) {
  Value ta, tb;
  const Value* a = &a0;
  const Value* b = &b0;
  if (a0.kind == Kind::Text) {
    if (!to_number(a0, ta)) return files::kIllegalExpression;
    a = &ta;
  }
  if (b0.kind == Kind::Text) {
    if (!to_number(b0, tb)) return files::kIllegalExpression;
    b = &tb;
  }
  if (op == Op::Pow) return power(*a, *b, out);
  if (a->kind == Kind::Integer && b->kind == Kind::Integer) return integer_arithmetic(op, a->i, b->i, *a, *b, out);
  if (a->kind == Kind::Real || b->kind == Kind::Real) return real_arithmetic(op, as_double(*a), as_double(*b), out);
  return decimal_arithmetic(op, *a, *b, out);
}

int negate(const Value& a0, Value& out) {
  Value t;
  const Value* a = &a0;
  if (a0.kind == Kind::Text) {
    if (!to_number(a0, t)) return files::kIllegalExpression;
    a = &t;
  }
  switch (a->kind) {
    case Kind::Integer:
      if (a->i == std::numeric_limits<std::int64_t>::min()) {
        out.set_decimal(Decimal::from_int(a->i).negated());
      } else {
        out.set_integer(-a->i);
      }
      return 0;
    case Kind::Decimal: out.set_decimal(a->d.negated()); return 0;
    case Kind::Real: out.set_real(-a->r); return 0;
    case Kind::Text: break;
  }
  return files::kIllegalExpression;
}

int compare(const Value& a, const Value& b) {
  if (a.kind == Kind::Text && b.kind == Kind::Text) return text::compare(a.text(), b.text());
  if (a.kind == Kind::Text || b.kind == Kind::Text) {
    const Value& t = a.kind == Kind::Text ? a : b;
    const Value& n = a.kind == Kind::Text ? b : a;
    int sign = a.kind == Kind::Text ? 1 : -1;  // the result is for t against n
    if (text_is_number(t.text())) {
      Value tn;
      to_number(t, tn);
      return sign * compare_numbers(tn, n);
    }
    NumberText buffer;
    return sign * text::compare(t.text(), text_of(n, buffer));
  }
  return compare_numbers(a, b);
}

}  // namespace eval
