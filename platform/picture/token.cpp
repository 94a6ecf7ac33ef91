#include "platform/picture/token.h"

namespace picture::detail {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
char up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Reads a decimal number of at most `max` value; false when there is none or
// it is larger.
bool read_number(std::string_view s, std::size_t& i, int max, int& out) {
  if (i >= s.size() || !is_digit(s[i])) return false;
  long n = 0;
  while (i < s.size() && is_digit(s[i])) {
    n = n * 10 + (s[i++] - '0');
    if (n > max) return false;
  }
  out = static_cast<int>(n);
  return true;
}

// The separator modifiers of date and time pictures, as the character written.
char separator_of(char c) {
  switch (c) {
    case '.': return '.';
    case '-': return '-';
    case '_': return ' ';
    case '`': return ',';
    default: return 0;
  }
}

// One or more B; then nothing.
bool finish(std::string_view s, std::size_t i, Token& t) {
  while (i < s.size() && up(s[i]) == 'B') {
    t.blank_zero = true;
    ++i;
  }
  return i == s.size();
}

bool read_currency(std::string_view s, std::size_t& i, std::string_view& out) {
  if (i >= s.size()) return false;
  if (s[i] == '$') {
    out = s.substr(i++, 1);
    return true;
  }
  if (s[i] != '~') return false;
  const std::size_t close = s.find('~', i + 1);
  if (close == std::string_view::npos) return false;
  out = s.substr(i + 1, close - i - 1);
  i = close + 1;
  return true;
}

bool parse_date_time(std::string_view s, std::size_t i, int max_layout, Token& t) {
  if (i + 1 < s.size() && s[i] == '0' && is_digit(s[i + 1])) {
    t.zero_fill = true;
    ++i;
  }
  if (!read_number(s, i, max_layout, t.layout) || t.layout < 1) return false;
  if (i < s.size() && separator_of(s[i])) t.separator = separator_of(s[i++]);
  if (t.family == Family::Date && i < s.size() && (s[i] == '<' || s[i] == '>')) {
    // The century window of data entry: it has no effect on FORMAT.
    ++i;
    int range = 0;
    if (i < s.size() && is_digit(s[i]) && !read_number(s, i, 99, range)) return false;
  }
  return finish(s, i, t);
}

bool parse_number(std::string_view s, std::size_t i, Token& t) {
  std::string_view currency;
  if (read_currency(s, i, currency)) t.currency = currency;
  if (i < s.size() && (s[i] == '-' || s[i] == '(')) t.lead_sign = s[i++];
  if (i + 1 < s.size() && (s[i] == '0' || s[i] == '_' || s[i] == '*') && is_digit(s[i + 1])) {
    t.fill = s[i] == '_' ? ' ' : s[i];
    ++i;
  }
  if (!read_number(s, i, kMaxNumberSize, t.size) || t.size < 1) return false;
  // Zero and blank fills write every position themselves; the asterisk fill
  // keeps the default grouping ("***45,000").
  char default_grouping = t.fill == '0' || t.fill == ' ' ? 0 : ',';
  char grouping = 0;
  if (i < s.size() && (s[i] == '.' || s[i] == '_') && !(i + 1 < s.size() && is_digit(s[i + 1]))) {
    grouping = s[i] == '_' ? ' ' : '.';
    ++i;
  }
  if (i + 1 < s.size() && (s[i] == '.' || s[i] == '`' || up(s[i]) == 'V') && is_digit(s[i + 1])) {
    t.decimal = s[i] == '.' ? '.' : s[i] == '`' ? ',' : 0;
    if (t.decimal == ',' && default_grouping) default_grouping = '.';
    ++i;
    if (!read_number(s, i, kMaxNumberSize, t.places) || t.places >= t.size) return false;
  }
  t.grouping = grouping ? grouping : default_grouping;
  if (i < s.size() && (s[i] == '-' || s[i] == ')')) t.trail_sign = s[i++];
  if ((t.lead_sign == '(') != (t.trail_sign == ')')) return false;
  if (t.lead_sign == '-' && t.trail_sign == '-') return false;
  if (t.currency.empty() && read_currency(s, i, currency)) {
    t.currency = currency;
    t.currency_after = true;
  }
  return finish(s, i, t);
}

bool parse_scientific(std::string_view s, std::size_t i, Token& t) {
  if (!read_number(s, i, kMaxNumberSize, t.size) || t.size < 1) return false;
  if (i >= s.size() || s[i] != '.') return false;
  ++i;
  if (!read_number(s, i, kMaxNumberSize, t.places)) return false;
  return finish(s, i, t);
}

bool parse_string(std::string_view s, std::size_t i, Token& t) {
  if (!read_number(s, i, kMaxStringSize, t.size) || t.size < 1) return false;
  return i == s.size();
}

}  // namespace

Token parse_token(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  Token t;
  if (s.size() < 3 || s[0] != '@') return t;
  bool ok = false;
  switch (up(s[1])) {
    case 'D':
      t.family = Family::Date;
      ok = parse_date_time(s, 2, 18, t);
      break;
    case 'T':
      t.family = Family::Time;
      ok = parse_date_time(s, 2, 8, t);
      break;
    case 'N':
      t.family = Family::Number;
      ok = parse_number(s, 2, t);
      break;
    case 'E':
      t.family = Family::Scientific;
      ok = parse_scientific(s, 2, t);
      break;
    case 'S':
      t.family = Family::String;
      ok = parse_string(s, 2, t);
      break;
    default:
      break;
  }
  if (!ok) t = Token{};
  return t;
}

}  // namespace picture::detail
