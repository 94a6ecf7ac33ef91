// A small window with one control of each kind and a list, shown on the desktop
// backend, for looking at the backend by eye (scripts/screenshot.sh takes its
// picture). Closes after the seconds given as its argument, else when closed.
#include <QTimer>
#include <cstdlib>
#include <string>
#include <tuple>

#include "platform/queue/queue.h"
#include "platform/text/text.h"
#include "platform/window/qt/desktop.h"
#include "platform/window/qt/qt_backend.h"
#include "platform/window/window.h"

namespace {

using namespace window;

struct Row {
  std::int32_t number = 0;
  text::CString<20> name;
  text::CString<12> date;
  text::CString<16> amount;
  auto fields() { return std::tie(number, name, date, amount); }
  auto fields() const { return std::tie(number, name, date, amount); }
};

WindowDef demo() {
  WindowDef def;
  def.label = "DEMO";
  def.caption = "Quillomar \x96 window demo";
  def.at = {Rect::kDefault, Rect::kDefault, 360, 250};
  def.resizable = true;
  def.controls = {
      {.type = ControlType::Group, .text = "Table", .at = {4, 2, 240, 58}},
      {.type = ControlType::Prompt, .text = "&File:", .at = {10, 14, 30, 10}},
      {.type = ControlType::Entry, .picture = "@s80", .at = {42, 12, 150, 12}, .tip = "The TopSpeed table"},
      {.type = ControlType::Button, .text = "&Browse...", .at = {196, 11, 44, 14}},
      {.type = ControlType::Check, .text = "Column &headings", .at = {10, 30, 80, 10}},
      {.type = ControlType::Prompt, .text = "&Separator:", .at = {100, 30, 40, 10}},
      {.type = ControlType::DropList, .at = {142, 28, 60, 12}, .from = "Comma|#,|Semicolon|#;|Tab|#T"},
      {.type = ControlType::Prompt, .text = "&Date:", .at = {10, 44, 30, 10}},
      {.type = ControlType::Combo, .at = {42, 43, 80, 12}, .from = "@D1|@D2|@D6|@D10"},
      {.type = ControlType::Button, .text = "&Export", .at = {300, 6, 54, 14}},
      {.type = ControlType::Button, .text = "Close", .at = {300, 24, 54, 14}},
      {.type = ControlType::Line, .at = {4, 64, 352, 2}},
      {.type = ControlType::List, .at = {4, 70, 250, 160},
       .format = "30R(2)|M~No.~@n6@80L(2)|M~Name~50C|M~Date~60D(4)|M~Amount~"},
      {.type = ControlType::Sheet, .at = {258, 70, 98, 80}},
      {.type = ControlType::Tab, .text = "Where"},
      {.type = ControlType::Text, .at = {262, 88, 90, 56}},
      {.type = ControlType::Tab, .text = "Fields"},
      {.type = ControlType::Prompt, .text = "All fields", .at = {262, 90, 80, 10}},
      {.type = ControlType::String, .at = {4, 236, 300, 10}, .use = true},
  };
  return def;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  auto desktop = install_desktop(argc, argv);
  text::CString<81> file;
  file = "C:\\Data\\CUSTOMER.TPS";
  std::int32_t headings = 1;
  text::CString<4> separator;
  separator = ";";
  text::CString<8> date;
  date = "@D6";
  std::string where = "CUS:CITY = 'M\xFCnchen'";
  std::string status = "Ready \x96 4 columns, 40 rows";
  queue::Queue<Row> rows;
  const char* names[] = {"Smith", "Jones", "M\xFCller", "Brown", "Garc\xED" "a", "Dupont", "Nowak", "Rossi"};
  for (int r = 1; r <= 40; ++r) {
    rows.buffer().number = r;
    rows.buffer().name = names[r % 8];
    rows.buffer().date = std::to_string(1 + r % 28) + "/0" + std::to_string(1 + r % 9) + "/2024";
    rows.buffer().amount = std::to_string(r * 137 % 9000) + "." + std::to_string(10 + r % 90);
    rows.add();
  }
  Window w(demo(), {file, headings, separator, date, rows, where, status});
  w.open();
  w.select(13, 3);
  if (seconds > 0) QTimer::singleShot(seconds * 1000, [&] { w.user_close(); static_cast<QtBackend&>(*desktop).wake(); });
  while (accept()) {
    if (accepted() == 11) post(EVENT_CloseWindow);
  }
  return 0;
}
