// Names in expressions (keywords, built-in and bound functions) are matched
// without regard to case, as the runtime does.
#pragma once

#include <string_view>

namespace eval {

inline char name_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

inline bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (name_upper(a[i]) != name_upper(b[i])) return false;
  }
  return true;
}

}  // namespace eval
