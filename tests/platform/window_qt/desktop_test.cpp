// The desktop backend's own behaviour, read back from the real widgets: every
// control at its dialog-unit place with its caption, tip and state; texts in
// the code page both ways; a list over a 2000-column queue; the keyboard on a
// list; timer events merging behind a modal box; the boxes themselves; sizes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QUrl>
#include <QWindow>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/queue/queue.h"
#include "platform/text/text.h"
#include "platform/window/qt/codepage.h"
#include "platform/window/qt/desktop.h"
#include "tests/platform/window_qt/user.h"

namespace {

using namespace window;
using window::drive::desktop;

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override { set_backend(&desktop()); }
  void TearDown() override {
    set_backend(nullptr);
    set_system_property(PROP_TipDelay, 0);
    set_system_property(PROP_TipDisplay, 0);
  }
  QtBackend& qt() { return desktop(); }
  QRect px(Rect r) { return QRect(qt().pixels_x(r.x), qt().pixels_y(r.y), qt().pixels_x(r.width), qt().pixels_y(r.height)); }
};

// ---- codepage --------------------------------------------------------------------------

TEST(CodePage, EveryByteSurvivesTheWayToUnicodeAndBack) {
  for (int b = 0; b < 256; ++b) {
    char32_t c = codepage::to_unicode(static_cast<unsigned char>(b));
    ASSERT_EQ(codepage::to_byte(c), static_cast<unsigned char>(b)) << b;
  }
  EXPECT_EQ(codepage::to_unicode(0x80), U'\u20AC');
  EXPECT_EQ(codepage::to_unicode(0x9F), U'\u0178');
  EXPECT_EQ(codepage::to_unicode(0xE9), U'\u00E9');
  for (char32_t none : {U'\u2713', U'\u0100', U'\u4E2D', U'\U0001F600'}) EXPECT_FALSE(codepage::to_byte(none));
  EXPECT_FALSE(to_bytes(QString::fromUtf8("\xF0\x9F\x98\x80")));  // a pair of surrogates
  EXPECT_EQ(to_bytes(QString::fromUtf8("\xE2\x82\xAC\xC3\xA9")), std::string("\x80\xE9"));
}

TEST(Choosing, ADesktopIsAvailableWhenTheEnvironmentNamesOne) {
  const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* n : names) {
    if (const char* v = std::getenv(n)) saved.emplace_back(n, v);
    unsetenv(n);
  }
  EXPECT_FALSE(desktop_available());
  for (const char* n : names) {
    setenv(n, "x", 1);
    EXPECT_TRUE(desktop_available()) << n;
    setenv(n, "", 1);
    EXPECT_FALSE(desktop_available()) << n;
    unsetenv(n);
  }
  for (auto& [n, v] : saved) setenv(n.c_str(), v.c_str(), 1);
}

// ---- controls ----------------------------------------------------------------------------

enum {
  kGroup = 1, kPrompt, kEntry, kText, kCheck, kDrop, kCombo, kButton, kLine, kString, kList, kSheet, kTab1,
  kOnTab1, kTab2, kOnTab2, kWide, kHidden, kDisabled, kReadOnly
};

WindowDef every_control() {
  WindowDef def;
  def.label = "ALL";
  def.caption = "Every control \x96 caf\xE9";
  def.at = {Rect::kDefault, Rect::kDefault, 320, 240};
  def.resizable = true;
  def.controls = {
      {.type = ControlType::Group, .text = "Options", .at = {4, 4, 150, 60}},
      {.type = ControlType::Prompt, .text = "&Name:", .at = {10, 14, 30, 10}, .tip = "Who"},
      {.type = ControlType::Entry, .picture = "@s20", .at = {44, 14, 90, 12}},
      {.type = ControlType::Text, .at = {10, 30, 120, 28}},
      {.type = ControlType::Check, .text = "Active", .at = {160, 6, 60, 10}},
      {.type = ControlType::DropList, .at = {160, 20, 70, 12}, .from = "Comma|#C|Tab|#T"},
      {.type = ControlType::Combo, .at = {160, 36, 70, 12}, .from = "One|Two"},
      {.type = ControlType::Button, .text = "&Fetch", .at = {240, 6, 60, 14}, .tip = "Fetch the records"},
      {.type = ControlType::Line, .at = {4, 68, 300, 2}},
      {.type = ControlType::String, .text = "Ready", .at = {4, 72, 100, 10}},
      {.type = ControlType::List, .at = {4, 84, 150, 60}, .format = "40R|~Code~C60L~Name~"},
      {.type = ControlType::Sheet, .at = {160, 84, 150, 100}},
      {.type = ControlType::Tab, .text = "First"},
      {.type = ControlType::Prompt, .text = "On first", .at = {170, 104, 60, 10}},
      {.type = ControlType::Tab, .text = "Second"},
      {.type = ControlType::Prompt, .text = "On second", .at = {170, 104, 60, 10}},
      {.type = ControlType::Entry, .picture = "@s10", .at = {4, 150, Rect::kDefault, 12}},
      {.type = ControlType::Button, .text = "Hidden", .at = {4, 166, 40, 14}, .hidden = true},
      {.type = ControlType::Button, .text = "Disabled", .at = {50, 166, 40, 14}, .disabled = true},
      {.type = ControlType::Entry, .picture = "@s10", .at = {100, 166, 40, 12}, .readonly = true},
  };
  return def;
}

