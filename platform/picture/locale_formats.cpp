#include "platform/picture/locale_formats.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/picture/picture.h"

#ifndef _WIN32
#include <langinfo.h>
#include <locale.h>
#endif

namespace picture::detail {
namespace {

void put_literal(std::string& out, char c) {
  // Letters and the separator slots mean something in a pattern; the
  // locale's own characters are written as they are.
  out += '\\';
  out += c;
}

void convert(std::string_view f, bool date, const LocaleData& data, std::string& out, int depth) {
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%') {
      put_literal(out, f[i]);
      continue;
    }
    char flag = 0;
    ++i;
    while (i < f.size() && (f[i] == '-' || f[i] == '_' || f[i] == '0' || f[i] == '^' || f[i] == '#')) flag = f[i++];
    while (i < f.size() && f[i] >= '1' && f[i] <= '9') ++i;  // a field width
    if (i < f.size() && (f[i] == 'E' || f[i] == 'O')) ++i;
    if (i >= f.size()) break;
    const bool bare = flag == '-';
    const bool blank = flag == '_';
    const char c = f[i];
    const auto nested = [&](std::string_view inner) {
      if (depth < 3) convert(inner, date, data, out, depth + 1);
    };
    if (date) {
      switch (c) {
        case 'd': out += bare ? 'e' : blank ? 'd' : 'D'; break;
        case 'e': out += bare ? 'e' : 'd'; break;
        case 'm': out += bare ? 'o' : blank ? 'm' : 'M'; break;
        case 'y': out += 'y'; break;
        case 'Y': case 'G': out += 'Y'; break;
        case 'b': case 'h': out += 'n'; break;
        case 'B': out += 'N'; break;
        case 'a': out += 'w'; break;
        case 'A': out += 'W'; break;
        case 'D': nested("%m/%d/%y"); break;
        case 'F': nested("%Y-%m-%d"); break;
        case 'x': nested(data.d_fmt); break;
        case 'n': case 't': put_literal(out, ' '); break;
        case '%': put_literal(out, '%'); break;
        default: break;  // a time conversion or one no date picture shows
      }
    } else {
      switch (c) {
        case 'H': out += bare ? 'k' : blank ? 'h' : 'H'; break;
        case 'k': out += bare ? 'k' : 'h'; break;
        case 'I': out += bare ? 'l' : blank ? 'i' : 'I'; break;
        case 'l': out += bare ? 'l' : 'i'; break;
        case 'M': out += 'M'; break;
        case 'S': out += 'S'; break;
        case 'p': case 'P': out += 'p'; break;
        case 'T': nested("%H:%M:%S"); break;
        case 'R': nested("%H:%M"); break;
        case 'r': nested(data.t_fmt_ampm); break;
        case 'X': nested(data.t_fmt); break;
        case 'n': case 't': put_literal(out, ' '); break;
        case '%': put_literal(out, '%'); break;
        default: break;
      }
    }
  }
}

// The short time: the long time without its seconds and whatever stands
// between the minutes and them.
std::string without_seconds(std::string p) {
  const std::size_t s = p.find('S');
  if (s == std::string::npos) return p;
  std::size_t from = s;
  while (from >= 2 && p[from - 2] == '\\') from -= 2;
  p.erase(from, s + 1 - from);
  return p;
}

// The long date: the weekday, then day, month name and year in the order of
// the short date.
std::string long_date_from(std::string_view short_date) {
  const std::size_t day = short_date.find_first_of("Dde");
  const std::size_t month = short_date.find_first_of("Mmon");
  const std::size_t year = short_date.find_first_of("Yy");
  if (year != std::string_view::npos && year < month && year < day) return "W\\,\\ Y\\ N\\ e";
  if (day != std::string_view::npos && day < month) return "W\\,\\ e\\ N\\ Y";
  return "W\\,\\ N\\ e\\,\\ Y";
}

LocaleData read_locale(const char* name) {
  LocaleData data;
#ifndef _WIN32
  locale_t loc = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (!loc) return data;
  const auto text = [&](nl_item item) { return std::string(nl_langinfo_l(item, loc)); };
  if (!text(D_FMT).empty()) data.d_fmt = text(D_FMT);
  if (!text(T_FMT).empty()) data.t_fmt = text(T_FMT);
  if (!text(T_FMT_AMPM).empty()) data.t_fmt_ampm = text(T_FMT_AMPM);
  for (int i = 0; i < 12; ++i) {
    data.names.month[i] = text(static_cast<nl_item>(MON_1 + i));
    data.names.month_abbr[i] = text(static_cast<nl_item>(ABMON_1 + i));
  }
  for (int i = 0; i < 7; ++i) {
    data.names.weekday[i] = text(static_cast<nl_item>(DAY_1 + i));
    data.names.weekday_abbr[i] = text(static_cast<nl_item>(ABDAY_1 + i));
  }
  data.names.am = text(AM_STR);
  data.names.pm = text(PM_STR);
  freelocale(loc);
#else
  (void)name;  // the en-US forms stand in until the Windows locale is read
#endif
  return data;
}

// Formats are replaced only by the test hook; replaced ones are kept alive
// because a reader may still hold them.
std::mutex formats_mutex;
std::atomic<const LocaleFormats*> current{nullptr};

const LocaleFormats* install(const char* name) {
  static std::vector<std::unique_ptr<LocaleFormats>> kept;
  std::lock_guard<std::mutex> lock(formats_mutex);
  kept.push_back(std::make_unique<LocaleFormats>(make_locale_formats(read_locale(name))));
  current.store(kept.back().get());
  return kept.back().get();
}

}  // namespace

LocaleFormats make_locale_formats(const LocaleData& data) {
  LocaleFormats f;
  f.names = data.names;
  convert(data.d_fmt, true, data, f.short_date, 0);
  f.long_date = long_date_from(f.short_date);
  convert(data.t_fmt, false, data, f.long_time, 0);
  f.short_time = without_seconds(f.long_time);
  return f;
}

const LocaleFormats& locale_formats() {
  const LocaleFormats* f = current.load();
  if (!f) {
    static const LocaleFormats* first = install("");  // the environment's LC_TIME
    f = current.load();
    if (!f) f = first;
  }
  return *f;
}

}  // namespace picture::detail

namespace picture {

void use_locale(const char* name) { detail::install(name); }

}  // namespace picture
