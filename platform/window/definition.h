// Windows as data: a window definition with its attributes and its controls in
// order (a control's field number is its position, from 1), and the two small
// languages inside a definition: drop-list items ("text|#value|...") and a
// list's FORMAT string. The parsers take any text: malformed input yields what
// could be read, never a crash.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace window {

enum class ControlType { Group, Prompt, Entry, Text, Check, DropList, Combo, Button, Line, String, List, Sheet, Tab };

// AT(x, y, width, height) in dialog units; kDefault leaves a part to the control.
struct Rect {
  static constexpr int kDefault = -1;
  int x = kDefault, y = kDefault, width = kDefault, height = kDefault;
};

struct ControlDef {
  ControlType type = ControlType::Prompt;
  std::string label{};    // "?GLO:TPSPASSWORD": names the control in read-backs
  std::string text{};     // caption of a prompt, button, check box, tab, group
  std::string picture{};  // display picture of a value ("@s99", "@n9b")
  Rect at{};
  std::string tip{};      // PROP:Tip
  std::string msg{};      // PROP:Msg (status-bar text)
  std::string icon{};
  std::string from{};     // fixed items of a drop list or combo: "text|#value|..."
  std::string format{};   // FORMAT of a list
  bool use = false;     // a string shows a bound variable (other value controls always do)
  bool disabled = false;
  bool hidden = false;
  bool readonly = false;
  std::vector<int> alerts{};  // key codes that produce EVENT:AlertKey on this control
  // The sheet a tab belongs to, or the tab a control stands on (field
  // numbers); 0: the window. A control on a tab other than its sheet's chosen
  // one is not shown and takes no input.
  int parent = 0;
};

// A control of a definition by its type, label, text and place: what every
// window definition starts each control from.
inline ControlDef make_control(ControlType type, std::string label, std::string text, Rect at, int parent = 0) {
  ControlDef c;
  c.type = type;
  c.label = std::move(label);
  c.text = std::move(text);
  c.at = at;
  c.parent = parent;
  return c;
}

struct WindowDef {
  std::string label{};    // "P1$MENUWINDOW"
  std::string caption{};
  Rect at{};              // the size in dialog units (width, height)
  std::string icon{};
  bool system_menu = false;
  bool maximize_box = false;
  bool resizable = false;
  bool status_bar = false;  // STATUS: a status bar shows the focused control's message
  int timer = 0;        // TIMER(n): hundredths of a second between timer events; 0 none
  std::vector<int> alerts{};  // key codes alerted on the whole window
  std::vector<ControlDef> controls{};
};

// True for the controls that take a variable of the bound list when a window is
// created: entries, texts, check boxes, drop lists, combos, lists (their rows),
// and strings marked `use`.
bool takes_value(const ControlDef& c);

// ---- drop-list items -----------------------------------------------------------------

// One item: the text shown, and the value stored in the variable when it is chosen
// (the text itself when the item has no "#" value).
struct DropItem {
  std::string text{};
  std::string value{};
};

// Items are separated by "|"; "||" is a "|" inside an item; an item that begins
// with "#" is the value of the item before it and is not shown itself. A "#"
// item with no item before it to pair with is dropped.
std::vector<DropItem> parse_items(std::string_view from);

// ---- list FORMAT -----------------------------------------------------------------------

struct ListColumn {
  int width = 0;            // dialog units
  char align = 'L';         // L, R, C or D (decimal)
  int indent = 0;
  bool right_border = false;  // |
  bool resizable = false;     // M
  bool fixed = false;         // F
  bool underline = false;     // _
  bool last_on_line = false;  // /
  bool locator = false;       // ?
  bool colors = false;        // *: four LONGs after the field
  bool icon = false;          // I or J: a LONG after the field
  bool tree = false;          // T: a level LONG after the field
  bool style = false;         // Y: a style LONG after the field
  bool tip = false;           // P: the tip text in the next field
  std::string heading{};
  char heading_align = 'L';   // the data's alignment unless given after the heading
  int heading_indent = 0;
  std::string picture{};        // "@n-14"; empty: the field's text as it stands
  int field = 0;              // 1-based field of the row source shown in this column
  int group = 0;              // 1-based group it belongs to; 0 none
};

struct ListGroup {
  int width = 0;
  std::string heading{};
  char heading_align = 'L';
  int heading_indent = 0;
  bool right_border = false;
  bool resizable = false;
  std::size_t first = 0;  // 0-based index of its first column
  std::size_t count = 0;  // columns inside it
};

struct ListFormat {
  std::vector<ListColumn> columns{};
  std::vector<ListGroup> groups{};
};

// Parses a FORMAT string such as "57L|M~CUS:PTR~58L|M~CUS:CODE~". Each column
// starts with its width; the columns take the source's fields in order, skipping
// the extra fields that *, I, J, T, Y and P consume, unless "#n#" names one.
ListFormat parse_format(std::string_view format);

}  // namespace window