struct AllVars {
  text::CString<21> entry, text, drop, combo, wide, readonly;
  std::int32_t check = 0;
};

struct Pair {
  text::CString<10> code;
  text::CString<20> name;
  auto fields() { return std::tie(code, name); }
  auto fields() const { return std::tie(code, name); }
};

TEST_F(Desktop, EveryControlSitsAtItsDialogUnitsWithItsCaptionTipAndState) {
  AllVars v;
  v.readonly = "fixed";
  queue::Queue<Pair> rows;
  WindowDef def = every_control();
  Window w(def, {v.entry, v.text, v.check, v.drop, v.combo, rows, v.wide, v.readonly});
  w.open();
  QWidget* top = qt().widget(w);
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(QTest::qWaitForWindowActive(top));
  EXPECT_EQ(top->windowTitle(), QString::fromUtf8("Every control \u2013 caf\u00e9"));
  EXPECT_EQ(top->size(), QSize(qt().pixels_x(320), qt().pixels_y(240)));
  EXPECT_FALSE(top->windowIcon().isNull());

  struct Want {
    int feq;
    const char* kind;
  };
  const Want want[] = {{kGroup, "QGroupBox"},   {kPrompt, "QLabel"},      {kEntry, "QLineEdit"},
                       {kText, "QPlainTextEdit"}, {kCheck, "QCheckBox"},  {kDrop, "QComboBox"},
                       {kCombo, "QComboBox"},   {kButton, "QPushButton"}, {kLine, "QFrame"},
                       {kString, "QLabel"},     {kList, "QTableView"},    {kSheet, "QTabWidget"},
                       {kOnTab1, "QLabel"},     {kOnTab2, "QLabel"}};
  for (const Want& c : want) {
    SCOPED_TRACE(c.feq);
    QWidget* wd = qt().widget(w, c.feq);
    ASSERT_NE(wd, nullptr);
    EXPECT_TRUE(wd->inherits(c.kind)) << wd->metaObject()->className();
    EXPECT_EQ(wd->geometry(), px(def.controls[static_cast<std::size_t>(c.feq - 1)].at));
  }
  // An entry without a width takes its picture's: 10 characters of 4 units.
  EXPECT_EQ(qt().widget(w, kWide)->width(), qt().pixels_x(10 * 4 + 4));
  EXPECT_EQ(qt().widget(w, kWide)->height(), qt().pixels_y(12));
  EXPECT_FALSE(qt().widget(w, kCombo)->property("editable").toBool() == false);
  EXPECT_FALSE(qobject_cast<QComboBox*>(qt().widget(w, kDrop))->isEditable());

  EXPECT_EQ(qobject_cast<QGroupBox*>(qt().widget(w, kGroup))->title(), "Options");
  EXPECT_EQ(qobject_cast<QLabel*>(qt().widget(w, kPrompt))->text(), "&Name:");
  EXPECT_EQ(qobject_cast<QPushButton*>(qt().widget(w, kButton))->text(), "&Fetch");
  EXPECT_EQ(qobject_cast<QCheckBox*>(qt().widget(w, kCheck))->text(), "Active");
  EXPECT_EQ(qobject_cast<QLabel*>(qt().widget(w, kString))->text(), "Ready");
  EXPECT_EQ(qt().widget(w, kButton)->toolTip(), "Fetch the records");
  EXPECT_EQ(qt().widget(w, kPrompt)->toolTip(), "Who");
  auto* drop = qobject_cast<QComboBox*>(qt().widget(w, kDrop));
  ASSERT_EQ(drop->count(), 2);
  EXPECT_EQ(drop->itemText(1), "Tab");

  auto* sheet = qobject_cast<QTabWidget*>(qt().widget(w, kSheet));
  ASSERT_EQ(sheet->count(), 2);
  EXPECT_EQ(sheet->tabText(0), "First");
  EXPECT_EQ(sheet->tabText(1), "Second");
  EXPECT_TRUE(qt().widget(w, kOnTab1)->isVisible());
  EXPECT_FALSE(qt().widget(w, kOnTab2)->isVisible());

  EXPECT_FALSE(qt().widget(w, kHidden)->isVisible());
  EXPECT_FALSE(qt().widget(w, kDisabled)->isEnabled());
  auto* ro = qobject_cast<QLineEdit*>(qt().widget(w, kReadOnly));
  EXPECT_TRUE(ro->isReadOnly());
  EXPECT_EQ(ro->text(), "fixed");

  // Properties the program sets reach the widgets.
  w.set_property(PROP_Text, "Renamed");
  w.set_property(kButton, PROP_Disable, 1);
  w.set_property(kHidden, PROP_Hide, 0);
  w.set_property(kButton, PROP_Tip, "Now off");
  w.set_property(kTab2, PROP_Text, "Later");
  w.set_property(kButton, PROP_Xpos, 200);
  EXPECT_EQ(top->windowTitle(), "Renamed");
  EXPECT_FALSE(qt().widget(w, kButton)->isEnabled());
  EXPECT_TRUE(qt().widget(w, kHidden)->isVisible());
  EXPECT_EQ(qt().widget(w, kButton)->toolTip(), "Now off");
  EXPECT_EQ(sheet->tabText(1), "Later");
  EXPECT_EQ(qt().widget(w, kButton)->x(), qt().pixels_x(200));

  // SELECT gives the widget the focus.
  w.select(kEntry);
  EXPECT_EQ(QApplication::focusWidget(), qt().widget(w, kEntry));

  // Choosing the second tab shows its controls, hides the first's.
  QTest::mouseClick(sheet->tabBar(), Qt::LeftButton, {}, sheet->tabBar()->tabRect(1).center());
  EXPECT_EQ(w.choice(kSheet), 2);
  EXPECT_FALSE(qt().widget(w, kOnTab1)->isVisible());
  EXPECT_TRUE(qt().widget(w, kOnTab2)->isVisible());
  w.close();
  EXPECT_EQ(qt().widget(w), nullptr);
}

