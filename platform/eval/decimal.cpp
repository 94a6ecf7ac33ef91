#include "platform/eval/decimal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace eval {

namespace {

constexpr std::uint64_t kBase = 1000000000;  // one limb holds nine digits
// 10^31 = (10^9)^3 * 10^4: the scale is three whole limbs and a factor 10^4.
constexpr int kScaleLimbs = 3;
constexpr std::uint32_t kScaleRest = 10000;
// The largest limb count any intermediate here needs (a product of two numbers).
constexpr int kWide = 16;

int used(const std::uint32_t* a, int n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}

// a[0..n) *= f, the carry goes to a[n]; a must have room for n+1 limbs.
void mul_small(std::uint32_t* a, int n, std::uint32_t f) {
  std::uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    std::uint64_t p = static_cast<std::uint64_t>(a[i]) * f + carry;
    a[i] = static_cast<std::uint32_t>(p % kBase);
    carry = p / kBase;
  }
  a[n] = static_cast<std::uint32_t>(carry);
}

// a[0..n) /= d; returns the remainder.
std::uint32_t div_small(std::uint32_t* a, int n, std::uint32_t d) {
  std::uint64_t rem = 0;
  for (int i = n - 1; i >= 0; --i) {
    std::uint64_t cur = rem * kBase + a[i];
    a[i] = static_cast<std::uint32_t>(cur / d);
    rem = cur % d;
  }
  return static_cast<std::uint32_t>(rem);
}

// Long division in base 10^9 (Knuth's algorithm D): u[0..m) / v[0..n), with
// v[n-1] != 0 and m >= n; q gets m-n+1 limbs, r gets n limbs. m < kWide.
void divmod(const std::uint32_t* u, int m, const std::uint32_t* v, int n, std::uint32_t* q,
            std::uint32_t* r) {
  if (n == 1) {
    std::uint32_t tmp[kWide];
    std::memcpy(tmp, u, sizeof(std::uint32_t) * m);
    r[0] = div_small(tmp, m, v[0]);
    std::memcpy(q, tmp, sizeof(std::uint32_t) * m);
    return;
  }
  // Normalise so that the divisor's top limb is at least half the base; the
  // quotient estimate below is then at most two too large.
  std::uint32_t d = static_cast<std::uint32_t>(kBase / (static_cast<std::uint64_t>(v[n - 1]) + 1));
  std::uint32_t un[kWide + 1] = {};
  std::uint32_t vn[kWide + 1] = {};
  std::memcpy(un, u, sizeof(std::uint32_t) * m);
  std::memcpy(vn, v, sizeof(std::uint32_t) * n);
  mul_small(un, m, d);
  mul_small(vn, n, d);  // vn[n] stays 0: v*d < base^n

  for (int j = m - n; j >= 0; --j) {
    std::uint64_t num = static_cast<std::uint64_t>(un[j + n]) * kBase + un[j + n - 1];
    std::uint64_t qhat = num / vn[n - 1];
    std::uint64_t rhat = num % vn[n - 1];
    while (qhat >= kBase || qhat * vn[n - 2] > rhat * kBase + un[j + n - 2]) {
      --qhat;
      rhat += vn[n - 1];
      if (rhat >= kBase) break;
    }
    std::int64_t borrow = 0;
    std::uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
      std::uint64_t p = qhat * vn[i] + carry;
      carry = p / kBase;
      std::int64_t t = static_cast<std::int64_t>(un[i + j]) - static_cast<std::int64_t>(p % kBase) - borrow;
      borrow = t < 0;
      un[i + j] = static_cast<std::uint32_t>(t < 0 ? t + static_cast<std::int64_t>(kBase) : t);
    }
    std::int64_t t = static_cast<std::int64_t>(un[j + n]) - static_cast<std::int64_t>(carry) - borrow;
    borrow = t < 0;
    un[j + n] = static_cast<std::uint32_t>(t < 0 ? t + static_cast<std::int64_t>(kBase) : t);
    if (borrow) {  // the estimate was one too large: add the divisor back
      --qhat;
      std::uint64_t c = 0;
      for (int i = 0; i < n; ++i) {
        std::uint64_t s = static_cast<std::uint64_t>(un[i + j]) + vn[i] + c;
        un[i + j] = static_cast<std::uint32_t>(s % kBase);
        c = s / kBase;
      }
      un[j + n] = static_cast<std::uint32_t>((un[j + n] + c) % kBase);
    }
    q[j] = static_cast<std::uint32_t>(qhat);
  }
  div_small(un, n, d);
  std::memcpy(r, un, sizeof(std::uint32_t) * n);
}

