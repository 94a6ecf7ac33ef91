#include "platform/picture/layout.h"

#include "platform/picture/date.h"
#include "platform/picture/locale_formats.h"

namespace picture::detail {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}
char up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The punctuation a date or time text may carry between its parts.
bool is_separator(char c) {
  switch (c) {
    case ' ': case ':': case '.': case ',': case '-': case '/': case '`': case '\'':
      return true;
    default:
      return false;
  }
}

bool date_number(char c) { return c == 'D' || c == 'd' || c == 'e' || c == 'M' || c == 'm' || c == 'o' || c == 'Y' || c == 'y'; }
bool time_number(char c) { return c == 'H' || c == 'h' || c == 'k' || c == 'I' || c == 'i' || c == 'l' || c == 'M' || c == 'S'; }

// Two digits, one digit behind a blank (or a zero), or the digits alone.
enum class Pad { Zero, Suppressed, None };

void put_number(Out& out, int v, Pad pad, bool zero_fill) {
  if (v >= 10) {
    if (v >= 100) put_number(out, v / 100, Pad::None, false);
    out.put(static_cast<char>('0' + v / 10 % 10));
  } else if (pad == Pad::Zero || (pad == Pad::Suppressed && zero_fill)) {
    out.put('0');
  } else if (pad == Pad::Suppressed) {
    out.put(' ');
  }
  out.put(static_cast<char>('0' + v % 10));
}

void put_year(Out& out, int year) {
  out.put(static_cast<char>('0' + year / 1000 % 10));
  out.put(static_cast<char>('0' + year / 100 % 10));
  out.put(static_cast<char>('0' + year / 10 % 10));
  out.put(static_cast<char>('0' + year % 10));
}

// Splits a text into its digit runs and letter runs; false when it holds a
// character that no date or time text has.
struct Run {
  std::string_view text;
  bool digits;
};
struct Runs {
  static constexpr int kMax = 16;
  Run run[kMax];
  int count = 0;
};

bool has_digit(std::string_view s) {
  for (char c : s) {
    if (is_digit(c)) return true;
  }
  return false;
}

bool split_runs(std::string_view s, Runs& r) {
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (is_separator(c)) {
      ++i;
      continue;
    }
    const bool digits = is_digit(c);
    if (!digits && !is_letter(c)) return false;
    const std::size_t start = i;
    while (i < s.size() && (digits ? is_digit(s[i]) : is_letter(s[i]))) ++i;
    if (r.count == Runs::kMax) return false;  // far more parts than any layout
    r.run[r.count++] = {s.substr(start, i - start), digits};
  }
  return true;
}

// Reads the digit parts of a text in the order a pattern names them. Parts
// that the pattern writes side by side without punctuation share one run: all
// but the first take their fixed width from its end.
class PartReader {
 public:
  PartReader(const Runs& runs, bool (*is_number)(char)) : runs_(runs), is_number_(is_number) {}

  // The next number for the element at pattern[k]; -1 when it is missing,
  // -2 when it cannot be a part (too long).
  long number(std::string_view pattern, std::size_t k) {
    std::string_view digits;
    if (!shared_.empty()) {
      const std::size_t w = width(pattern[k]);
      digits = shared_.substr(0, w);
      shared_.remove_prefix(digits.size());
    } else {
      while (next_ < runs_.count && !runs_.run[next_].digits) ++next_;
      if (next_ == runs_.count) return -1;
      std::string_view run = runs_.run[next_++].text;
      std::size_t rest = 0;
      for (std::size_t j = k + 1; j < pattern.size() && is_number_(pattern[j]); ++j) rest += width(pattern[j]);
      if (rest > 0 && run.size() > rest) {
        digits = run.substr(0, run.size() - rest);
        shared_ = run.substr(digits.size());
      } else {
        digits = run;
      }
    }
    if (digits.empty()) return -1;
    last_length_ = digits.size();
    long v = 0;
    for (char c : digits) {
      v = v * 10 + (c - '0');
      if (v > 99999) return -2;
    }
    return v;
  }

  // The next letter run, or an empty text.
  std::string_view word() {
    shared_ = {};
    while (next_ < runs_.count && runs_.run[next_].digits) ++next_;
    return next_ < runs_.count ? runs_.run[next_++].text : std::string_view{};
  }

  std::size_t last_length() const { return last_length_; }

 private:
  static std::size_t width(char c) { return c == 'Y' ? 4 : 2; }
  const Runs& runs_;
  bool (*is_number_)(char);
  int next_ = 0;
  std::string_view shared_;
  std::size_t last_length_ = 0;
};

bool starts_alike(std::string_view word, std::string_view name, std::size_t n) {
  if (name.size() < n) n = name.size();
  if (n == 0 || word.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (up(word[i]) != up(name[i])) return false;
  }
  return true;
}

