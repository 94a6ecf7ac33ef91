// Any stored bytes as any field type, with any marks, digits, places and
// picture settings, and any texts as arguments of the time functions: nothing
// crashes or reads outside its input, and the CSV text is always the display
// text with every quote doubled and no outer blanks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "engine/expression_functions.h"
#include "engine/value_text.h"
#include "globals/globals.h"
#include "platform/picture/date.h"

namespace {

constexpr const char* kTypes[] = {"BYTE",    "SHORT",   "USHORT",  "LONG",  "ULONG",    "SREAL",   "REAL",
                                  "DECIMAL", "DATE",    "TIME",    "STRING", "CSTRING", "PSTRING", "MEMO",
                                  "GROUP",   "BLOB",    "PDECIMAL", "BFLOAT8"};
constexpr const char* kFormats[] = {"", "@D06", "@D8", "@D17", "@T04", "@T3", "@N9.2", "@S3", "@E12.1", "nonsense"};
constexpr const char* kSeparators[] = {"b", "", ".", "-", "_b", "`"};

std::size_t count_quotes(std::string_view s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '"')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool once = [] {
    picture::fix_clock(81000, 4500001);  // DATE() of two-digit years and the LONG test read today
    return true;
  }();
  (void)once;
  if (size < 5) return 0;
  const std::string_view raw(reinterpret_cast<const char*>(data) + 5, size - 5);
  const char* type = kTypes[data[0] % std::size(kTypes)];
  const std::int32_t digits = static_cast<std::int8_t>(data[1]);
  const std::int32_t places = static_cast<std::int8_t>(data[2]);
  const std::string_view date_mark = data[3] & 1 ? "D" : "";
  const std::string_view time_mark = data[3] & 2 ? "T  " : "";
  globals::GLO_DATEFORMAT = kFormats[(data[3] >> 2) % std::size(kFormats)];
  globals::GLO_TIMEFORMAT = kFormats[data[4] % std::size(kFormats)];
  globals::GLO_DATETIMESEPARATOR = kSeparators[(data[4] >> 4) % std::size(kSeparators)];

  const std::string csv = engine::FormatFieldValue(time_mark, date_mark, type, raw, places, digits);
  const std::string_view shown = engine::CurrentValueText;
  const std::string_view trimmed = text::trim(shown);
  if (csv.size() != trimmed.size() + count_quotes(trimmed)) std::abort();
  if (csv != engine::EscapeCsvQuotes(shown)) std::abort();
  if (!engine::CurrentRawValue.empty() && engine::CurrentRawValue.back() == ' ') std::abort();
  std::string line = "x";
  engine::AppendFieldValue(line, time_mark, date_mark, type, raw, places, digits);
  if (line.substr(1) != csv) std::abort();

  // The same bytes split at commas as arguments of the time functions.
  std::string args[3];
  std::size_t k = 0;
  for (char c : raw.substr(0, 200)) {
    if (c == ',') {
      if (++k == 3) break;
    } else {
      args[k] += c;
    }
  }
  const std::span<const std::string> span(args, 3);
  if (engine::HOUR(span).size() != 20 || engine::MINUTE(span).size() != 20 || engine::SECOND(span).size() != 20) {
    std::abort();
  }
  const std::int32_t h = text::to_long(engine::HOUR(span));
  if (h < 0 || h > 23) std::abort();
  const std::string t = engine::TIME(span);
  const std::int32_t st = text::to_long(t);
  if (t != std::to_string(st) || st < -1 || st > picture::kLastTime) std::abort();
  return 0;
}