// p[0..an+bn) = a[0..an) * b[0..bn), schoolbook; p must start zeroed.
void mul_wide(const std::uint32_t* a, int an, const std::uint32_t* b, int bn, std::uint32_t* p) {
  for (int i = 0; i < an; ++i) {
    if (a[i] == 0) continue;
    std::uint64_t carry = 0;
    for (int j = 0; j < bn; ++j) {
      std::uint64_t t = static_cast<std::uint64_t>(a[i]) * b[j] + p[i + j] + carry;
      p[i + j] = static_cast<std::uint32_t>(t % kBase);
      carry = t / kBase;
    }
    p[i + bn] = static_cast<std::uint32_t>(carry);
  }
}

}  // namespace

bool Decimal::from_wide(const std::uint32_t* w, int n, bool negative, Decimal& out) {
  for (int i = kLimbs; i < n; ++i) {
    if (w[i] != 0) return false;
  }
  Decimal r;
  std::copy(w, w + std::min(n, kLimbs), r.m_.begin());
  if (!in_range(r.m_)) return false;
  r.negative_ = negative;
  out = r;
  return true;
}

bool Decimal::in_range(const Limbs& m) { return m[kLimbs - 1] < 100000000; }  // below 10^62

int Decimal::compare_magnitude(const Limbs& a, const Limbs& b) {
  for (int i = kLimbs - 1; i >= 0; --i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

Decimal Decimal::from_int(std::int64_t v) {
  Decimal d;
  std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  if (mag < kBase) {
    // The common small number: its digits fill the two limbs above the scale.
    const std::uint64_t scaled = mag * kScaleRest;
    d.m_[kScaleLimbs] = static_cast<std::uint32_t>(scaled % kBase);
    d.m_[kScaleLimbs + 1] = static_cast<std::uint32_t>(scaled / kBase);
    d.negative_ = v < 0;
    return d;
  }
  std::uint32_t w[kLimbs + 1] = {};
  for (int i = kScaleLimbs; mag != 0; ++i) {
    w[i] = static_cast<std::uint32_t>(mag % kBase);
    mag /= kBase;
  }
  mul_small(w, kLimbs, kScaleRest);  // at most 19 digits * 10^31: stays in range
  std::copy(w, w + kLimbs, d.m_.begin());
  d.negative_ = v < 0;
  return d;
}

bool Decimal::from_digits(std::string_view whole, std::string_view fraction, bool negative,
                          Decimal& out) {
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (whole.size() > static_cast<std::size_t>(kIntegerDigits)) return false;
  if (fraction.size() > static_cast<std::size_t>(kPlaces)) fraction = fraction.substr(0, kPlaces);
  // The 62 digits of the scaled number, most significant first, nine per limb.
  char digits[kLimbs * 9];
  std::memset(digits, '0', sizeof digits);
  char* point = digits + sizeof digits - kPlaces;
  if (!whole.empty()) std::memcpy(point - whole.size(), whole.data(), whole.size());
  if (!fraction.empty()) std::memcpy(point, fraction.data(), fraction.size());
  // Only the limbs that hold a digit of the text are read; the others stay 0.
  const std::ptrdiff_t first = point - digits - static_cast<std::ptrdiff_t>(whole.size());
  const std::ptrdiff_t last = point - digits + static_cast<std::ptrdiff_t>(fraction.size());
  Decimal d;
  for (int i = 0; i < kLimbs; ++i) {
    const std::ptrdiff_t at = (kLimbs - 1 - i) * 9;
    if (at + 9 <= first || at >= last) continue;
    const char* p = digits + at;
    std::uint32_t limb = 0;
    for (int k = 0; k < 9; ++k) limb = limb * 10 + static_cast<std::uint32_t>(p[k] - '0');
    d.m_[i] = limb;
  }
  d.negative_ = negative;
  out = d;
  return true;
}

bool Decimal::is_zero() const {
  return std::all_of(m_.begin(), m_.end(), [](std::uint32_t l) { return l == 0; });
}

bool Decimal::is_integer() const {
  for (int i = 0; i < kScaleLimbs; ++i) {
    if (m_[i] != 0) return false;
  }
  return m_[kScaleLimbs] % kScaleRest == 0;
}

bool Decimal::to_int64(std::int64_t& out) const {
  if (!is_integer()) return false;
  unsigned __int128 v = 0;
  for (int i = kLimbs - 1; i > kScaleLimbs; --i) v = v * kBase + m_[i];
  v = v * (kBase / kScaleRest) + m_[kScaleLimbs] / kScaleRest;
  unsigned __int128 limit = static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max());
  if (v > limit + (negative_ ? 1 : 0)) return false;
  out = negative_ ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(v)) : static_cast<std::int64_t>(v);
  return true;
}