// A month named by its first three letters, in English or in the pattern's names.
int month_of(std::string_view word, const Names& names) {
  for (int m = 0; m < 12; ++m) {
    if (starts_alike(word, english_names().month[m], 3) || starts_alike(word, names.month[m], 3) ||
        (!names.month_abbr[m].empty() && word.size() == names.month_abbr[m].size() &&
         starts_alike(word, names.month_abbr[m], word.size()))) {
      return m + 1;
    }
  }
  return 0;
}

Names make_english() {
  static constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
  static constexpr const char* kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  Names n;
  for (int i = 0; i < 12; ++i) {
    n.month[i] = kMonths[i];
    n.month_abbr[i] = n.month[i].substr(0, 3);
    for (char& c : n.month_abbr[i]) c = up(c);
  }
  for (int i = 0; i < 7; ++i) {
    n.weekday[i] = kDays[i];
    n.weekday_abbr[i] = n.weekday[i].substr(0, 3);
  }
  n.am = "AM";
  n.pm = "PM";
  return n;
}

}  // namespace

const Names& english_names() {
  static const Names names = make_english();
  return names;
}

DatePattern date_pattern(int layout) {
  static constexpr std::string_view kFixed[17] = {
      "",      "m/D/y", "m/D/Y", "n d,Y", "N d, Y", "d/M/y", "d/M/Y", "d/n/y", "d/n/Y",
      "y/M/D", "Y/M/D", "yMD",   "YMD",   "M/y",    "M/Y",   "y/M",   "Y/M"};
  if (layout == 17 || layout == 18) {
    const LocaleFormats& f = locale_formats();
    return {layout == 17 ? f.short_date : f.long_date, '/', &f.names};
  }
  if (layout < 1 || layout > 16) layout = 6;
  return {kFixed[layout], layout == 7 || layout == 8 ? ' ' : '/', &english_names()};
}

TimePattern time_pattern(int layout) {
  static constexpr std::string_view kFixed[7] = {"", "h:M", "hM", "i:Mp", "h:M:S", "hMS", "i:M:Sp"};
  if (layout == 7 || layout == 8) {
    const LocaleFormats& f = locale_formats();
    return {layout == 7 ? f.short_time : f.long_time, ':', &f.names};
  }
  if (layout < 1 || layout > 6) layout = 4;
  return {kFixed[layout], ':', &english_names()};
}

void write_date(const DatePattern& p, char separator, bool zero_fill, std::int32_t date, Out& out) {
  const int y = picture::year(date), m = picture::month(date), d = picture::day(date);
  const int weekday = date % 7;
  const Names& names = *p.names;
  const std::string_view s = p.pattern;
  for (std::size_t i = 0; i < s.size(); ++i) {
    switch (s[i]) {
      case 'D': put_number(out, d, Pad::Zero, zero_fill); break;
      case 'd': put_number(out, d, Pad::Suppressed, zero_fill); break;
      case 'e': put_number(out, d, Pad::None, zero_fill); break;
      case 'M': put_number(out, m, Pad::Zero, zero_fill); break;
      case 'm': put_number(out, m, Pad::Suppressed, zero_fill); break;
      case 'o': put_number(out, m, Pad::None, zero_fill); break;
      case 'Y': put_year(out, y); break;
      case 'y': put_number(out, y % 100, Pad::Zero, zero_fill); break;
      case 'N': out.put(names.month[m - 1]); break;
      case 'n': out.put(names.month_abbr[m - 1]); break;
      case 'W': out.put(names.weekday[weekday]); break;
      case 'w': out.put(names.weekday_abbr[weekday]); break;
      case '/': out.put(separator ? separator : p.separator); break;
      case '\\':
        if (i + 1 < s.size()) out.put(s[++i]);
        break;
      default: out.put(s[i]); break;
    }
  }
}

void write_time(const TimePattern& p, char separator, bool zero_fill, std::int32_t time, Out& out) {
  const int t = time - 1;
  const int h = t / 360000, m = t / 6000 % 60, sec = t / 100 % 60;
  const int h12 = h % 12 == 0 ? 12 : h % 12;
  const std::string_view s = p.pattern;
  for (std::size_t i = 0; i < s.size(); ++i) {
    switch (s[i]) {
      case 'H': put_number(out, h, Pad::Zero, zero_fill); break;
      case 'h': put_number(out, h, Pad::Suppressed, zero_fill); break;
      case 'k': put_number(out, h, Pad::None, zero_fill); break;
      case 'I': put_number(out, h12, Pad::Zero, zero_fill); break;
      case 'i': put_number(out, h12, Pad::Suppressed, zero_fill); break;
      case 'l': put_number(out, h12, Pad::None, zero_fill); break;
      case 'M': put_number(out, m, Pad::Zero, zero_fill); break;
      case 'S': put_number(out, sec, Pad::Zero, zero_fill); break;
      case 'p': out.put(h < 12 ? p.names->am : p.names->pm); break;
      case ':': out.put(separator ? separator : p.separator); break;
      case '\\':
        if (i + 1 < s.size()) out.put(s[++i]);
        break;
      default: out.put(s[i]); break;
    }
  }
}