TEST_F(Desktop, TextsShowTheirBytesAndTypingRefusesCharactersOutsideTheCodePage) {
  text::CString<31> name;
  name = "caf\xE9 \x80";
  text::CString<61> note;
  WindowDef def;
  def.label = "TEXTS";
  def.at = {0, 0, 200, 100};
  def.controls = {{.type = ControlType::Entry, .picture = "@s30", .at = {4, 4, 120, 12}},
                  {.type = ControlType::Text, .at = {4, 20, 120, 40}}};
  Window w(def, {name, note});
  w.open();
  EXPECT_TRUE(QTest::qWaitForWindowActive(qt().widget(w)));
  auto* e = qobject_cast<QLineEdit*>(qt().widget(w, 1));
  EXPECT_EQ(e->text(), QString::fromUtf8("caf\u00e9 \u20ac"));

  e->setFocus();
  e->selectAll();
  drive::type_keys(e, QString::fromUtf8("Gr\u00fc\u00dfe \u2713\u20ac5 \u4e2d!"));
  EXPECT_EQ(e->text(), QString::fromUtf8("Gr\u00fc\u00dfe \u20ac5 !"));
  QTest::keyClick(e, Qt::Key_Return);
  EXPECT_EQ(name.str(), "Gr\xFC\xDF" "e \x80" "5 !");
  ASSERT_TRUE(w.has_events());

  auto* t = qobject_cast<QPlainTextEdit*>(qt().widget(w, 2));
  t->setFocus();
  drive::type_keys(t, QString::fromUtf8("a\u2713b\u0153"));
  t->clearFocus();
  EXPECT_EQ(note.str(), "ab\x9C");

  // The clipboard takes and gives the code page's texts.
  setclipboard("\x93quoted\x94");
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("\u201cquoted\u201d"));
  EXPECT_EQ(clipboard(), "\x93quoted\x94");
  QApplication::clipboard()->setText(QString::fromUtf8("\u2713"));
  EXPECT_EQ(clipboard(), "");
}

// ---- lists ---------------------------------------------------------------------------------

struct Wide {
  static constexpr std::size_t kColumns = 2000;
  std::array<text::CString<12>, kColumns> cells{};
  auto fields() { return std::tie(cells); }
  auto fields() const { return std::tie(cells); }
  std::string_view cell(std::size_t k) const { return k >= 1 && k <= kColumns ? cells[k - 1].view() : std::string_view(); }
};

std::string wide_format() {
  std::string f;
  for (std::size_t k = 1; k <= Wide::kColumns; ++k) {
    f += std::to_string(20 + k % 7) + (k % 2 ? "L" : "R") + (k % 3 ? "|" : "") + (k % 5 ? "M" : "") + "~H" +
         std::to_string(k) + "~";
  }
  return f;
}

