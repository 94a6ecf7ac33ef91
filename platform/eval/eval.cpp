// The reader of expressions: a scanner and a recursive-descent parser that
// evaluate as they read, so a WHERE text costs one pass and no syntax tree.
#include "platform/eval/eval.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/eval/binding.h"
#include "platform/eval/builtins.h"
#include "platform/eval/names.h"
#include "platform/eval/value.h"
#include "platform/files/errors.h"

namespace eval {

namespace {

// Parentheses and calls nested deeper than this are refused: no WHERE text
// needs it, and it bounds the stack whatever the input.
constexpr int kMaxDepth = 100;

// The texts one evaluation may build in all. A WHERE text builds a few short
// ones; the bound keeps a chain of megabyte texts ("LEFT('a', 1048576) = "
// over and over) from costing seconds.
constexpr std::size_t kMaxBuilt = 8 * kMaxText;

enum class Tok : std::uint8_t {
  End, Number, Text, Name, Plus, Minus, Star, Slash, Percent, Caret, Amp,
  LParen, RParen, Comma, Eq, Lt, Gt, Ne, Le, Ge, Tilde, Bad,
};

// The words of the operators, told apart once when the name is scanned.
enum class Word : std::uint8_t { None, And, Or, Xor, Not };

struct Token {
  Tok kind = Tok::End;
  Word word = Word::None;      // a name that is AND, OR, XOR or NOT
  bool doubled_quote = false;  // a text holding '' pairs
  bool exponent = false;       // a number written with an exponent
  std::size_t start = 0;
  std::size_t end = 0;
};

// Character classes by table: the scanner asks them of every character.
enum : std::uint8_t { kDigit = 1, kLetter = 2, kColon = 4, kSpace = 8 };
constexpr std::array<std::uint8_t, 256> kClasses = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = '0'; c <= '9'; ++c) t[c] = kDigit;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = kLetter;
  for (int c = 'a'; c <= 'z'; ++c) t[c] = kLetter;
  t['_'] = kLetter;
  t[':'] = kColon;
  for (int c : {' ', '\t', '\r', '\n'}) t[c] = kSpace;
  return t;
}();
inline std::uint8_t class_of(char c) { return kClasses[static_cast<unsigned char>(c)]; }
inline bool is_digit(char c) { return class_of(c) & kDigit; }
inline bool is_letter(char c) { return class_of(c) & kLetter; }
inline bool is_name_char(char c) { return class_of(c) & (kDigit | kLetter | kColon); }
inline bool is_space(char c) { return class_of(c) & kSpace; }

Word word_of(std::string_view name) {
  if (name.size() < 2 || name.size() > 3) return Word::None;
  if (same_name(name, "AND")) return Word::And;
  if (same_name(name, "OR")) return Word::Or;
  if (same_name(name, "XOR")) return Word::Xor;
  if (same_name(name, "NOT")) return Word::Not;
  return Word::None;
}

