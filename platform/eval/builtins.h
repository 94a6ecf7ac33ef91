// The runtime's built-in functions that expressions may call: the standard
// date functions, numbers (INT ROUND ABS INRANGE) and texts (SUB LEN UPPER
// LOWER CLIP LEFT RIGHT INSTRING NUMERIC VAL CHR). CHOOSE is read by the
// parser itself, which evaluates only the value it picks.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/eval/value.h"

namespace eval {

enum class Builtin : std::uint8_t {
  Date, Today, Clock, Day, Month, Year, Age,
  Int, Round, Abs, Inrange,
  Sub, Len, Upper, Lower, Clip, Left, Right, Instring, Numeric, Val, Chr,
  Choose,
};

struct BuiltinInfo {
  std::string_view name;
  Builtin id;
  int min_args;  // parameters that may not be omitted
  int max_args;  // -1: any number
};

inline constexpr int kMaxBuiltinArgs = 4;  // CHOOSE aside

// The built-in function of a name (any case), or null.
const BuiltinInfo* find_builtin(std::string_view name);

// Calls a built-in function other than CHOOSE. args[k] holds argument k when
// present[k]; count is how many the expression wrote (omitted ones included).
// Returns 0 or an error code.
int call_builtin(Builtin id, Value* args, const bool* present, int count, Value& out);

}  // namespace eval