TEST_F(Desktop, AListShowsAQueueOf2000ColumnsInPlace) {
  queue::Queue<Wide> q;
  constexpr int kRows = 300;
  for (int r = 1; r <= kRows; ++r) {
    for (std::size_t k = 1; k <= Wide::kColumns; ++k) {
      std::string cell = std::to_string(r);
      cell.insert(0, 1, 'r');
      cell += 'c';
      cell += std::to_string(k);
      q.buffer().cells[k - 1] = cell;
    }
    q.add();
  }
  WindowDef def;
  def.label = "WIDE";
  def.at = {0, 0, 300, 200};
  def.controls = {{.type = ControlType::List, .at = {0, 0, 300, 200}, .format = wide_format()}};
  Window w(def, {q});
  w.open();
  auto* v = qobject_cast<QTableView*>(qt().widget(w, 1));
  QAbstractItemModel* m = v->model();
  ASSERT_EQ(m->rowCount(), kRows);
  ASSERT_EQ(m->columnCount(), 2000);
  const ListFormat& f = w.list_format(1);
  for (int k : {0, 1, 2, 4, 1998, 1999}) {
    SCOPED_TRACE(k);
    const ListColumn& c = f.columns[static_cast<std::size_t>(k)];
    EXPECT_EQ(m->headerData(k, Qt::Horizontal).toString(), QString("H%1").arg(k + 1));
    EXPECT_EQ(v->horizontalHeader()->sectionSize(k), qt().pixels_x(c.width));
    EXPECT_EQ(v->horizontalHeader()->sectionResizeMode(k), c.resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
    Qt::Alignment a = Qt::Alignment(m->data(m->index(0, k), Qt::TextAlignmentRole).toInt());
    EXPECT_EQ(a & Qt::AlignHorizontal_Mask, c.align == 'R' ? Qt::AlignRight : Qt::AlignLeft);
  }
  EXPECT_EQ(m->data(m->index(0, 0)).toString(), "r1c1");
  EXPECT_EQ(m->data(m->index(kRows - 1, 1999)).toString(), QString("r%1c2000").arg(kRows));

  // The list reads the queue as it stands: a changed row and new rows show
  // after DISPLAY, without the queue being copied.
  q.get(5);
  q.buffer().cells[0] = "changed";
  q.put();
  q.buffer().cells[0] = "added";
  q.add();
  w.display();
  EXPECT_EQ(m->rowCount(), kRows + 1);
  EXPECT_EQ(m->data(m->index(4, 0)).toString(), "changed");
  EXPECT_EQ(m->data(m->index(kRows, 0)).toString(), "added");
  q.free();
  w.display();
  EXPECT_EQ(m->rowCount(), 0);
}

TEST_F(Desktop, TheKeyboardMovesAListsHighlightAndAnAlertedKeyIsReported) {
  queue::Queue<Pair> rows;
  for (int r = 1; r <= 100; ++r) {
    rows.buffer().code = std::to_string(r);
    rows.add();
  }
  WindowDef def;
  def.label = "KEYS";
  def.at = {0, 0, 200, 100};
  def.controls = {{.type = ControlType::List, .at = {0, 0, 200, 100}, .format = "40L~Code~80L~Name~", .alerts = {EnterKey}}};
  Window w(def, {rows});
  w.open();
  while (w.has_events()) accept();  // OpenWindow
  w.select(1, 1);
  auto* v = qobject_cast<QTableView*>(qt().widget(w, 1));
  struct Step {
    Qt::Key key;
    int keycode;
    bool moves;
  };
  const Step steps[] = {{Qt::Key_Down, 0x28, true},  {Qt::Key_Down, 0x28, true},     {Qt::Key_Up, 0x26, true},
                        {Qt::Key_End, 0x23, true},   {Qt::Key_Down, 0x28, false},    {Qt::Key_Home, 0x24, true},
                        {Qt::Key_PageDown, 0x22, true}, {Qt::Key_Return, EnterKey, false}};
  std::vector<int> choices;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.keycode);
    int before = w.choice(1);
    QTest::keyClick(v, s.key);
    if (s.keycode == EnterKey) {
      ASSERT_TRUE(w.has_events());
      accept();
      EXPECT_EQ(event(), EVENT_AlertKey);
      EXPECT_EQ(keycode(), EnterKey);
      EXPECT_EQ(w.choice(1), before);
      continue;
    }
    EXPECT_EQ(w.has_events(), s.moves);
    if (!s.moves) continue;
    accept();
    EXPECT_EQ(event(), EVENT_NewSelection);
    EXPECT_EQ(field(), 1);
    EXPECT_EQ(keycode(), s.keycode);
    EXPECT_EQ(v->currentIndex().row() + 1, w.choice(1));
    choices.push_back(w.choice(1));
  }
  ASSERT_EQ(choices.size(), 6u);
  EXPECT_EQ((std::vector<int>(choices.begin(), choices.begin() + 5)), (std::vector<int>{2, 3, 2, 100, 1}));
  EXPECT_GT(choices[5], 2);  // a page down
  // The program's SELECT moves the highlight.
  w.select(1, 40);
  EXPECT_EQ(v->currentIndex().row(), 39);
}

// ---- timers and loops ------------------------------------------------------------------

