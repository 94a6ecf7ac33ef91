// The runtime's text semantics: fixed-capacity texts and the string functions
// the system's code uses (CLIP, LEFT, UPPER, INSTRING, NUMERIC, slicing ...).
// Positions are the runtime's: 1-based; a text's "length" is its byte count.
// Texts are bytes (the tables' own code page); nothing here assumes UTF-8.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace text {

// ---- functions on byte texts --------------------------------------------------

// CLIP: the text without its trailing blanks (0x20 only).
std::string_view clip(std::string_view s);
// The text without its leading blanks.
std::string_view trim_left(std::string_view s);
// The text without leading and trailing blanks.
std::string_view trim(std::string_view s);
// LEFT(s): leading blanks moved to the end; the length is kept.
std::string left(std::string_view s);
// LEFT(s, n): leading blanks removed, then cut or padded with blanks to n.
std::string left(std::string_view s, std::size_t n);
// RIGHT(s [, n]): trailing blanks moved to the front; cut or padded on the left to n.
std::string right(std::string_view s);
std::string right(std::string_view s, std::size_t n);
// UPPER / LOWER of the Windows-1252 letters (what the runtime's locale does on
// Western Windows); other bytes are unchanged.
std::string upper(std::string_view s);
std::string lower(std::string_view s);
char upper(char c);
char lower(char c);
// INSTRING(sub, s, 1, start): 1-based position of the first byte-exact
// occurrence of sub at or after start; 0 when there is none (or sub is empty,
// or start lies outside s).
std::size_t instring(std::string_view sub, std::string_view s, std::size_t start = 1);
// NUMERIC(s): 1 when s (trailing blanks ignored) is a number: an optional
// leading '-', digits with at most one '.', at least one digit.
bool numeric(std::string_view s);
// s[first : last] with 1-based inclusive positions, kept inside s (an empty
// text when the range is empty or outside).
std::string_view slice(std::string_view s, std::size_t first, std::size_t last);
// SUB(s, position, length): a negative position counts from the end.
std::string_view sub(std::string_view s, long position, long length);
// Comparison of texts that ignores trailing blanks (case-sensitive, byte order).
int compare(std::string_view a, std::string_view b);
inline bool same(std::string_view a, std::string_view b) { return compare(a, b) == 0; }
// True when the text holds nothing but blanks (or nothing).
bool blank(std::string_view s);
// A text of n blanks.
inline std::string blanks(std::size_t n) { return std::string(n, ' '); }
// s cut or padded with blanks to exactly n bytes.
std::string pad(std::string_view s, std::size_t n);

// ---- numbers ----------------------------------------------------------------

// Integer text: decimal digits, a leading '-' for negatives, no blanks, no
// leading zeros ("0" for zero).
std::string int_text(std::int64_t v);

// The REAL text form of a floating-point number: rounded to 15 significant
// digits, plain notation for decimal exponents -4 to 14 and exponent notation
// beyond them ("1.5E+20", "1E-05": capital E, a sign, at least two digits),
// no trailing zeros after the point and no point without digits after it;
// both zeros are "0", the non-numbers "NAN", "-NAN", "INF", "-INF".
inline constexpr std::size_t kRealTextMax = 32;
// Writes the text to out (room for kRealTextMax bytes); returns its length.
std::size_t write_real_text(double v, char* out);
std::string real_text(double v);

// The runtime's conversion of a text to a number: leading blanks, an optional
// sign, digits, an optional decimal point and fraction; anything after that
// ends the number. A text without a number gives 0.
double to_number(std::string_view s);
// The same, truncated toward zero into a signed 32-bit number (values beyond
// the range are held at its ends).
std::int32_t to_long(std::string_view s);

// DEFORMAT without a picture: the characters kept are the digits, a '-' that is
// the first character or follows an E/e, a '+' that follows an E/e, the first
// E/e and the first '.'; every other character is dropped.
std::string deformat_reduce(std::string_view s);
// The reduced text read as a decimal number (optional '-', digits, optional
// fraction, optional exponent; no digit before the E, or nothing, gives 0),
// truncated toward zero into a signed 32-bit number.
std::int32_t deformat_to_long(std::string_view s);

// ---- fixed-capacity texts ------------------------------------------------------

// CSTRING(N): NUL-terminated text in N bytes, so at most N-1 characters; an
// assignment keeps the first N-1 bytes and stops at an embedded NUL.
template <std::size_t N>
class CString {
  static_assert(N >= 1, "a CSTRING holds at least its NUL");

 public:
  static constexpr std::size_t kCapacity = N;      // bytes, NUL included
  static constexpr std::size_t kMaxLength = N - 1;  // characters

  CString() { data_[0] = '\0'; }
  CString(std::string_view s) { assign(s); }  // NOLINT: texts convert freely, as in the runtime
  CString(const char* s) { assign(s); }       // NOLINT
  CString& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  CString& operator=(const char* s) {
    assign(s);
    return *this;
  }
  CString& operator=(const std::string& s) {
    assign(s);
    return *this;
  }
  template <std::size_t M>
  CString& operator=(const CString<M>& o) {
    assign(o.view());
    return *this;
  }

  void assign(std::string_view s) {
    std::size_t n = std::min(s.size(), kMaxLength);
    const void* nul = std::memchr(s.data(), '\0', n);
    if (nul) n = static_cast<std::size_t>(static_cast<const char*>(nul) - s.data());
    std::memcpy(data_, s.data(), n);
    data_[n] = '\0';
    size_ = static_cast<std::uint32_t>(n);
  }
  void clear() {
    data_[0] = '\0';
    size_ = 0;
  }

  std::string_view view() const { return {data_, size_}; }
  operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  const char* c_str() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char operator[](std::size_t i) const { return data_[i]; }

  friend bool operator==(const CString& a, std::string_view b) { return a.view() == b; }

 private:
  std::uint32_t size_ = 0;
  char data_[N];
};

// STRING(N): exactly N bytes, padded with blanks on assignment, cut beyond N.
template <std::size_t N>
class FixedString {
 public:
  static constexpr std::size_t kCapacity = N;

  FixedString() { std::memset(data_, ' ', N); }
  FixedString(std::string_view s) { assign(s); }  // NOLINT
  FixedString(const char* s) { assign(s); }       // NOLINT
  FixedString& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  FixedString& operator=(const char* s) {
    assign(s);
    return *this;
  }
  FixedString& operator=(const std::string& s) {
    assign(s);
    return *this;
  }

  void assign(std::string_view s) {
    std::size_t n = std::min(s.size(), N);
    std::memcpy(data_, s.data(), n);
    std::memset(data_ + n, ' ', N - n);
  }
  void clear() { std::memset(data_, ' ', N); }

  // All N bytes, blanks included.
  std::string_view view() const { return {data_, N}; }
  // The bytes without trailing blanks.
  std::string_view clipped() const { return clip(view()); }
  operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  static constexpr std::size_t size() { return N; }
  char operator[](std::size_t i) const { return data_[i]; }
  char* data() { return data_; }
  const char* data() const { return data_; }

  // Equality as the runtime compares texts: trailing blanks ignored.
  friend bool operator==(const FixedString& a, std::string_view b) { return same(a.view(), b); }

 private:
  char data_[N];
};

}  // namespace text