double Decimal::to_double() const {
  // Through the exact text, so the double is the nearest one (10 stays 10).
  char buffer[kMaxText + 1];
  buffer[write(buffer)] = '\0';
  return std::strtod(buffer, nullptr);
}

std::size_t Decimal::write(char* buffer) const {
  char digits[kLimbs * 9];
  for (int i = 0; i < kLimbs; ++i) {
    std::uint32_t limb = m_[i];
    char* p = digits + (kLimbs - 1 - i) * 9;
    for (int k = 8; k >= 0; --k) {
      p[k] = static_cast<char>('0' + limb % 10);
      limb /= 10;
    }
  }
  const std::size_t total = sizeof digits;
  const std::size_t point = total - kPlaces;
  std::size_t first = 0;
  while (first < point && digits[first] == '0') ++first;
  std::size_t last = total;
  while (last > point && digits[last - 1] == '0') --last;
  std::size_t n = 0;
  if (negative()) buffer[n++] = '-';
  if (first == point) {
    buffer[n++] = '0';
  } else {
    std::memcpy(buffer + n, digits + first, point - first);
    n += point - first;
  }
  if (last > point) {
    buffer[n++] = '.';
    std::memcpy(buffer + n, digits + point, last - point);
    n += last - point;
  }
  return n;
}

Decimal Decimal::negated() const {
  Decimal d = *this;
  d.negative_ = !negative_;
  return d;
}

Decimal Decimal::abs() const {
  Decimal d = *this;
  d.negative_ = false;
  return d;
}

Decimal Decimal::truncated() const {
  Decimal d = *this;
  for (int i = 0; i < kScaleLimbs; ++i) d.m_[i] = 0;
  d.m_[kScaleLimbs] -= d.m_[kScaleLimbs] % kScaleRest;
  return d;
}

int Decimal::compare(const Decimal& a, const Decimal& b) {
  bool an = a.negative(), bn = b.negative();
  if (an != bn) return an ? -1 : 1;
  int c = compare_magnitude(a.m_, b.m_);
  return an ? -c : c;
}

bool Decimal::add(const Decimal& a, const Decimal& b, Decimal& out) {
  Decimal r;
  if (a.negative_ == b.negative_) {
    std::uint32_t carry = 0;
    for (int i = 0; i < kLimbs; ++i) {
      std::uint64_t s = static_cast<std::uint64_t>(a.m_[i]) + b.m_[i] + carry;
      r.m_[i] = static_cast<std::uint32_t>(s % kBase);
      carry = static_cast<std::uint32_t>(s / kBase);
    }
    if (carry != 0 || !in_range(r.m_)) return false;
    r.negative_ = a.negative_;
  } else {
    const Decimal* big = &a;
    const Decimal* small = &b;
    if (compare_magnitude(a.m_, b.m_) < 0) std::swap(big, small);
    std::int64_t borrow = 0;
    for (int i = 0; i < kLimbs; ++i) {
      std::int64_t t = static_cast<std::int64_t>(big->m_[i]) - small->m_[i] - borrow;
      borrow = t < 0;
      r.m_[i] = static_cast<std::uint32_t>(t < 0 ? t + static_cast<std::int64_t>(kBase) : t);
    }
    r.negative_ = big->negative_;
  }
  out = r;
  return true;
}