TEST_F(Desktop, TimerEventsComeAndMergeWhileAModalBoxHoldsTheLoop) {
  WindowDef def;
  def.label = "TICK";
  def.timer = 1;
  def.controls = {{.type = ControlType::Button, .text = "Go"}};
  Window w(def);
  w.open();
  int timers = 0;
  while (accept() && timers < 5) {
    if (event() == EVENT_Timer) ++timers;
  }
  EXPECT_EQ(timers, 5);
  // A loop nested in a handler waits in the toolkit's loop at the same depth:
  // the toolkit's loops never nest for ACCEPT.
  std::vector<int> depths{QThread::currentThread()->loopLevel()};
  for (int inner = 0; inner < 3 && accept();) {
    depths.push_back(QThread::currentThread()->loopLevel());
    if (event() == EVENT_Timer) ++inner;
  }
  EXPECT_EQ(depths, std::vector<int>(depths.size(), 0));
  // About 30 timer periods pass inside the box; one timer event waits after it.
  qt().on_modal([](QWidget& box) { QTimer::singleShot(300, &box, [&box] { static_cast<QDialog&>(box).accept(); }); });
  message("Wait");
  ASSERT_TRUE(w.has_events());
  ASSERT_TRUE(accept());
  EXPECT_EQ(event(), EVENT_Timer);
  EXPECT_FALSE(w.has_events());
  // PROP:Timer 0 stops the timer.
  w.set_property(PROP_Timer, 0);
  QTest::qWait(50);
  EXPECT_FALSE(w.has_events());
  w.close();
}

// ---- window size ------------------------------------------------------------------------

TEST_F(Desktop, TheWindowsSizeIsTheModelsBothWays) {
  WindowDef def;
  def.label = "SIZE";
  def.at = {10, 20, 200, 100};
  def.resizable = true;
  def.controls = {{.type = ControlType::Button, .text = "Go", .at = {4, 4, 40, 14}}};
  Window w(def);
  w.set_property(PROP_MinWidth, 150);
  w.set_property(PROP_MinHeight, 80);
  w.open();
  while (w.has_events()) accept();
  QWidget* top = qt().widget(w);
  EXPECT_EQ(top->minimumSize(), QSize(qt().pixels_x(150), qt().pixels_y(80)));
  EXPECT_EQ(top->size(), QSize(qt().pixels_x(200), qt().pixels_y(100)));
  EXPECT_EQ(top->pos(), QPoint(qt().pixels_x(10), qt().pixels_y(20)));

  // The user drags the frame: the model learns the size and one EVENT:Sized waits.
  top->windowHandle()->resize(qt().pixels_x(260), qt().pixels_y(140));
  QTest::qWait(20);
  top->windowHandle()->resize(qt().pixels_x(280), qt().pixels_y(150));
  QTest::qWait(20);
  EXPECT_EQ(w.property(PROP_Width), "280");
  EXPECT_EQ(w.property(PROP_Height), "150");
  ASSERT_TRUE(accept());
  EXPECT_EQ(event(), EVENT_Sized);
  EXPECT_FALSE(w.has_events());

  // The program sets the geometry (as from the INI file).
  w.set_property(PROP_Width, 220);
  w.set_property(PROP_Height, 110);
  w.set_property(PROP_Xpos, 30);
  EXPECT_EQ(top->size(), QSize(qt().pixels_x(220), qt().pixels_y(110)));
  EXPECT_EQ(top->x(), qt().pixels_x(30));
  EXPECT_FALSE(w.has_events());

  w.set_property(PROP_Maximize, 1);
  EXPECT_TRUE(top->isMaximized());
  w.set_property(PROP_Maximize, 0);
  w.set_property(PROP_Iconize, 1);
  EXPECT_TRUE(top->isMinimized());
  w.set_property(PROP_Iconize, 0);
  w.set_property(PROP_Hide, 1);
  EXPECT_FALSE(top->isVisible());
  w.set_property(PROP_Hide, 0);
  EXPECT_TRUE(top->isVisible());
  while (w.has_events()) accept();
  // The user maximises it.
  top->showMaximized();
  EXPECT_EQ(w.property(PROP_Maximize), "1");
  bool maximized = false;
  while (w.has_events() && accept()) maximized |= event() == EVENT_Maximized;
  EXPECT_TRUE(maximized);
  w.close();
}

// ---- boxes -------------------------------------------------------------------------------

