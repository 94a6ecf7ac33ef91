#include "platform/window/definition.h"

#include <cctype>

namespace window {

bool takes_value(const ControlDef& c) {
  switch (c.type) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Check:
    case ControlType::DropList:
    case ControlType::Combo:
    case ControlType::List:
      return true;
    case ControlType::String:
      return c.use;
    default:
      return false;
  }
}

std::vector<DropItem> parse_items(std::string_view from) {
  std::vector<std::string> pieces;
  std::string piece;
  for (std::size_t i = 0; i < from.size(); ++i) {
    if (from[i] != '|') {
      piece += from[i];
    } else if (i + 1 < from.size() && from[i + 1] == '|') {
      piece += '|';
      ++i;
    } else {
      pieces.push_back(std::move(piece));
      piece.clear();
    }
  }
  if (!from.empty()) pieces.push_back(std::move(piece));

  std::vector<DropItem> items;
  bool last_paired = true;  // nothing to pair with before the first item
  for (auto& p : pieces) {
    if (!p.empty() && p[0] == '#') {
      if (!last_paired) {
        items.back().value = p.substr(1);
        last_paired = true;
      }
      continue;
    }
    items.push_back({p, p});
    last_paired = false;
  }
  return items;
}

namespace {

// Numbers in a format string are dialog units or field numbers; anything
// longer than this is nonsense and is held here rather than overflowing.
constexpr int kNumberLimit = 1'000'000;

class FormatReader {
 public:
  explicit FormatReader(std::string_view s) : s_(s) {}

  ListFormat read() {
    while (i_ < s_.size()) {
      char c = s_[i_];
      if (std::isdigit(static_cast<unsigned char>(c))) {
        column();
      } else if (c == '[') {
        ++i_;
        ListGroup g;
        g.first = out_.columns.size();
        out_.groups.push_back(g);
        open_group_ = static_cast<int>(out_.groups.size());
      } else if (c == ']') {
        ++i_;
        group_tail();
      } else {
        ++i_;  // a character that belongs to no column
      }
    }
    return std::move(out_);
  }

 private:
  bool at_end() const { return i_ >= s_.size(); }
  char up() const { return static_cast<char>(std::toupper(static_cast<unsigned char>(s_[i_]))); }

  int number() {
    bool negative = false;
    if (!at_end() && (s_[i_] == '-' || s_[i_] == '+')) {
      negative = s_[i_] == '-';
      ++i_;
    }
    int v = 0;
    while (!at_end() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
      if (v < kNumberLimit) v = v * 10 + (s_[i_] - '0');
      ++i_;
    }
    if (v > kNumberLimit) v = kNumberLimit;
    return negative ? -v : v;
  }

  // "(n)" at the reading position, or 0 when there is none.
  int paren_number() {
    if (at_end() || s_[i_] != '(') return 0;
    ++i_;
    int v = number();
    skip_to(')');
    return v;
  }

  // Moves past the next `close` (or to the end).
  void skip_to(char close) {
    while (!at_end() && s_[i_] != close) ++i_;
    if (!at_end()) ++i_;
  }

  // The text up to the next `close`, which is consumed.
  std::string delimited(char close) {
    std::size_t start = i_;
    while (!at_end() && s_[i_] != close) ++i_;
    std::string t(s_.substr(start, i_ - start));
    if (!at_end()) ++i_;
    return t;
  }

  void column() {
    ListColumn col;
    col.width = number();
    col.field = next_field_;
    col.group = open_group_;
    bool aligned = false, headed = false, heading_aligned = false;
    while (!at_end()) {
      char c = up();
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '[' || c == ']') break;
      ++i_;
      switch (c) {
        case 'L':
        case 'R':
        case 'C':
        case 'D':
          if (headed && !heading_aligned) {
            col.heading_align = c;
            col.heading_indent = paren_number();
            heading_aligned = true;
          } else if (!headed && !aligned) {
            col.align = c;
            col.indent = paren_number();
            aligned = true;
          }
          break;
        case '|': col.right_border = true; break;
        case 'M': col.resizable = true; break;
        case 'F': col.fixed = true; break;
        case '_': col.underline = true; break;
        case '/': col.last_on_line = true; break;
        case '?': col.locator = true; break;
        case '*': col.colors = true; break;
        case 'I':
        case 'J': col.icon = true; break;
        case 'T': col.tree = true; paren_number(); break;
        case 'Y': col.style = true; break;
        case 'P': col.tip = true; break;
        case 'Z':
        case 'S':
        case 'B':
        case 'E':
          if (!at_end() && s_[i_] == '(') skip_to(')');
          break;
        case 'Q':
          if (!at_end() && s_[i_] == '\'') {
            ++i_;
            skip_to('\'');
          }
          break;
        case '~':
          col.heading = delimited('~');
          headed = true;
          break;
        case '@':
          col.picture = delimited('@');
          col.picture.insert(col.picture.begin(), '@');
          break;
        case '#': {
          int n = number();
          skip_to('#');
          if (n >= 1) col.field = n;
          break;
        }
        default:
          break;
      }
    }
    if (!heading_aligned) {
      col.heading_align = col.align;
      col.heading_indent = col.indent;
    }
    int extras = (col.colors ? 4 : 0) + (col.icon ? 1 : 0) + (col.tree ? 1 : 0) + (col.style ? 1 : 0) +
                 (col.tip ? 1 : 0);
    next_field_ = col.field + 1 + extras;
    if (next_field_ > kNumberLimit) next_field_ = kNumberLimit;
    out_.columns.push_back(std::move(col));
    if (open_group_ > 0) ++out_.groups[static_cast<std::size_t>(open_group_ - 1)].count;
  }

  // After "]": "(width)", then modifiers, "~heading~" and its justification.
  void group_tail() {
    if (open_group_ == 0) return;  // a "]" that closes nothing
    ListGroup& g = out_.groups[static_cast<std::size_t>(open_group_ - 1)];
    open_group_ = 0;
    g.width = paren_number();
    bool headed = false, heading_aligned = false;
    while (!at_end()) {
      char c = up();
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '[' || c == ']') break;
      ++i_;
      if (c == '|') {
        g.right_border = true;
      } else if (c == 'M') {
        g.resizable = true;
      } else if (c == '~') {
        g.heading = delimited('~');
        headed = true;
      } else if (headed && !heading_aligned && (c == 'L' || c == 'R' || c == 'C' || c == 'D')) {
        g.heading_align = c;
        g.heading_indent = paren_number();
        heading_aligned = true;
      }
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
  ListFormat out_;
  int next_field_ = 1;
  int open_group_ = 0;
};

}  // namespace

ListFormat parse_format(std::string_view format) { return FormatReader(format).read(); }

}  // namespace window