int digit_value(char c) {
  if (is_digit(c)) return c - '0';
  c = name_upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

int radix_of(char suffix) {
  switch (name_upper(suffix)) {
    case 'H': return 16;
    case 'O': return 8;
    case 'B': return 2;
    default: return 0;
  }
}

class Evaluator {
 public:
  explicit Evaluator(std::string_view src) : src_(src) { scan(0, cur_); }

  // 0 with the value's text in result, or the error code.
  int run(std::string& result) {
    Value v;
    if (!parse_or(v)) return err_;
    if (cur_.kind != Tok::End) return fail_code(files::kIllegalExpression);
    if (v.kind == Kind::Text && v.owns) {
      result = std::move(v.own);
    } else {
      NumberText nb;
      result.assign(text_of(v, nb));
    }
    return 0;
  }

 private:
  // ---- scanner ----------------------------------------------------------

  // Both write the token into `t` field by field: a token returned whole
  // would be stored and loaded again in pieces of other sizes for every token.
  void scan(std::size_t pos, Token& t) const {
    const std::size_t n = src_.size();
    while (pos < n && is_space(src_[pos])) ++pos;
    t.word = Word::None;
    t.doubled_quote = false;
    t.exponent = false;
    t.start = pos;
    if (pos >= n) {
      t.kind = Tok::End;
      t.end = pos;
      return;
    }
    char c = src_[pos];
    if (is_digit(c) || (c == '.' && pos + 1 < n && is_digit(src_[pos + 1]))) {
      scan_number(pos, t);
      return;
    }
    if (is_letter(c)) {
      std::size_t e = pos + 1;
      while (e < n && is_name_char(src_[e])) ++e;
      t.kind = Tok::Name;
      t.end = e;
      t.word = word_of(src_.substr(pos, e - pos));
      return;
    }
    if (c == '\'') {
      std::size_t e = pos + 1;
      for (;;) {
        if (e >= n) {  // unterminated
          t.kind = Tok::Bad;
          t.end = n;
          return;
        }
        if (src_[e] == '\'') {
          if (e + 1 < n && src_[e + 1] == '\'') {
            t.doubled_quote = true;
            e += 2;
            continue;
          }
          break;
        }
        ++e;
      }
      t.kind = Tok::Text;
      t.end = e + 1;
      return;
    }
    t.end = pos + 1;
    char next = pos + 1 < n ? src_[pos + 1] : '\0';
    switch (c) {
      case '+': t.kind = Tok::Plus; break;
      case '-': t.kind = Tok::Minus; break;
      case '*': t.kind = Tok::Star; break;
      case '/': t.kind = Tok::Slash; break;
      case '%': t.kind = Tok::Percent; break;
      case '^': t.kind = Tok::Caret; break;
      case '&': t.kind = Tok::Amp; break;
      case '(': t.kind = Tok::LParen; break;
      case ')': t.kind = Tok::RParen; break;
      case ',': t.kind = Tok::Comma; break;
      case '~': t.kind = Tok::Tilde; break;
      case '=':
        t.kind = next == '<' ? Tok::Le : next == '>' ? Tok::Ge : Tok::Eq;
        if (t.kind != Tok::Eq) ++t.end;
        break;
      case '<':
        t.kind = next == '>' ? Tok::Ne : next == '=' ? Tok::Le : Tok::Lt;
        if (t.kind != Tok::Lt) ++t.end;
        break;
      case '>':
        t.kind = next == '=' ? Tok::Ge : Tok::Gt;
        if (t.kind != Tok::Gt) ++t.end;
        break;
      default: t.kind = Tok::Bad; break;
    }
  }

  // A number: a run of digits and letters ending in H, O or B with digits of
  // that radix, or a decimal with an optional fraction and exponent. A number
  // run straight into a name ("12AB") is malformed.
  void scan_number(std::size_t pos, Token& t) const {
    const std::size_t n = src_.size();
    t.start = pos;
    t.kind = Tok::Number;
    std::size_t e = pos;
    while (e < n && (is_digit(src_[e]) || is_letter(src_[e]))) ++e;
    if (e - pos >= 2 && is_digit(src_[pos])) {
      if (int radix = radix_of(src_[e - 1])) {
        bool valid = true;
        for (std::size_t i = pos; i + 1 < e; ++i) valid = valid && digit_value(src_[i]) < radix;
        if (valid && !(e < n && (is_name_char(src_[e]) || src_[e] == '.'))) {
          t.end = e;
          return;
        }
      }
    }
    e = pos;
    while (e < n && is_digit(src_[e])) ++e;
    if (e < n && src_[e] == '.') {
      ++e;
      while (e < n && is_digit(src_[e])) ++e;
    }
    if (e < n && (src_[e] == 'e' || src_[e] == 'E')) {
      std::size_t x = e + 1;
      if (x < n && (src_[x] == '+' || src_[x] == '-')) ++x;
      if (x < n && is_digit(src_[x])) {
        while (x < n && is_digit(src_[x])) ++x;
        e = x;
        t.exponent = true;
      }
    }
    t.end = e;
    if (e < n && (is_name_char(src_[e]) || src_[e] == '.')) {
      t.kind = Tok::Bad;
      while (t.end < n && (is_name_char(src_[t.end]) || src_[t.end] == '.')) ++t.end;
    }
  }

  std::string_view token_text(const Token& t) const { return src_.substr(t.start, t.end - t.start); }
  void advance() { scan(cur_.end, cur_); }
  Token peek() const {
    Token t;
    scan(cur_.end, t);
    return t;
  }

  static bool is_keyword(const Token& t, Word word) { return t.kind == Tok::Name && t.word == word; }
  static bool is_any_keyword(const Token& t) { return t.kind == Tok::Name && t.word != Word::None; }

  // ---- errors -----------------------------------------------------------

  // The first error counts, at the token being read when it was found.
  int fail_code(int code) { return fail_code_at(code, cur_.start); }
  int fail_code_at(int code, std::size_t position) {
    if (err_ == 0) {
      err_ = code;
      err_position_ = position;
    }
    return err_;
  }
  bool fail(int code) {
    fail_code(code);
    return false;
  }
  bool fail_at(int code, std::size_t position) {
    fail_code_at(code, position);
    return false;
  }
  // A failure of evaluation (not of syntax or names), found at the operator
  // or function that `position` points to: ignored in a side that AND or OR
  // does not need.
  bool check_at(int code, std::size_t position) { return code == 0 || skip_ > 0 || fail_at(code, position); }
  bool check(int code) { return check_at(code, cur_.start); }

 public:
  std::size_t error_position() const { return err_position_; }

 private:

  // ---- grammar, loosest level first ----------------------------------------

  bool parse_or(Value& v) {
    if (!parse_and(v)) return false;
    for (;;) {
      bool is_or = is_keyword(cur_, Word::Or);
      if (!is_or && !is_keyword(cur_, Word::Xor)) return true;
      advance();
      bool left = skip_ == 0 && truth(v);
      bool skip_right = is_or && left;
      Value rhs;
      if (skip_right) ++skip_;
      bool ok = parse_and(rhs);
      if (skip_right) --skip_;
      if (!ok) return false;
      if (skip_ == 0) v.set_integer(is_or ? (left || truth(rhs)) : (left != truth(rhs)));
    }
  }

  bool parse_and(Value& v) {
    if (!parse_not(v)) return false;
    while (is_keyword(cur_, Word::And)) {
      advance();
      bool left = skip_ == 0 && truth(v);
      Value rhs;
      if (!left) ++skip_;
      bool ok = parse_not(rhs);
      if (!left) --skip_;
      if (!ok) return false;
      if (skip_ == 0) v.set_integer(left && truth(rhs));
    }
    return true;
  }

  bool parse_not(Value& v) {
    int nots = 0;
    while (cur_.kind == Tok::Tilde || is_keyword(cur_, Word::Not)) {
      ++nots;
      advance();
    }
    if (!parse_compare(v)) return false;
    if (nots > 0 && skip_ == 0) v.set_integer(truth(v) != (nots % 2 == 1));
    return true;
  }

  // The comparison operator at the current token, if any; words is how many
  // tokens it takes ("NOT =" and "~ =" take two).
  bool comparison_at(Tok& op, int& words) {
    switch (cur_.kind) {
      case Tok::Eq: case Tok::Lt: case Tok::Gt: case Tok::Ne: case Tok::Le: case Tok::Ge:
        op = cur_.kind;
        words = 1;
        return true;
      default: break;
    }
    if (cur_.kind != Tok::Tilde && !is_keyword(cur_, Word::Not)) return false;
    switch (peek().kind) {
      case Tok::Eq: op = Tok::Ne; break;
      case Tok::Lt: op = Tok::Ge; break;
      case Tok::Gt: op = Tok::Le; break;
      default: return false;
    }
    words = 2;
    return true;
  }

  bool parse_compare(Value& v) {
    if (!parse_concat(v)) return false;
    Tok op;
    int words = 0;
    while (comparison_at(op, words)) {
      for (int k = 0; k < words; ++k) advance();
      Value rhs;
      if (!parse_concat(rhs)) return false;
      if (skip_ > 0) continue;
      int c = compare(v, rhs);
      bool r = false;
      switch (op) {
        case Tok::Eq: r = c == 0; break;
        case Tok::Ne: r = c != 0; break;
        case Tok::Lt: r = c < 0; break;
        case Tok::Gt: r = c > 0; break;
        case Tok::Le: r = c <= 0; break;
        case Tok::Ge: r = c >= 0; break;
        default: break;
      }
      v.set_integer(r);
    }
    return true;
  }

  bool parse_concat(Value& v) {
    if (!parse_arithmetic(0, v)) return false;
    while (cur_.kind == Tok::Amp) {
      advance();
      Value rhs;
      if (!parse_arithmetic(0, rhs)) return false;
      if (skip_ > 0) continue;
      NumberText nb;
      std::string_view right = text_of(rhs, nb);
      if (v.kind != Kind::Text || !v.owns) {
        NumberText lb;
        std::string_view left = text_of(v, lb);
        if (!build(left.size())) return false;
        std::string joined;
        joined.reserve(left.size() + right.size());
        joined.append(left);
        v.start_text() = std::move(joined);
      }
      if (v.own.size() + right.size() > kMaxText || !build(right.size())) {
        return fail(files::kIllegalExpression);
      }
      v.own.append(right);
    }
    return true;
  }

  // The arithmetic operator at the current token and its level, loosest
  // first: 0 is + and -, 1 is * / %, 2 is ^; -1 when there is none.
  int arithmetic_operator(Op& op) const {
    switch (cur_.kind) {
      case Tok::Plus: op = Op::Add; return 0;
      case Tok::Minus: op = Op::Sub; return 0;
      case Tok::Star: op = Op::Mul; return 1;
      case Tok::Slash: op = Op::Div; return 1;
      case Tok::Percent: op = Op::Mod; return 1;
      case Tok::Caret: op = Op::Pow; return 2;
      default: return -1;
    }
  }

  // The operators of `level` and tighter, left to right within a level. An
  // operand takes one call whatever the number of levels: a WHERE text is
  // mostly operands without any arithmetic around them.
  bool parse_arithmetic(int level, Value& v) {
    if (!parse_unary(v)) return false;
    Op op;
    for (int found; (found = arithmetic_operator(op)) >= level;) {
      const std::size_t at = cur_.start;
      advance();
      Value rhs;
      if (!parse_arithmetic(found + 1, rhs)) return false;
      if (skip_ == 0 && !check_at(arithmetic(op, v, rhs, v), at)) return false;
    }
    return true;
  }

  // Unary minus binds tighter than everything but parentheses: -2^2 is 4.
  bool parse_unary(Value& v) {
    bool minus = false;
    const std::size_t at = cur_.start;
    while (cur_.kind == Tok::Minus || cur_.kind == Tok::Plus) {
      if (cur_.kind == Tok::Minus) minus = !minus;
      advance();
    }
    if (!parse_primary(v)) return false;
    if (minus && skip_ == 0) return check_at(negate(v, v), at);
    return true;
  }

  bool parse_primary(Value& v) {
    switch (cur_.kind) {
      case Tok::Number:
        if (!number_literal(v)) return false;
        advance();
        return true;
      case Tok::Text:
        if (!text_literal(v)) return false;
        advance();
        return true;
      case Tok::LParen: {
        if (!enter()) return false;
        advance();
        if (!parse_or(v)) return false;
        if (cur_.kind != Tok::RParen) return fail(files::kIllegalExpression);
        advance();
        --depth_;
        return true;
      }
      case Tok::Name:
        if (is_any_keyword(cur_)) return fail(files::kIllegalExpression);
        return parse_call(v);
      default: return fail(files::kIllegalExpression);
    }
  }

  // Counts n bytes of text built; false once the evaluation has built more
  // than it may.
  bool build(std::size_t n) {
    built_ += n;
    return built_ <= kMaxBuilt || fail(files::kIllegalExpression);
  }

  bool enter() {
    if (++depth_ > kMaxDepth) return fail(files::kIllegalExpression);
    return true;
  }

  // ---- literals -----------------------------------------------------------

  bool number_literal(Value& v) {
    std::string_view t = token_text(cur_);
    if (int radix = radix_of(t.back())) {
      std::uint64_t n = 0;
      for (char c : t.substr(0, t.size() - 1)) {
        std::uint64_t d = static_cast<std::uint64_t>(digit_value(c));
        if (n > (static_cast<std::uint64_t>(INT64_MAX) - d) / static_cast<std::uint64_t>(radix)) {
          return fail(files::kIllegalExpression);
        }
        n = n * static_cast<std::uint64_t>(radix) + d;
      }
      v.set_integer(static_cast<std::int64_t>(n));
      return true;
    }
    if (cur_.exponent) {
      std::string copy(t);
      double r = std::strtod(copy.c_str(), nullptr);
      if (!std::isfinite(r)) return check(files::kIllegalExpression);  // beyond any REAL
      v.set_real(r);
      return true;
    }
    std::size_t point = t.find('.');
    std::string_view whole = t.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
    return number_from_digits(whole, fraction, false, v) || check(files::kIllegalExpression);
  }

  bool text_literal(Value& v) {
    std::string_view body = src_.substr(cur_.start + 1, cur_.end - cur_.start - 2);
    if (!cur_.doubled_quote) {
      v.set_borrowed(body);
      return true;
    }
    if (!build(body.size())) return false;
    std::string& s = v.start_text();
    s.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
      s += body[i];
      if (body[i] == '\'') ++i;  // the second quote of a pair
    }
    return true;
  }

  // ---- calls ----------------------------------------------------------------

  // The argument list after a function's name: each argument is read into the
  // slot the callback gives for its index; omitted ones are reported as such.
  // Returns false on a syntax error or when more than max arguments appear
  // (max -1: any number).
  template <class OnArgument>
  bool parse_arguments(int max, int& count, OnArgument on_argument) {
    count = 0;
    if (cur_.kind != Tok::LParen) return true;
    if (!enter()) return false;
    advance();
    if (cur_.kind == Tok::RParen) {
      advance();
      --depth_;
      return true;
    }
    for (;;) {
      if (max >= 0 && count >= max) return fail(files::kIllegalExpression);
      bool omitted = cur_.kind == Tok::Comma || cur_.kind == Tok::RParen;
      if (!on_argument(count, omitted)) return false;
      ++count;
      if (cur_.kind == Tok::Comma) {
        advance();
        continue;
      }
      if (cur_.kind != Tok::RParen) return fail(files::kIllegalExpression);
      advance();
      --depth_;
      return true;
    }
  }

  bool parse_call(Value& v) {
    std::string_view name = token_text(cur_);
    const std::size_t at = cur_.start;
    advance();
    if (auto binding = find_binding(name)) return call_bound(*binding, v, at);
    const BuiltinInfo* builtin = find_builtin(name);
    if (!builtin) return fail_at(files::kUnknownName, at);
    if (builtin->id == Builtin::Choose) return parse_choose(v, at);

    Value args[kMaxBuiltinArgs];
    bool present[kMaxBuiltinArgs] = {};
    int count = 0;
    bool ok = parse_arguments(builtin->max_args, count, [&](int k, bool omitted) {
      if (omitted) return true;
      present[k] = true;
      return parse_or(args[k]);
    });
    if (!ok) return false;
    for (int k = 0; k < builtin->min_args; ++k) {
      if (k >= count || !present[k]) return fail_at(files::kParametersOmitted, at);
    }
    if (skip_ > 0) return true;
    Value result;
    if (!check_at(call_builtin(builtin->id, args, present, count, result), at)) return false;
    if (result.kind == Kind::Text && result.owns && !build(result.own.size())) return false;
    v = std::move(result);
    return true;
  }

  bool call_bound(const Binding& binding, Value& v, std::size_t at) {
    const int n = binding.parameter_count;
    std::string small[8];
    std::vector<std::string> big;
    std::string* slots = small;
    if (n > 8) {
      big.resize(static_cast<std::size_t>(n));
      slots = big.data();
    }
    int count = 0;
    bool ok = parse_arguments(n, count, [&](int k, bool omitted) {
      if (omitted) return true;
      Value arg;
      if (!parse_or(arg)) return false;
      if (skip_ == 0) {
        if (arg.kind == Kind::Text && arg.owns) {
          slots[k] = std::move(arg.own);
        } else {
          NumberText nb;
          std::string_view t = text_of(arg, nb);
          if (!build(t.size())) return false;
          slots[k].assign(t);
        }
      }
      return true;
    });
    if (!ok) return false;
    if (skip_ > 0) return true;
    std::string result;
    try {
      result = binding.fn(std::span<const std::string>(slots, static_cast<std::size_t>(n)));
    } catch (...) {
      return fail_at(files::kIllegalExpression, at);
    }
    if (!build(result.size())) return false;
    switch (binding.type) {
      case ResultType::String: v.start_text() = std::move(result); break;
      case ResultType::Long: {
        Value t;
        t.set_borrowed(result);
        v.set_integer(to_integer(t));
        break;
      }
      case ResultType::Real: {
        Value t, num;
        t.set_borrowed(result);
        to_number(t, num);
        v.set_real(num.kind == Kind::Real      ? num.r
                   : num.kind == Kind::Decimal ? num.d.to_double()
                                               : static_cast<double>(num.i));
        break;
      }
    }
    return true;
  }

  // CHOOSE(n, v1, v2 ...): the n-th value, the last one when n is out of
  // range. Only the chosen value is evaluated; the others are read as a side
  // AND would skip. When n lies beyond the values, the last one is read again.
  bool parse_choose(Value& v, std::size_t at) {
    if (cur_.kind != Tok::LParen) return fail_at(files::kParametersOmitted, at);
    std::int64_t n = 0;
    bool chosen = false;
    std::size_t last_start = 0;
    int count = 0;
    bool ok = parse_arguments(-1, count, [&](int k, bool omitted) {
      if (omitted) return fail_at(files::kParametersOmitted, at);
      if (k == 0) {
        Value selector;
        if (!parse_or(selector)) return false;
        if (skip_ == 0) n = to_integer(selector);
        return true;
      }
      last_start = cur_.start;
      bool take = skip_ == 0 && n == k;
      Value other;
      if (!take) ++skip_;
      bool read = parse_or(take ? v : other);
      if (!take) --skip_;
      chosen = chosen || (take && read);
      return read;
    });
    if (!ok) return false;
    if (count < 2) return fail_at(files::kParametersOmitted, at);
    if (skip_ > 0 || chosen) return true;
    Token after = cur_;
    scan(last_start, cur_);
    bool read = parse_or(v);
    cur_ = after;
    return read;
  }

  std::string_view src_;
  Token cur_;
  int err_ = 0;
  std::size_t err_position_ = 0;
  int skip_ = 0;   // > 0 while reading a side whose value is not needed
  int depth_ = 0;
  std::size_t built_ = 0;
};

}  // namespace

namespace {
thread_local std::size_t last_error_position = 0;
}  // namespace

std::string evaluate(std::string_view expression) {
  last_error_position = 0;
  try {
    Evaluator ev(expression);
    std::string result;
    int code = ev.run(result);
    if (code != 0) {
      last_error_position = ev.error_position();
      files::set_error(code);
      return {};
    }
    files::clear_error();
    return result;
  } catch (const std::bad_alloc&) {
    files::set_error(files::kInsufficientMemory);
  } catch (...) {
    files::set_error(files::kIllegalExpression);
  }
  last_error_position = std::string_view::npos;
  return {};
}

std::size_t error_position() { return last_error_position; }

}  // namespace eval