TEST_F(Desktop, AMessageBoxShowsItsTextIconButtonsAndDefault) {
  struct Case {
    Icon icon;
    int buttons;
    int default_button;
    QMessageBox::Icon shown;
    std::vector<QMessageBox::StandardButton> standard;
    QMessageBox::StandardButton default_shown;
  };
  const Case cases[] = {
      {Icon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO, QMessageBox::Question, {QMessageBox::Yes, QMessageBox::No}, QMessageBox::No},
      {Icon::Hand, BUTTON_OK, 0, QMessageBox::Critical, {QMessageBox::Ok}, QMessageBox::Ok},
      {Icon::Exclamation, BUTTON_ABORT + BUTTON_RETRY + BUTTON_IGNORE, BUTTON_RETRY, QMessageBox::Warning,
       {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}, QMessageBox::Retry},
      {Icon::Asterisk, BUTTON_OK + BUTTON_CANCEL, BUTTON_HELP, QMessageBox::Information,
       {QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Ok},
  };
  for (const Case& c : cases) {
    QString text;
    QMessageBox::Icon icon{};
    std::vector<QMessageBox::StandardButton> standard;
    QMessageBox::StandardButton default_shown{};
    qt().on_modal([&](QWidget& d) {
      auto& box = static_cast<QMessageBox&>(d);
      text = box.text();
      icon = box.icon();
      for (QAbstractButton* b : box.buttons()) standard.push_back(box.standardButton(b));
      default_shown = box.standardButton(box.defaultButton());
      QTest::keyClick(&box, Qt::Key_Escape);
    });
    int answer = message("Line one|Line \x93two\x94", "Caption", c.icon, c.buttons, c.default_button);
    EXPECT_EQ(text, QString::fromUtf8("Line one\nLine \u201ctwo\u201d"));
    EXPECT_EQ(icon, c.shown);
    std::sort(standard.begin(), standard.end());
    std::vector<QMessageBox::StandardButton> want = c.standard;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(standard, want);
    EXPECT_EQ(default_shown, c.default_shown);
    // Escape answers Cancel, else No, else the default.
    int escape = c.buttons & BUTTON_CANCEL ? BUTTON_CANCEL : c.buttons & BUTTON_NO ? BUTTON_NO : (c.default_button & c.buttons ? c.default_button : c.buttons & -c.buttons);
    EXPECT_EQ(answer, escape);
  }
}

class Folder {
 public:
  Folder() : path_(std::filesystem::temp_directory_path() / ("qm_qt_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~Folder() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const {
    std::ofstream(path_ / name) << "x";
    return (path_ / name).string();
  }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// The user types a name into the dialog and confirms it.
void choose_name(QWidget& d, const QString& name) {
  auto* edit = d.findChild<QLineEdit*>("fileNameEdit");
  edit->selectAll();
  drive::type_keys(edit, name);
  QTest::keyClick(edit, Qt::Key_Return);
}

// The names the file dialog lists in its folder, once it has read it.
QStringList listed(QFileDialog& d) {
  auto* model = d.findChild<QFileSystemModel*>();
  auto* view = d.findChild<QListView*>("listView");
  QStringList names;
  for (int tries = 0; tries < 200 && names.isEmpty(); ++tries) {
    QTest::qWait(10);
    QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r) {
      QModelIndex i = view->model()->index(r, 0, root);
      if (model && !i.data(QFileSystemModel::FileNameRole).toString().isEmpty()) names << i.data().toString();
    }
  }
  names.sort();
  return names;
}

TEST_F(Desktop, AFileDialogFindsTablesInAnyLetterCaseAndAsksBeforeReplacing) {
  Folder dir;
  std::string upper = dir.file("A.TPS");
  dir.file("b.tps");
  dir.file("c.Tps");
  dir.file("d.txt");
  EXPECT_EQ(QtBackend::name_filters("TopSpeed files|*.TPS|Text|*.csv;*.txt"),
            (QStringList{"TopSpeed files (*.TPS)", "Text (*.csv *.txt)"}));

  QStringList names;
  QString directory;
  qt().on_modal([&](QWidget& d) {
    auto& dlg = static_cast<QFileDialog&>(d);
    names = listed(dlg);
    directory = dlg.directory().absolutePath();
    choose_name(dlg, "b.tps");
  });
  std::string file = dir.str() + "/x.tps";
  ASSERT_TRUE(filedialog("Pick a table", file, "TopSpeed files|*.TPS", FILE_KeepDir));
  EXPECT_EQ(names, (QStringList{"A.TPS", "b.tps", "c.Tps"}));
  EXPECT_EQ(directory, QString::fromStdString(dir.str()));
  EXPECT_EQ(file, dir.str() + "/b.tps");

  // A folder that does not exist opens the working one.
  qt().on_modal([&](QWidget& d) {
    directory = static_cast<QFileDialog&>(d).directory().absolutePath();
    static_cast<QFileDialog&>(d).reject();
  });
  file = "/no/such/folder/t.tps";
  EXPECT_FALSE(filedialog("Pick", file, "TopSpeed files|*.TPS", FILE_KeepDir));
  EXPECT_EQ(directory, QDir::currentPath());
  EXPECT_EQ(file, "/no/such/folder/t.tps");

  // Saving over an existing file asks; "No" shows the dialog again.
  QString question;
  int shown = 0;
  auto choose_upper = [&](QWidget& d) {
    ++shown;
    choose_name(d, "A.TPS");
  };
  qt().on_modal(choose_upper);
  qt().on_modal([&](QWidget& d) {
    question = static_cast<QMessageBox&>(d).text();
    QTest::mouseClick(static_cast<QMessageBox&>(d).button(QMessageBox::No), Qt::LeftButton);
  });
  qt().on_modal(choose_upper);
  qt().on_modal([&](QWidget& d) { QTest::mouseClick(static_cast<QMessageBox&>(d).button(QMessageBox::Yes), Qt::LeftButton); });
  file = dir.str() + "/new.csv";
  ASSERT_TRUE(filedialog("Save as", file, "", FILE_Save + FILE_KeepDir));
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(question, QString::fromStdString(upper + " already exists.\nDo you want to replace it?"));
  EXPECT_EQ(file, upper);

  // A folder.
  qt().on_modal([&](QWidget& d) {
    auto& dlg = static_cast<QFileDialog&>(d);
    EXPECT_EQ(dlg.fileMode(), QFileDialog::Directory);
    static_cast<QDialog&>(dlg).accept();
  });
  file = dir.str();
  ASSERT_TRUE(filedialog("Folder", file, "", FILE_Directory));
  EXPECT_EQ(file, dir.str());
}

TEST_F(Desktop, DocumentsOpenThroughAFileUrlAndTipsTakeTheProcesssTimes) {
  std::vector<QUrl> opened;
  qt().set_opener([&](const QUrl& u) { opened.push_back(u); });
  open_document(0, "/tmp/out put.csv");
  qt().set_opener(nullptr);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_EQ(opened[0].toLocalFile(), "/tmp/out put.csv");

  set_system_property(PROP_TipDelay, 75);
  set_system_property(PROP_TipDisplay, 300);
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 750);
  EXPECT_EQ(qt().tip_display_ms(), 3000);
  set_system_property(PROP_TipDelay, 0);
  EXPECT_GT(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 0);
}

}  // namespace

