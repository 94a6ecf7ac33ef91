// The operating system's date and time formats of the current locale, behind
// @D17 (short date), @D18 (long date), @T7 (short time) and @T8 (long time).
// Internal to platform/picture; the locale is read once, on first use.
#pragma once

#include <string>

#include "platform/picture/layout.h"

namespace picture::detail {

struct LocaleFormats {
  std::string short_date, long_date, short_time, long_time;  // layout patterns
  Names names;
};

const LocaleFormats& locale_formats();

// What the C library tells of a locale: its strftime formats and its names.
struct LocaleData {
  std::string d_fmt = "%m/%d/%y", t_fmt = "%H:%M:%S", t_fmt_ampm = "%I:%M:%S %p";
  Names names = english_names();
};

// The four layouts built from a locale's data (exposed for tests; strftime
// conversions that no date or time picture shows are dropped).
LocaleFormats make_locale_formats(const LocaleData& data);

}  // namespace picture::detail