bool Decimal::sub(const Decimal& a, const Decimal& b, Decimal& out) { return add(a, b.negated(), out); }

bool Decimal::mul(const Decimal& a, const Decimal& b, Decimal& out) {
  std::uint32_t p[2 * kLimbs] = {};
  mul_wide(a.m_.data(), kLimbs, b.m_.data(), kLimbs, p);
  // Back to the scale of 10^31: drop three limbs, then divide by 10^4.
  std::uint32_t* s = p + kScaleLimbs;
  const int n = 2 * kLimbs - kScaleLimbs;
  div_small(s, n, kScaleRest);
  return from_wide(s, n, a.negative_ != b.negative_, out);
}

bool Decimal::div(const Decimal& a, const Decimal& b, Decimal& out) {
  int n = used(b.m_.data(), kLimbs);
  if (n == 0) return false;
  // The dividend scaled once more by 10^31, so the quotient keeps 31 places.
  std::uint32_t u[kWide] = {};
  std::copy(a.m_.begin(), a.m_.end(), u + kScaleLimbs);
  mul_small(u, kLimbs + kScaleLimbs, kScaleRest);
  int m = std::max(used(u, kLimbs + kScaleLimbs + 1), n);
  std::uint32_t q[kWide] = {};
  std::uint32_t r[kWide] = {};
  divmod(u, m, b.m_.data(), n, q, r);
  return from_wide(q, kWide, a.negative_ != b.negative_, out);
}

bool Decimal::mod(const Decimal& a, const Decimal& b, Decimal& out) {
  int n = used(b.m_.data(), kLimbs);
  if (n == 0) return false;
  int m = used(a.m_.data(), kLimbs);
  Decimal res;
  if (m < n) {
    res = a;
  } else {
    std::uint32_t q[kWide] = {};
    std::uint32_t r[kWide] = {};
    divmod(a.m_.data(), m, b.m_.data(), n, q, r);
    std::copy(r, r + n, res.m_.begin());
    res.negative_ = a.negative_;
  }
  out = res;
  return true;
}

bool Decimal::round_to(const Decimal& a, const Decimal& step, Decimal& out) {
  int n = used(step.m_.data(), kLimbs);
  if (n == 0) return false;
  int m = used(a.m_.data(), kLimbs);
  std::uint32_t q[kWide] = {};
  std::uint32_t r[kWide] = {};
  if (m >= n) {
    divmod(a.m_.data(), m, step.m_.data(), n, q, r);
  } else {
    std::copy(a.m_.begin(), a.m_.begin() + m, r);
  }
  // Halves go away from zero: round up when twice the remainder reaches the step.
  std::uint32_t twice[kWide] = {};
  std::copy(r, r + n, twice);
  mul_small(twice, n, 2);
  bool up = false;
  {
    int i = n;
    while (i >= 0 && twice[i] == (i < n ? step.m_[i] : 0)) --i;
    up = i < 0 || twice[i] > (i < n ? step.m_[i] : 0);
  }
  if (up) {
    for (int i = 0; i < kWide; ++i) {
      if (++q[i] < kBase) break;
      q[i] = 0;
    }
  }
  int qn = used(q, kWide);
  if (qn > kLimbs) return false;
  std::uint32_t p[2 * kLimbs] = {};
  mul_wide(q, qn, step.m_.data(), kLimbs, p);
  return from_wide(p, 2 * kLimbs, a.negative_, out);
}

}  // namespace eval