std::size_t date_width(const DatePattern& p) {
  std::size_t longest_month = 0, longest_abbr = 0, longest_day = 0, longest_day_abbr = 0;
  for (const std::string& m : p.names->month) longest_month = std::max(longest_month, m.size());
  for (const std::string& m : p.names->month_abbr) longest_abbr = std::max(longest_abbr, m.size());
  for (const std::string& w : p.names->weekday) longest_day = std::max(longest_day, w.size());
  for (const std::string& w : p.names->weekday_abbr) longest_day_abbr = std::max(longest_day_abbr, w.size());
  std::size_t n = 0;
  const std::string_view s = p.pattern;
  for (std::size_t i = 0; i < s.size(); ++i) {
    switch (s[i]) {
      case 'D': case 'd': case 'e': case 'M': case 'm': case 'o': case 'y': n += 2; break;
      case 'Y': n += 4; break;
      case 'N': n += longest_month; break;
      case 'n': n += longest_abbr; break;
      case 'W': n += longest_day; break;
      case 'w': n += longest_day_abbr; break;
      case '\\': ++i; ++n; break;
      default: ++n; break;
    }
  }
  return std::min(n, Out::kCapacity);
}

std::int32_t read_date(const DatePattern& p, std::string_view text) {
  if (!has_digit(text)) return 0;
  Runs runs;
  if (!split_runs(text, runs)) return -1;
  PartReader reader(runs, date_number);
  long d = -1, m = -1, y = -1;
  bool two_digit_year = false;
  const std::string_view s = p.pattern;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    if (c == '\\') {
      ++k;
    } else if (date_number(c)) {
      const long v = reader.number(s, k);
      if (v == -2) return -1;
      if (c == 'D' || c == 'd' || c == 'e') d = v;
      if (c == 'M' || c == 'm' || c == 'o') m = v;
      if (c == 'Y' || c == 'y') {
        y = v;
        two_digit_year = v >= 0 && reader.last_length() <= 2;
      }
    } else if (c == 'N' || c == 'n') {
      m = month_of(reader.word(), *p.names);
    } else if (c == 'W' || c == 'w') {
      reader.word();
    }
  }
  if (d == -1) d = 1;  // layouts without a day name the month
  if (m < 1 || m > 12 || y < 0) return -1;
  if (two_digit_year) y = picture::year(picture::date(1, 1, static_cast<std::int32_t>(y)));
  if (y < 1801 || y > 9999 || d < 1 || d > picture::days_in_month(static_cast<int>(m), static_cast<int>(y))) return -1;
  return picture::date(static_cast<std::int32_t>(m), static_cast<std::int32_t>(d), static_cast<std::int32_t>(y));
}

std::int32_t read_time(const TimePattern& p, std::string_view text) {
  if (!has_digit(text)) return 0;
  Runs runs;
  if (!split_runs(text, runs)) return -1;
  PartReader reader(runs, time_number);
  long h = 0, m = 0, sec = 0;
  bool twelve_hour = false;
  int half = 0;  // 1 AM, 2 PM
  const std::string_view s = p.pattern;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    if (c == '\\') {
      ++k;
    } else if (time_number(c)) {
      long v = reader.number(s, k);
      if (v == -2) return -1;
      if (v == -1) v = 0;  // a part left out counts as 0
      if (c == 'M') {
        m = v;
      } else if (c == 'S') {
        sec = v;
      } else {
        h = v;
        twelve_hour = c == 'I' || c == 'i' || c == 'l';
      }
    } else if (c == 'p') {
      const std::string_view w = reader.word();
      if (starts_alike(w, p.names->pm, p.names->pm.size()) || (!w.empty() && up(w[0]) == 'P')) half = 2;
      else if (starts_alike(w, p.names->am, p.names->am.size()) || (!w.empty() && up(w[0]) == 'A')) half = 1;
    }
  }
  if (twelve_hour && half == 2 && h < 12) h += 12;
  if (twelve_hour && half == 1 && h == 12) h = 0;
  if (h > 23 || m > 59 || sec > 59) return -1;
  return static_cast<std::int32_t>(h * 360000 + m * 6000 + sec * 100 + 1);
}

}  // namespace picture::detail
