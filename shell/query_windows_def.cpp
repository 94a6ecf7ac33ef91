#include "shell/query_windows_def.h"

namespace shell {

namespace {

using window::ControlDef;
using window::ControlType;
using window::Rect;
using window::make_control;
constexpr int D = Rect::kDefault;

constexpr const char* kDatePictures =
    "m/dd/yy |#@D1|mm/dd/yy|#@D01|m/dd/yyyy|#@D2|mm/dd/yyyy |#@D02|mmm dd,yyyy|#@D3|mmmmm dd, yyyy|#@D4|"
    "d/mm/yy|#@D5|dd/mm/yy  |#@D05|d/mm/yyyy|#@D6|dd/mm/yyyy |#@D06|d mmm yy|#@D7|dd mmm yy|#@D07|"
    "d mmm yyyy|#@D8|dd mmm yyyy|#@D08|yy/mm/dd|#@D9|yyyy/mm/dd|#@D10|yymmdd|#@D11|yyyymmdd|#@D12|"
    "m/yy|#@D13|mm/yy |#@D013|m/yyyy|#@D14|mm/yyyy|#@D014|yy/mm|#@D15|yyyy/mm|#@D16|"
    "Windows Short|#@D17|Windows Long|#@D18";
constexpr const char* kSeparators = "Period|#.|Dash|#-|Underscore|#_|Comma|#`|Slash|#";

ControlDef button(const char* label, const char* text, Rect at, const char* icon, const char* tip) {
  ControlDef c = make_control(ControlType::Button, label, text, at);
  c.icon = icon;
  c.msg = tip;
  c.tip = tip;
  return c;
}

ControlDef data(ControlType type, const char* label, const char* picture, int y, int width, int parent) {
  ControlDef c = make_control(type, label, "", {92, y, width, 10}, parent);
  c.picture = picture;
  return c;
}

ControlDef prompt(const char* label, const char* text, int y, int parent) {
  return make_control(ControlType::Prompt, label, text, {8, y, D, D}, parent);
}

window::WindowDef make_browse() {
  window::WindowDef def;
  def.label = "P3$QUICKWINDOW";
  def.caption = "Pick Query";
  def.status_bar = true;  // the list's message "Browsing the QMXSETUPAlias file" shows there
  def.at = {D, D, kLookupQueryWidth, kLookupQueryHeight};
  def.icon = "KVD.ICO";
  def.resizable = true;
  def.system_menu = true;
  ControlDef list = make_control(ControlType::List, "?BROWSE:1", "", {5, 2, 143, 165});
  list.format = "80L(2)|M~Query Name~@s99@";
  list.msg = "Browsing the QMXSETUPAlias file";
  def.controls.push_back(list);
  def.controls.push_back(button("?SELECT:2", "&Select", {3, 180, 49, 14}, "WASELECT.ICO", "Select the Record"));
  def.controls.push_back(button("?DELETE:4", "&Delete", {102, 180, 49, 14}, "WADELETE.ICO", "Delete the Record"));
  def.controls.push_back(button("?CLOSE", "&Close", {53, 180, 49, 14}, "WACLOSE.ICO", "Close Window"));
  return def;
}

window::WindowDef make_form() {
  window::WindowDef def;
  def.label = "P11$QUICKWINDOW";
  def.caption = "Form QMXSETUPAlias";
  def.at = {D, D, kQueryFormWidth, kQueryFormHeight};
  def.resizable = true;
  def.system_menu = true;
  auto& c = def.controls;
  c.push_back(make_control(ControlType::Sheet, "?CURRENTTAB", "", {4, 4, 350, 228}));
  c.push_back(make_control(ControlType::Tab, "?TAB:1", "&1) General", {}, FEQ_CURRENTTAB));
  const int t1 = FEQ_TAB_1;
  c.push_back(prompt("?QMX:SYSID:PROMPT", "Sys ID:", 20, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:SYSID", "@n-14", 20, 64, t1));
  c.push_back(prompt("?QMX:TAG:PROMPT", "Tag:", 34, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:TAG", "@n3", 34, 40, t1));
  c.push_back(prompt("?QMX:QUERYNAME:PROMPT", "Query Name:", 48, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:QUERYNAME", "@s99", 48, 258, t1));
  c.push_back(prompt("?QMX:TPSPASSWORD:PROMPT", "TPS password:", 62, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:TPSPASSWORD", "@s99", 62, 258, t1));
  c.push_back(prompt("?QMX:INPUTTPSLOCATION:PROMPT", "Input TPSL ocation:", 76, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:INPUTTPSLOCATION", "@s255", 76, 258, t1));
  c.push_back(prompt("?QMX:OUTPUTCSVLOCATION:PROMPT", "Output CSVL ocation:", 90, t1));
  c.push_back(data(ControlType::Entry, "?QMX2:OUTPUTCSVLOCATION", "@s255", 90, 258, t1));
  ControlDef check = data(ControlType::Check, "?QMX2:DATESTAMPINEXPORT", "", 104, 96, t1);
  check.text = "Date Stamp In Export:";
  c.push_back(check);
  c.push_back(prompt("?QMX:NULLEMPTYSTR:PROMPT", "Null Empty Str:", 116, t1));
  ControlDef null_empty = data(ControlType::Combo, "?QMX2:NULLEMPTYSTR", "@n3", 116, 100, t1);
  null_empty.from = "N/Y";
  c.push_back(null_empty);
  c.push_back(make_control(ControlType::Tab, "?TAB:2", "&2) General (cont.)", {}, FEQ_CURRENTTAB));
  const int t2 = FEQ_TAB_2;
  c.push_back(prompt("?QMX:DATEFORMAT:PROMPT", "Date Format:", 20, t2));
  ControlDef date = data(ControlType::DropList, "?QMX2:DATEFORMAT", "", 20, 100, t2);
  date.from = kDatePictures;
  c.push_back(date);
  c.push_back(make_control(ControlType::Tab, "?TAB:3", "&3) General (cont. 2)", {}, FEQ_CURRENTTAB));
  const int t3 = FEQ_TAB_3;
  c.push_back(prompt("?QMX:DATETIMESEPARATOR:PROMPT", "Separator:", 20, t3));
  ControlDef separator = data(ControlType::Combo, "?QMX2:DATETIMESEPARATOR", "@s9", 20, 100, t3);
  separator.from = kSeparators;
  c.push_back(separator);
  // The form's own text: the prompt of the time picture reads "Date Format:".
  c.push_back(prompt("?QMX:TIMEFORMAT:PROMPT", "Date Format:", 34, t3));
  c.push_back(data(ControlType::Entry, "?QMX2:TIMEFORMAT", "@s13", 34, 56, t3));
  c.push_back(button("?OK", "&OK", {199, 236, 49, 14}, "WAOK.ICO", "Accept data and close the window"));
  c.push_back(button("?CANCEL", "&Cancel", {252, 236, 49, 14}, "WACANCEL.ICO", "Cancel operation"));
  c.push_back(button("?HELP", "&Help", {305, 236, 49, 14}, "WAHELP.ICO", "See Help Window"));
  return def;
}

}  // namespace

const window::WindowDef& LookupQueryWindowDef() {
  static const window::WindowDef def = make_browse();
  return def;
}

const window::WindowDef& QueryFormWindowDef() {
  static const window::WindowDef def = make_form();
  return def;
}

}  // namespace shell
