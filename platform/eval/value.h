// The evaluator's values and the runtime's rules for them: how a number or a
// text converts, combines and compares. Integers, decimals and texts are exact;
// floating point only enters through scientific literals and REAL results.
// Operations return 0 or the error code of the failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/eval/decimal.h"

namespace eval {

// The longest text any operation may build; longer is an illegal expression.
inline constexpr std::size_t kMaxText = 1 << 20;

enum class Kind : std::uint8_t { Integer, Decimal, Real, Text };

struct Value {
  Kind kind = Kind::Integer;
  std::int64_t i = 0;
  double r = 0;
  Decimal d;
  // A text either lies in the expression itself (borrowed, no copy) or is owned.
  bool owns = false;
  std::string_view borrowed;
  std::string own;

  std::string_view text() const { return owns ? std::string_view(own) : borrowed; }
  bool is_number() const { return kind != Kind::Text; }

  void set_integer(std::int64_t v) {
    kind = Kind::Integer;
    i = v;
  }
  void set_decimal(const Decimal& v) {
    kind = Kind::Decimal;
    d = v;
  }
  void set_real(double v) {
    kind = Kind::Real;
    r = v;
  }
  void set_borrowed(std::string_view s) {
    kind = Kind::Text;
    owns = false;
    borrowed = s;
  }
  void set_text(std::string_view s) {
    kind = Kind::Text;
    owns = true;
    own.assign(s.data(), s.size());
  }
  std::string& start_text() {
    kind = Kind::Text;
    owns = true;
    own.clear();
    return own;
  }
};

// A buffer for the text of a number.
struct NumberText {
  char data[80];
};

// The value as text: a text as it stands, a number in its shortest form
// (integers and decimals exact, floating point to 15 significant digits).
std::string_view text_of(const Value& v, NumberText& buffer);
void append_text(const Value& v, std::string& out);

// True for a non-zero number or a non-blank text.
bool truth(const Value& v);

// The number a text holds as the runtime reads it: leading blanks, a sign,
// digits, a point and a fraction; whatever follows ends it; no number is 0.
// A number stays as it is. False when the text's number is beyond even
// floating point (the value is then the largest of its sign).
bool to_number(const Value& v, Value& out);
// A numeric value cut toward zero to an integer held in 64 bits (the ends of
// the range where it does not fit).
std::int64_t to_integer(const Value& v);

// Builds a number from its digit runs (whole part and fraction): an integer
// when it is whole and fits, else a decimal, else (beyond 31 digits before the
// point) floating point. False when even floating point cannot hold it; the
// value is then the largest one of its sign.
bool number_from_digits(std::string_view whole, std::string_view fraction, bool negative, Value& out);

enum class Op : std::uint8_t { Add, Sub, Mul, Div, Mod, Pow };
// a op b on the numeric values of a and b.
int arithmetic(Op op, const Value& a, const Value& b, Value& out);
// Unary minus.
int negate(const Value& a, Value& out);

// -1, 0 or 1 by the comparison rules (texts against numbers, trailing blanks).
int compare(const Value& a, const Value& b);

}  // namespace eval