// ---- a browse's input ----------------------------------------------------------------

namespace browse {

enum { kBList = 1, kBSelect, kBClose, kBSheet, kBTab1, kBOnTab1, kBTab2, kBOnTab2, kBEntry };

WindowDef browse_window() {
  WindowDef def;
  def.label = "BROWSE";
  def.at = {0, 0, 240, 200};
  def.status_bar = true;
  std::vector<int> letters;
  for (char c = 'a'; c <= 'z'; ++c) letters.push_back(char_keycode(c));
  for (char c = 'A'; c <= 'Z'; ++c) letters.push_back(char_keycode(c));
  letters.push_back(BSKey);
  letters.push_back(MouseRightUp);
  def.controls = {
      {.type = ControlType::List, .at = {4, 4, 100, 80}, .msg = "Browsing the names", .format = "80L~Name~",
       .alerts = letters},
      {.type = ControlType::Button, .text = "&Select", .at = {4, 90, 40, 14}, .msg = "Select the name"},
      {.type = ControlType::Button, .text = "&Close", .at = {50, 90, 40, 14}},
      {.type = ControlType::Sheet, .at = {110, 4, 120, 100}},
      {.type = ControlType::Tab, .text = "&1) One", .parent = kBSheet},
      {.type = ControlType::Entry, .picture = "@s10", .at = {116, 24, 60, 10}, .parent = kBTab1},
      {.type = ControlType::Tab, .text = "&2) Two", .parent = kBSheet},
      {.type = ControlType::Entry, .picture = "@s10", .at = {116, 24, 60, 10}, .parent = kBTab2},
      {.type = ControlType::Entry, .picture = "@s10", .at = {4, 110, 60, 10}},
  };
  return def;
}

struct Name {
  text::CString<20> name;
  auto fields() { return std::tie(name); }
  auto fields() const { return std::tie(name); }
};

}  // namespace browse

