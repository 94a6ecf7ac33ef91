#include "shell/main_window_def.h"

namespace shell {

namespace {

using window::ControlDef;
using window::ControlType;
using window::Rect;
using window::make_control;
constexpr int D = Rect::kDefault;

constexpr const char* kDatePictures =
    "    m/dd/yy |#@D1|  mm/dd/yy|#@D01|    m/dd/yyyy|#@D2|  mm/dd/yyyy|#@D02|  mmm dd,yyyy|#@D3|"
    "  mmmmm dd, yyyy|#@D4|    d/mm/yy|#@D5|  dd/mm/yy|#@D05|    d/mm/yyyy|#@D6|* dd/mm/yyyy|#@D06|"
    "    d mmm yy|#@D7|  dd mmm yy|#@D07|    d mmm yyyy|#@D8|  dd mmm yyyy|#@D08|  yy/mm/dd|#@D9|"
    "  yyyy/mm/dd|#@D10|  yymmdd|#@D11|  yyyymmdd|#@D12|  mm/yy|#@D13|  mm/yyyy|#@D14|  yy/mm|#@D15|"
    "  yyyy/mm|#@D16|  Windows Short|#@D17|  Windows Long|#@D18";
constexpr const char* kSeparators = "  Period|#.b|  Dash|#-b|  Space|#_b|  Comma|#`b|* Slash|#b";
constexpr const char* kTimePictures =
    "    h:mm|#@T1|  hh:mm|#@T01|    hmm|#@T2|  hhmm|#@T02|    h:mmXM|#@T3|  hh:mmXM|#@T03|"
    "    h:mm:ss|#@T4|* hh:mm:ss|#@T04|    hmmss|#@T5|  hhmmss|#@T05|    h:mm:ssXM|#@T6|"
    "  hh:mm:ssXM|#@T06|  Windows Short|#@T7|  Windows Long|#@T8";

constexpr const char* kPasswordTip = "*.TPS password if any. Only Encrypted TPS files\r\nhave it. If wrong, Error 36 will pop up";
constexpr const char* kInputTip = "*.TPS file full name with path";
constexpr const char* kOutputTip = "If directory specified, TPS file name will be used";
constexpr const char* kDateTip = "If omitted, default will be used\r\nfor fields marked as date - *";
constexpr const char* kSeparatorTip = "If omitted, default will be used\r\nfor fields marked as date & time - *";
constexpr const char* kTimeTip = "If omitted, default will be used\r\nfor fields marked as time - *";
constexpr const char* kSelectTip =
    "Example:\r\nCUS:Code,CUS:StartDate,CUS:FinalDate,CUS:UnitNo\r\nor:\r\nTOP 5 (Top 5 etc.)\r\nor:\r\n"
    "TOP -1 (just Header)\r\nor:\r\nTOP -2 ( Header & DataType)* (All)\r\nor:\r\nBOTTOM 7 ";
constexpr const char* kWhereTip =
    "Example:\r\nCUS:CODE < 3\r\nor:\r\nCUS:DEPARTS < DATE(7,17,2017)\r\nor:\r\nCUS:ARRIVES > TODAY()-8 AND CUS:CODE < 3";
constexpr const char* kWhereMsg =
    "Example:\r\nCUS:CODE < 3\r\nor:\r\nCUS:DEPARTS < DATE(7,17,2017)\r\nor:\r\nCUS:ARRIVES > TODAY()";

ControlDef entry(const char* label, const char* picture, Rect at, const char* tip = "") {
  ControlDef c = make_control(ControlType::Entry, label, "", at);
  c.picture = picture;
  c.tip = tip;
  c.msg = tip;
  return c;
}

ControlDef drop(const char* label, const char* from, Rect at, const char* tip) {
  ControlDef c = make_control(ControlType::DropList, label, "", at);
  c.from = from;
  c.tip = tip;
  c.msg = tip;
  return c;
}

ControlDef text_box(const char* label, Rect at, const char* tip, const char* msg) {
  ControlDef c = make_control(ControlType::Text, label, "", at);
  c.tip = tip;
  c.msg = msg;
  return c;
}

window::WindowDef build() {
  window::WindowDef w;
  w.label = "P1$MENUWINDOW";
  w.caption = "Top Speed Quillomar Ver.1.01";
  w.at = {D, D, kMainWidth, kMainHeight};
  w.icon = "KVD.ICO";
  w.system_menu = true;
  w.maximize_box = true;
  w.resizable = true;
  w.timer = 1;

  auto& c = w.controls;
  c.push_back(make_control(ControlType::Group, "?GROUP1", "", {2, 1, 540, 122}));
  c.push_back(make_control(ControlType::Prompt, "?GLO:TPSPASSWORD:PROMPT", "TPS  Password:", {24, 2, D, D}));
  c.push_back(entry("?GLO:TPSPASSWORD", "@s99", {84, 2, 118, 10}, kPasswordTip));
  c.push_back(make_control(ControlType::Prompt, "?GLO:INPUTTPSLOCATION:PROMPT", "Input TPS Location:", {15, 14, D, D}));
  c.push_back(entry("?GLO:INPUTTPSLOCATION", "@s255", {84, 14, 184, 9}, kInputTip));
  c.push_back(make_control(ControlType::Prompt, "?GLO:OUTPUTCSVLOCATION:PROMPT", "Output CSV Location:", {10, 26, D, D}));
  c.push_back(entry("?GLO:OUTPUTCSVLOCATION", "@s255", {84, 26, 184, 9}, kOutputTip));
  c.push_back(make_control(ControlType::Check, "?GLO:DATESTAMPINEXPORT", "Date Stamp In Export", {389, 2, 82, 10}));
  c.push_back(make_control(ControlType::Prompt, "?GLO:DATEFORMAT:PROMPT", "Date Format:", {339, 14, D, D}));
  c.push_back(drop("?GLO:DATEFORMAT", kDatePictures, {389, 14, 81, 9}, kDateTip));
  c.push_back(drop("?GLO:DATETIMESEPARATOR", kSeparators, {474, 14, 46, 9}, kSeparatorTip));
  c.push_back(make_control(ControlType::Prompt, "?GLO:TIMEFORMAT:PROMPT", "Time Format:", {338, 26, D, D}));
  c.push_back(drop("?GLO:TIMEFORMAT", kTimePictures, {389, 26, 70, 9}, kTimeTip));
  c.push_back(make_control(ControlType::Check, "?GLO:NULLEMPTYSTR", "Null Empty String", {474, 26, D, D}));
  c.push_back(make_control(ControlType::Button, "?BUTTONFETCHFIELD", "Fetch Field", {83, 40, 119, 11}));
  c.push_back(make_control(ControlType::Button, "?BUTTONFETCHFIELD2", "Fetch Field", {388, 40, 119, 11}));
  c.push_back(make_control(ControlType::Prompt, "?PROMPT1", "SELECT", {4, 40, D, D}));
  c.push_back(text_box("?GLO:SELECT", {5, 52, 264, 50}, kSelectTip, kSelectTip));
  c.push_back(make_control(ControlType::Prompt, "?PROMPT2", "WHERE", {274, 40, D, D}));
  c.push_back(text_box("?GLO:WHERE", {275, 52, 264, 50}, kWhereTip, kWhereMsg));
  c.push_back(make_control(ControlType::Button, "?BUTTONFETCH", "Fetch", {6, 104, 71, D}));
  c.push_back(make_control(ControlType::Button, "?BUTTONNEW", "New", {276, 104, 58, D}));
  c.push_back(make_control(ControlType::Prompt, "?GLO:QUERYNAME:PROMPT", "QUERY:", {346, 107, D, D}));
  c.push_back(entry("?GLO:QUERYNAME", "@s99", {386, 106, 138, 10}));
  c.push_back(make_control(ControlType::Button, "?LOOKUPFILE", "File", {274, 13, 17, 12}));
  c.push_back(make_control(ControlType::Button, "?LOOKUPFILE:2", "Dir", {292, 25, 17, 12}));
  c.push_back(make_control(ControlType::Button, "?LOOKUPFILE:4", "File", {274, 25, 17, 12}));
  c.push_back(make_control(ControlType::Button, "?INTERNETLINK", "Open", {310, 25, 22, 12}));
  c.push_back(make_control(ControlType::Line, "?LINE1", "", {5, 38, 535, 0}));
  c.push_back(make_control(ControlType::Button, "?BUTTONQUERY", "...", {526, 104, 12, D}));
  c.push_back(make_control(ControlType::Check, "?GLO:FIELDSBYNAME", "Fields By Name", {474, 2, 64, D}));
  ControlDef fetched = make_control(ControlType::String, "?GLO:FETCHEDNO", "", {86, 106, D, D});
  fetched.picture = "@n9b";
  fetched.use = true;
  c.push_back(fetched);
  c.push_back(make_control(ControlType::Check, "?GLO:NOPREVIEW", "No Preview", {216, 106, D, D}));
  c.push_back(make_control(ControlType::List, "?LIST1", "", {5, 122, 535, 276}));
  return w;
}

}  // namespace

const window::WindowDef& MainWindowDef() {
  static const window::WindowDef def = build();
  return def;
}

}  // namespace shell
