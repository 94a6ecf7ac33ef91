// The layouts that @D17/@D18/@T7/@T8 take from a locale's C-library data.
#include "platform/picture/locale_formats.h"

#include <gtest/gtest.h>

#include "platform/picture/layout.h"

namespace {

using namespace picture::detail;

std::string date_text(const std::string& pattern, const Names& names, std::int32_t date) {
  Out out;
  write_date({pattern, '/', &names}, 0, false, date, out);
  return std::string(out.view());
}
std::string time_text(const std::string& pattern, const Names& names, std::int32_t time) {
  Out out;
  write_time({pattern, ':', &names}, 0, false, time, out);
  return std::string(out.view());
}

// 81638 = Thursday 4 July 2024; 6300001 = 17:30:00.
TEST(LocaleFormats, ShortAndLongFormsFollowTheLocaleOrder) {
  struct Case {
    const char* d_fmt;
    const char* t_fmt;
    const char* short_date;
    const char* long_date;
    const char* short_time;
    const char* long_time;
  } const cases[] = {
      {"%m/%d/%y", "%H:%M:%S", "07/04/24", "Thursday, July 4, 2024", "17:30", "17:30:00"},
      {"%d.%m.%Y", "%T", "04.07.2024", "Thursday, 4 July 2024", "17:30", "17:30:00"},
      {"%Y-%m-%d", "%H.%M.%S", "2024-07-04", "Thursday, 2024 July 4", "17.30", "17.30.00"},
      {"%e/%-m/%y", "%r", " 4/7/24", "Thursday, 4 July 2024", "05:30 PM", "05:30:00 PM"},
      {"%D", "%l:%M:%S %p", "07/04/24", "Thursday, July 4, 2024", " 5:30 PM", " 5:30:00 PM"},
      {"%F %%", "%-H h %M", "2024-07-04 %", "Thursday, 2024 July 4", "17 h 30", "17 h 30"},
      {"%Ey年%m月%d日", "%OH時%M分", "24年07月04日", "Thursday, 2024 July 4", "17時30分", "17時30分"},
      {"%d/%m/%Y %H", "%H:%M:%S %d", "04/07/2024 ", "Thursday, 4 July 2024", "17:30 ", "17:30:00 "},
      {"%", "%", "", "Thursday, July 4, 2024", "", ""},
  };
  for (const Case& c : cases) {
    LocaleData data;
    data.d_fmt = c.d_fmt;
    data.t_fmt = c.t_fmt;
    const LocaleFormats f = make_locale_formats(data);
    EXPECT_EQ(date_text(f.short_date, f.names, 81638), c.short_date) << c.d_fmt;
    EXPECT_EQ(date_text(f.long_date, f.names, 81638), c.long_date) << c.d_fmt;
    EXPECT_EQ(time_text(f.short_time, f.names, 6300001), c.short_time) << c.t_fmt;
    EXPECT_EQ(time_text(f.long_time, f.names, 6300001), c.long_time) << c.t_fmt;
  }
}

TEST(LocaleFormats, TheLocaleNamesAreUsedAndRead) {
  LocaleData data;
  data.d_fmt = "%a %d %b %Y";
  data.names.weekday_abbr[4] = "jeu.";
  data.names.month_abbr[6] = "juil.";
  data.names.month[6] = "juillet";
  data.names.pm = "";
  const LocaleFormats f = make_locale_formats(data);
  EXPECT_EQ(date_text(f.short_date, f.names, 81638), "jeu. 04 juil. 2024");
  EXPECT_EQ(date_text(f.long_date, f.names, 81638), "Thursday, 4 juillet 2024");
  EXPECT_EQ(read_date({f.short_date, '/', &f.names}, "jeu. 04 juil. 2024"), 81638);
  EXPECT_EQ(read_date({f.long_date, '/', &f.names}, "Thursday, 4 juillet 2024"), 81638);
  EXPECT_EQ(time_text("I:M\\ p", f.names, 6300001), "05:30 ");
}

}  // namespace
