#include "shell/field_picker_def.h"

#include "platform/window/equates.h"

namespace shell::picker {

namespace {

using window::ControlDef;
using window::ControlType;

constexpr const char* kListTip = "Fields *_1, *_2... are array elements 1, 2 etc.";
constexpr const char* kListFormat =
    "90L(2)|M~Field~@s99@35L(2)|M~Type~@s19@12L(2)|M~D~@s3@12L(2)|M~T~L(3)@s3@12L(2)|M~d?~@s3@"
    "12L(2)M~t?~L(3)@s3@60L(2)|M@n-14@";

ControlDef button(const char* label, const char* text, int x) {
  ControlDef c;
  c.type = ControlType::Button;
  c.label = label;
  c.text = text;
  c.at = {x, 193, 52, 14};
  return c;
}

window::WindowDef build() {
  window::WindowDef d;
  d.label = "P1$WINDOW";
  d.caption = "All Fields";
  d.at = {window::Rect::kDefault, window::Rect::kDefault, 264, 212};
  d.icon = "KVD.ICO";
  d.system_menu = true;

  ControlDef list;
  list.type = ControlType::List;
  list.label = "?LIST1";
  list.at = {4, 4, 256, 184};
  list.tip = kListTip;
  list.msg = kListTip;
  list.format = kListFormat;
  // Enter and a double-click choose the highlighted field.
  list.alerts = {window::EnterKey, window::MouseLeft2};
  d.controls.push_back(list);

  d.controls.push_back(button("?CLOSE", "&Select", 150));
  d.controls.push_back(button("?CANCEL", "&Cancel", 208));

  ControlDef number;
  number.type = ControlType::String;
  number.label = "?NUMBER";
  number.picture = "@n-14";
  number.use = true;
  number.at = {4, 196, 60, 10};
  d.controls.push_back(number);
  return d;
}

}  // namespace

const window::WindowDef& FieldPickerDef() {
  static const window::WindowDef def = build();
  return def;
}

}  // namespace shell::picker
