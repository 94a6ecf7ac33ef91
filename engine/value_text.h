// Value text: the stored bytes of one field of the current record turned into
// the text the CSV line carries, with the date and time pictures the user's
// marks (and DATE/TIME types) ask for. Every call also leaves the unformatted
// text, the display text and the date/time judgements in engine_state.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The CSV text of a field's value: its display text with every double quote
// doubled and leading and trailing blanks removed, never cut.
// Sets CurrentRawValue (the text before any picture: dates and times as
// standard numbers) and CurrentValueText (after the picture, leading blanks
// kept), both without trailing blanks. Sets NotDateFlag / NotTimeFlag to -1
// after a DATE / TIME field and to 1 after a LONG that cannot be a date
// (outside TODAY() +- 14600) / a time (outside 1..8640000); leaves them as
// they were otherwise. Marks count with trailing blanks ignored: "D" picks
// the date picture, else "T" the time picture. Raw bytes shorter than the
// type's width count as blanks. Never fails.
std::string FormatFieldValue(std::string_view time_mark, std::string_view date_mark, std::string_view type_name,
                             std::string_view raw, std::int32_t places, std::int32_t digits);

// The same, with the CSV text appended to `out` instead of returned: the
// record line builds its whole line in one buffer.
void AppendFieldValue(std::string& out, std::string_view time_mark, std::string_view date_mark,
                      std::string_view type_name, std::string_view raw, std::int32_t places,
                      std::int32_t digits);

// The text of a packed decimal of `digits` declared digits (1..31; any other
// count gives an empty text) read from the first digits / 2 + 1 bytes of raw
// (blanks past its end), with `places` digits after the point.
std::string DecimalToText(std::string_view raw, std::int32_t digits, std::int32_t places);

// The value with every double quote doubled and without leading or trailing
// blanks.
std::string EscapeCsvQuotes(std::string_view value);

}  // namespace engine