TEST_F(Desktop, AListTakesTypedCharactersARightClickAndEnterPressesTheDefaultButton) {
  using namespace browse;
  queue::Queue<Name> rows;
  for (const char* n : {"Alpha", "Beta", "Gamma"}) {
    rows.buffer().name = n;
    rows.add();
  }
  text::CString<11> one, two, below;
  Window w(browse_window(), {rows, one, two, below});
  w.set_default_button(kBSelect);
  w.open();
  while (w.has_events()) accept();
  w.select(kBList, 1);
  auto* v = qobject_cast<QTableView*>(qt().widget(w, kBList));
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(qobject_cast<QPushButton*>(qt().widget(w, kBSelect))->isDefault());
  EXPECT_FALSE(qobject_cast<QPushButton*>(qt().widget(w, kBClose))->isDefault());

  // Each character reaches the model with its case; the list does not search
  // for a row of its own.
  drive::type_keys(v, "gA\xE9");
  std::vector<std::pair<int, char>> typed;
  while (w.has_events()) {
    accept();
    if (event() == EVENT_AlertKey) typed.emplace_back(keycode(), keychar());
  }
  EXPECT_EQ(typed, (std::vector<std::pair<int, char>>{{char_keycode('g'), 'g'}, {'A', 'A'}}))
      << "é is not alerted: it reaches nothing";
  EXPECT_EQ(w.choice(kBList), 1);
  QTest::keyClick(v, Qt::Key_Backspace);
  ASSERT_TRUE(w.has_events());
  accept();
  EXPECT_EQ(keycode(), BSKey);

  // A right click picks the row under the mouse, then reports MouseRightUp.
  QPoint at = v->visualRect(v->model()->index(2, 0)).center();
  QTest::mouseClick(v->viewport(), Qt::RightButton, {}, at);
  std::vector<int> events;
  while (w.has_events()) {
    accept();
    events.push_back(event());
    if (event() == EVENT_AlertKey) {
      EXPECT_EQ(keycode(), MouseRightUp);
    }
  }
  EXPECT_EQ(events.back(), EVENT_AlertKey);
  EXPECT_EQ(w.property(kBList, PROPLIST_MouseDownRow), "3");

  // Enter on the list, and on an entry after what was typed in it.
  QTest::keyClick(v, Qt::Key_Return);
  ASSERT_TRUE(w.has_events());
  accept();
  EXPECT_EQ(event(), EVENT_Accepted);
  EXPECT_EQ(field(), kBSelect);
  EXPECT_FALSE(w.has_events());
  auto* e = qobject_cast<QLineEdit*>(qt().widget(w, kBEntry));
  e->setFocus();
  drive::type_keys(e, "typed");
  QTest::keyClick(e, Qt::Key_Return);
  std::vector<int> accepted;
  while (w.has_events()) {
    accept();
    if (event() == EVENT_Accepted) accepted.push_back(field());
  }
  EXPECT_EQ(accepted, (std::vector<int>{kBEntry, kBSelect}));
  EXPECT_EQ(below.str(), "typed");
  w.close();
}

TEST_F(Desktop, APopupMenuGivesTheItemChosenAndDisabledItemsCannotBeChosen) {
  using namespace browse;
  queue::Queue<Name> rows;
  text::CString<11> one, two, below;
  Window w(browse_window(), {rows, one, two, below});
  w.open();
  struct Case {
    const char* items;
    int click;  // the action to trigger, 0-based among the items; -1 dismisses
    int want;
  };
  const Case cases[] = {{"&Delete|&Select", 1, 2}, {"&Delete|&Select", 0, 1}, {"~&Delete|&Select", 0, 0},
                        {"&Delete|-|&Select", 1, 2}, {"&Delete|&Select", -1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.items);
    QStringList texts;
    std::vector<bool> enabled;
    qt().on_modal([&](QWidget& d) {
      auto* menu = qobject_cast<QMenu*>(&d);
      ASSERT_NE(menu, nullptr);
      QList<QAction*> items;
      for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        items.push_back(a);
        texts << a->text();
        enabled.push_back(a->isEnabled());
      }
      if (c.click >= 0 && items[c.click]->isEnabled()) {
        menu->setActiveAction(items[c.click]);
        QTest::keyClick(menu, Qt::Key_Return);
      } else {
        QTest::keyClick(menu, Qt::Key_Escape);
      }
      if (menu->isVisible()) menu->close();
    });
    EXPECT_EQ(window::popup(c.items), c.want);
    EXPECT_EQ(texts, (QStringList{"&Delete", "&Select"}));
    EXPECT_EQ(enabled, (std::vector<bool>{c.items[0] != '~', true}));
  }
  w.close();
}

TEST_F(Desktop, ASheetShowsItsChosenTabsControlsAndTheStatusBarTheFocusedControlsMessage) {
  using namespace browse;
  queue::Queue<Name> rows;
  text::CString<11> one, two, below;
  Window w(browse_window(), {rows, one, two, below});
  w.open();
  QWidget* top = qt().widget(w);
  auto* status = top->findChild<QStatusBar*>();
  ASSERT_NE(status, nullptr);
  // The status bar lies below the window's client area.
  EXPECT_EQ(top->height(), qt().pixels_y(200) + status->height());
  EXPECT_GE(status->y(), qt().pixels_y(200));
  EXPECT_TRUE(QTest::qWaitForWindowActive(top));

  EXPECT_TRUE(qt().widget(w, kBOnTab1)->isVisible());
  EXPECT_FALSE(qt().widget(w, kBOnTab2)->isVisible());
  w.set_property(kBSheet, PROP_Selected, 2);
  EXPECT_FALSE(qt().widget(w, kBOnTab1)->isVisible());
  EXPECT_TRUE(qt().widget(w, kBOnTab2)->isVisible());
  EXPECT_TRUE(qt().widget(w, kBEntry)->isVisible()) << "off the sheet";

  w.select(kBList);
  EXPECT_EQ(status->currentMessage(), "Browsing the names");
  w.select(kBSelect);
  EXPECT_EQ(status->currentMessage(), "Select the name");
  w.select(kBEntry);
  EXPECT_EQ(status->currentMessage(), "");
  w.close();
}
