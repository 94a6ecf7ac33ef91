// The query form's "Fetch" and "New" commands and the SELECT keywords:
// ParseSelectClause takes the numbers after TOP, BOTTOM and STARTAT out of
// GLO_SELECT into TopCount, StartAtPointer and ReverseOrder; BuildPreviewFormat
// makes the preview list's column format from the field list and the
// selected names; NewQuery clears the form for a new query. The main
// window's accepted-control handler, which runs them, is here too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/window.h"
#include "shell/main_locals.h"

namespace shell {

void ParseSelectClause();
// The column format text (also left in m.PreviewFormat) set on the list.
void BuildPreviewFormat(MainLocals& m, window::Window& w);
void NewQuery(window::Window& w);

// The number after a keyword: from `start` (0-based, the blank after the
// keyword) the first word of the text is taken, and its leading run of a
// sign, digits and grouping commas is the number ("1,000" is 1000, "5,CUS:X"
// is 5); no digit gives 0. Beyond 32 bits the value saturates.
std::int32_t KeywordNumber(std::string_view select, std::size_t start);

}  // namespace shell
