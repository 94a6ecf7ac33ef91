// Run-length coding of page bodies, with the driver's own habits: a run of four
// or more equal bytes becomes one literal byte plus a repeat of the rest, so a
// literal never holds four equal bytes in a row, and the stream always ends with
// a literal (an empty one after a final run). These habits reproduce the
// driver's page bytes exactly.
#pragma once

#include <string>
#include <string_view>

namespace tps {

// The coded form of `plain`; decoding it gives `plain` back.
std::string rle_encode(std::string_view plain);

// Appends the coded form of `plain` to `out`.
void rle_encode_append(std::string_view plain, std::string& out);

}  // namespace tps
