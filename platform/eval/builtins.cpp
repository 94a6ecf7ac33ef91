#include "platform/eval/builtins.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/eval/names.h"
#include "platform/files/errors.h"
#include "platform/picture/date.h"
#include "platform/text/text.h"

namespace eval {

namespace {

constexpr BuiltinInfo kBuiltins[] = {
    {"DATE", Builtin::Date, 3, 3},         {"TODAY", Builtin::Today, 0, 0},
    {"CLOCK", Builtin::Clock, 0, 0},       {"DAY", Builtin::Day, 1, 1},
    {"MONTH", Builtin::Month, 1, 1},       {"YEAR", Builtin::Year, 1, 1},
    {"AGE", Builtin::Age, 1, 2},           {"INT", Builtin::Int, 1, 1},
    {"ROUND", Builtin::Round, 2, 2},       {"ABS", Builtin::Abs, 1, 1},
    {"INRANGE", Builtin::Inrange, 3, 3},   {"SUB", Builtin::Sub, 3, 3},
    {"LEN", Builtin::Len, 1, 1},           {"UPPER", Builtin::Upper, 1, 1},
    {"LOWER", Builtin::Lower, 1, 1},       {"CLIP", Builtin::Clip, 1, 1},
    {"LEFT", Builtin::Left, 1, 2},         {"RIGHT", Builtin::Right, 1, 2},
    {"INSTRING", Builtin::Instring, 2, 4}, {"NUMERIC", Builtin::Numeric, 1, 1},
    {"VAL", Builtin::Val, 1, 1},           {"CHR", Builtin::Chr, 1, 1},
    {"CHOOSE", Builtin::Choose, 2, -1},
};

std::int32_t to_int32(const Value& v) {
  std::int64_t i = to_integer(v);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(i, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// A position or length for the text functions; kept well inside 32 bits so
// that sums of two stay exact on every platform.
long to_position(const Value& v) {
  return static_cast<long>(std::clamp<std::int64_t>(to_integer(v), -1000000000, 1000000000));
}

int int_of(const Value& a, Value& out) {
  Value n;
  if (!to_number(a, n)) return files::kIllegalExpression;
  switch (n.kind) {
    case Kind::Decimal: out.set_decimal(n.d.truncated()); return 0;
    case Kind::Real: out.set_real(std::trunc(n.r)); return 0;
    default: out.set_integer(n.i); return 0;
  }
}

int abs_of(const Value& a, Value& out) {
  Value n;
  if (!to_number(a, n)) return files::kIllegalExpression;
  switch (n.kind) {
    case Kind::Decimal: out.set_decimal(n.d.abs()); return 0;
    case Kind::Real: out.set_real(std::fabs(n.r)); return 0;
    default:
      if (n.i < 0) return negate(n, out);
      out.set_integer(n.i);
      return 0;
  }
}

int round_of(const Value& a, const Value& step, Value& out) {
  Value x, s;
  if (!to_number(a, x) || !to_number(step, s)) return files::kIllegalExpression;
  if (x.kind == Kind::Real || s.kind == Kind::Real) {
    double xv = x.kind == Kind::Real ? x.r : (x.kind == Kind::Decimal ? x.d.to_double() : static_cast<double>(x.i));
    double sv = s.kind == Kind::Real ? s.r : (s.kind == Kind::Decimal ? s.d.to_double() : static_cast<double>(s.i));
    sv = std::fabs(sv);
    double r = sv == 0 ? xv : std::round(xv / sv) * sv;
    if (!std::isfinite(r)) return files::kIllegalExpression;
    out.set_real(r);
    return 0;
  }
  Decimal xd = x.kind == Kind::Decimal ? x.d : Decimal::from_int(x.i);
  Decimal sd = s.kind == Kind::Decimal ? s.d : Decimal::from_int(s.i);
  if (sd.is_zero()) {  // no step to round to: the value stays
    out.set_decimal(xd);
    return 0;
  }
  Decimal r;
  if (!Decimal::round_to(xd, sd, r)) return files::kIllegalExpression;
  out.set_decimal(r);
  return 0;
}

// AGE(birth, base): whole days up to 60, then whole months below 24, then
// whole years; an empty text when either date is outside the calendar or the
// birth date lies after the base date.
int age_of(std::int32_t birth, std::int32_t base, Value& out) {
  std::string& s = out.start_text();
  auto in_calendar = [](std::int32_t d) { return d >= picture::kFirstDate && d <= picture::kLastDate; };
  if (!in_calendar(birth) || !in_calendar(base) || birth > base) return 0;
  std::int32_t days = base - birth;
  if (days <= 60) {
    s = text::int_text(days) + " DAYS";
    return 0;
  }
  std::int32_t months = (picture::year(base) - picture::year(birth)) * 12 + picture::month(base) -
                        picture::month(birth) - (picture::day(base) < picture::day(birth) ? 1 : 0);
  if (months < 24) {
    s = text::int_text(months) + " MOS";
  } else {
    s = text::int_text(months / 12) + " YRS";
  }
  return 0;
}

// Positions where sub starts in s, tested as INSTRING does: from start on by
// step (a negative step walks to the left). Knuth-Morris-Pratt keeps even a
// megabyte of text against a long pattern linear.
std::int64_t instring(std::string_view sub, std::string_view s, std::int64_t step, std::int64_t start,
                      bool start_given) {
  const std::int64_t m = static_cast<std::int64_t>(sub.size());
  const std::int64_t n = static_cast<std::int64_t>(s.size());
  if (m == 0 || m > n) return 0;
  if (step == 0) step = m;
  const std::int64_t last = n - m + 1;  // the last position a match can start at
  if (!start_given) start = step > 0 ? 1 : last;
  if (start < 1 || start > n) return 0;

  std::size_t small[64];
  std::vector<std::size_t> big;
  std::size_t* fail = small;
  if (sub.size() > 64) {
    big.resize(sub.size());
    fail = big.data();
  }
  fail[0] = 0;
  for (std::size_t i = 1, k = 0; i < sub.size(); ++i) {
    while (k > 0 && sub[i] != sub[k]) k = fail[k - 1];
    if (sub[i] == sub[k]) ++k;
    fail[i] = k;
  }
  std::int64_t found = 0;
  for (std::size_t i = 0, k = 0; i < s.size(); ++i) {
    while (k > 0 && s[i] != sub[k]) k = fail[k - 1];
    if (s[i] == sub[k]) ++k;
    if (k == sub.size()) {
      std::int64_t p = static_cast<std::int64_t>(i) - m + 2;  // 1-based start of this match
      k = fail[k - 1];
      if (step > 0) {
        if (p >= start && (p - start) % step == 0) return p;
      } else {
        if (p > start) break;
        if ((start - p) % (-step) == 0) found = p;
      }
    }
  }
  return found;
}

int left_right(Builtin id, Value* args, const bool* present, Value& out) {
  NumberText nb;
  std::string_view s = text_of(args[0], nb);
  std::size_t n = s.size();
  if (present[1]) {
    std::int64_t want = to_integer(args[1]);
    if (want < 0) want = 0;
    if (static_cast<std::uint64_t>(want) > kMaxText) return files::kIllegalExpression;
    n = static_cast<std::size_t>(want);
  }
  std::string r = id == Builtin::Left ? text::left(s, n) : text::right(s, n);
  out.start_text() = std::move(r);
  return 0;
}

}  // namespace

const BuiltinInfo* find_builtin(std::string_view name) {
  for (const auto& b : kBuiltins) {
    if (same_name(b.name, name)) return &b;
  }
  return nullptr;
}

int call_builtin(Builtin id, Value* args, const bool* present, int count, Value& out) {
  NumberText nb;
  switch (id) {
    case Builtin::Date:
      out.set_integer(picture::date(to_int32(args[0]), to_int32(args[1]), to_int32(args[2])));
      return 0;
    case Builtin::Today: out.set_integer(picture::today()); return 0;
    case Builtin::Clock: out.set_integer(picture::clock()); return 0;
    case Builtin::Day: out.set_integer(picture::day(to_int32(args[0]))); return 0;
    case Builtin::Month: out.set_integer(picture::month(to_int32(args[0]))); return 0;
    case Builtin::Year: out.set_integer(picture::year(to_int32(args[0]))); return 0;
    case Builtin::Age:
      return age_of(to_int32(args[0]), count > 1 && present[1] ? to_int32(args[1]) : picture::today(), out);
    case Builtin::Int: return int_of(args[0], out);
    case Builtin::Round: return round_of(args[0], args[1], out);
    case Builtin::Abs: return abs_of(args[0], out);
    case Builtin::Inrange:
      out.set_integer(compare(args[0], args[1]) >= 0 && compare(args[0], args[2]) <= 0);
      return 0;
    case Builtin::Sub: {
      std::string_view s = text::sub(text_of(args[0], nb), to_position(args[1]), to_position(args[2]));
      if (args[0].kind == Kind::Text && !args[0].owns) {
        out.set_borrowed(s);  // a piece of the expression itself
      } else {
        out.set_text(s);
      }
      return 0;
    }
    case Builtin::Len: out.set_integer(static_cast<std::int64_t>(text_of(args[0], nb).size())); return 0;
    case Builtin::Upper: out.start_text() = text::upper(text_of(args[0], nb)); return 0;
    case Builtin::Lower: out.start_text() = text::lower(text_of(args[0], nb)); return 0;
    case Builtin::Clip: {
      std::string_view s = text::clip(text_of(args[0], nb));
      if (args[0].kind == Kind::Text && !args[0].owns) {
        out.set_borrowed(s);
      } else {
        out.set_text(s);
      }
      return 0;
    }
    case Builtin::Left:
    case Builtin::Right: return left_right(id, args, present, out);
    case Builtin::Instring: {
      NumberText nb2;
      std::string_view sub = text_of(args[0], nb);
      std::string_view s = text_of(args[1], nb2);
      // Any step or start beyond the longest text acts as the clamped one
      // does, and a clamped step can be negated.
      std::int64_t step = count > 2 && present[2] ? to_position(args[2]) : 0;
      bool start_given = count > 3 && present[3];
      std::int64_t start = start_given ? to_position(args[3]) : 1;
      out.set_integer(instring(sub, s, step, start, start_given));
      return 0;
    }
    case Builtin::Numeric: out.set_integer(text::numeric(text_of(args[0], nb))); return 0;
    case Builtin::Val: {
      std::string_view s = text_of(args[0], nb);
      out.set_integer(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
      return 0;
    }
    case Builtin::Chr: {
      char c = static_cast<char>(static_cast<unsigned char>(to_integer(args[0]) & 0xFF));
      out.start_text().assign(1, c);
      return 0;
    }
    case Builtin::Choose: break;
  }
  return files::kIllegalExpression;
}

}  // namespace eval
