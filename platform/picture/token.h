// A picture token taken apart: which family (@D, @T, @N, @E, @S) and its
// modifiers. Parsing allocates nothing; FORMAT parses its picture on every call.
// Internal to platform/picture.
#pragma once

#include <cstdint>
#include <string_view>

namespace picture::detail {

enum class Family : std::uint8_t { Invalid, Date, Time, Number, Scientific, String };

// Sizes beyond these make a picture invalid: no runtime field is that wide,
// and they keep every result bounded.
inline constexpr int kMaxNumberSize = 255;
inline constexpr int kMaxStringSize = 65535;

struct Token {
  Family family = Family::Invalid;
  bool blank_zero = false;  // B

  // @D and @T
  int layout = 0;            // 1..18 or 1..8
  bool zero_fill = false;    // the 0 before the layout number
  char separator = 0;        // the separator character to write; 0: the layout's own

  // @N (and size for @E and @S)
  int size = 0;
  std::string_view currency;  // "$" or the text between tildes
  bool currency_after = false;
  char lead_sign = 0;         // '-' or '('
  char trail_sign = 0;        // '-' or ')'
  char fill = 0;              // '0', ' ' or '*'; 0 for none
  char grouping = 0;          // ',', '.' or ' '; 0 for none
  int places = 0;             // digits after the decimal separator (@E: digits before it)
  char decimal = '.';         // '.', ','; 0 for an implied point (v)
};

// Takes the picture apart; trailing blanks are ignored, letters may be in
// either case. Anything the grammar does not allow gives Family::Invalid.
Token parse_token(std::string_view picture);

}  // namespace picture::detail
