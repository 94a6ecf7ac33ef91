// The time-of-day functions that WHERE expressions call: TIME builds a
// standard time from hours, minutes and seconds; HOUR, MINUTE and SECOND take
// one apart. The shell binds them into the evaluator under these names
// (bound-function signature of platform/eval); they keep no state.
#pragma once

#include <span>
#include <string>

namespace engine {

// TIME(hours, minutes, seconds): the standard time, as text without blanks.
// Seconds above 59 carry into minutes, minutes above 59 into hours, hours
// above 23 wrap at 24; a part still out of range gives "-1".
std::string TIME(std::span<const std::string> args);

// HOUR / MINUTE / SECOND(standard time): the part, 0..23 or 0..59, padded with
// blanks to 20 characters; 0 for a value outside 1..8640000 or no number.
std::string HOUR(std::span<const std::string> args);
std::string MINUTE(std::span<const std::string> args);
std::string SECOND(std::span<const std::string> args);

}  // namespace engine
