// The main window's scripted sessions on the headless backend and, where it is
// built, on the desktop backend driven by real widget events (offscreen
// platform): the start values, the geometry and the resizer, the pictures'
// clipboard texts, Fetch with its progress and preview, "New", the keywords,
// a close while the export runs.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "platform/abc/window_manager.h"
#include "platform/eval/binding.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "shell/fetch_command.h"
#include "tests/shell/main_window_support.h"

#ifdef QM_DESKTOP
#include <QHeaderView>
#include <QLabel>
#include <QStyle>

#include "tests/platform/window_qt/user.h"
#endif

namespace main_window_test {
namespace {

using window::Window;

#ifdef QM_DESKTOP
using window::drive::User;
#else
// Without the desktop backend the headless script is the only user.
struct User {
  window::Headless& h = window::headless();
  User& pause(std::int64_t t) { return h.pause(t), *this; }
  User& press(int c) { return h.press(c), *this; }
  User& type(int c, std::string b) { return h.type(c, std::move(b)), *this; }
  User& check(int c) {
    h.then([c](Window& w) { w.user_check(c, !w.checked(c)); });
    return *this;
  }
  User& choose(int c, int item) { return h.choose(c, item), *this; }
  User& close_request() { return h.close_request(), *this; }
  User& then(std::function<void(Window&)> step) { return h.then(std::move(step)), *this; }
  std::size_t steps_left() const { return h.steps_left(); }
};
#endif

class MainWindowOnBoth : public MainWindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
#ifdef QM_DESKTOP
    if (GetParam()) {
      window::set_backend(&window::drive::desktop());
      user_ = std::make_unique<window::drive::DesktopUser>(window::drive::desktop());
    } else {
      window::set_backend(nullptr);
      user_ = std::make_unique<window::drive::HeadlessUser>();
    }
#else
    user_ = std::make_unique<User>();
#endif
  }
  void TearDown() override {
    user_.reset();
#ifdef QM_DESKTOP
    window::set_backend(nullptr);
#endif
    MainWindowTest::TearDown();
  }

  User& user() { return *user_; }
  bool on_desktop() const { return GetParam(); }
  // What the headless backend saw of message boxes (the desktop would block on one).
  bool no_messages() const { return on_desktop() || window::headless().messages().empty(); }

  // List cells come as wide as their field; the first one is 100 characters.
  static std::vector<std::string> clipped(std::vector<std::string> cells) {
    for (std::string& c : cells) c = std::string(text::clip(c));
    return cells;
  }

#ifdef QM_DESKTOP
  // Where the desktop puts a control, in the window's pixels, against its
  // place in dialog units.
  static void expect_placed(Window& w, int feq, window::Rect at) {
    window::QtBackend& qt = window::drive::desktop();
    QWidget* top = qt.widget(w);
    QWidget* wd = qt.widget(w, feq);
    ASSERT_NE(wd, nullptr) << feq;
    const QPoint p = wd->mapTo(top, QPoint(0, 0));
    EXPECT_EQ(p.x(), qt.pixels_x(at.x)) << feq;
    EXPECT_EQ(p.y(), qt.pixels_y(at.y)) << feq;
    if (at.width >= 0) {
      EXPECT_EQ(wd->width(), qt.pixels_x(at.width)) << feq;
    }
    if (at.height >= 0) {
      EXPECT_EQ(wd->height(), qt.pixels_y(at.height)) << feq;
    }
  }
#endif

 private:
  std::unique_ptr<User> user_;
};

TEST_P(MainWindowOnBoth, FirstStartOpensOnTheStartValuesAndTearsDownInOrder) {
  bool looked = false;
  user().then([&](Window& w) {
    looked = true;
    EXPECT_EQ(w.label(), "P1$MENUWINDOW");
    EXPECT_EQ(w.shown(FEQ_GLO_DATEFORMAT), "* dd/mm/yyyy");
    EXPECT_EQ(w.shown(FEQ_GLO_DATETIMESEPARATOR), "* Slash");
    EXPECT_EQ(w.shown(FEQ_GLO_TIMEFORMAT), "* hh:mm:ss");
    EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), "");
    EXPECT_FALSE(w.checked(FEQ_GLO_NOPREVIEW));
    EXPECT_EQ(w.shown(FEQ_GLO_FETCHEDNO), "");  // no export yet: @n9b shows a zero as blanks
    EXPECT_EQ(w.focus(), FEQ_GLO_TPSPASSWORD_PROMPT);
    EXPECT_EQ(globals::MainCaption.view(), kCaption);
    EXPECT_EQ(w.property(window::PROP_MinWidth), "545");
    EXPECT_EQ(w.property(window::PROP_MinHeight), "400");
    EXPECT_EQ(window::system_property(window::PROP_TipDisplay), "3000");
    EXPECT_EQ(window::system_property(window::PROP_TipDelay), "10");
    EXPECT_EQ(globals::GLO_WorkingDir.view(), files::longpath());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
    EXPECT_EQ(globals::GlobalErrorManager.ProcedureName(), "Main");
    for (const char* f : {"TIME", "HOUR", "MINUTE", "SECOND"}) EXPECT_NE(eval::find_binding(f), nullptr) << f;
    EXPECT_EQ(globals::CallRequest, 0);
#ifdef QM_DESKTOP
    if (!on_desktop()) return;
    // On screen: every control at its place with its caption, tip and items.
    window::QtBackend& qt = window::drive::desktop();
    QWidget* top = qt.widget(w);
    EXPECT_EQ(top->windowTitle().toStdString(), kCaption);
    EXPECT_EQ(top->minimumSize(), QSize(qt.pixels_x(545), qt.pixels_y(400)));
    EXPECT_EQ(top->size(), QSize(qt.pixels_x(545), qt.pixels_y(400)));
    EXPECT_EQ(qt.tip_display_ms(), 30000);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    const window::WindowDef& def = MainWindowDef();
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
      const window::ControlDef& d = def.controls[i];
      const int feq = static_cast<int>(i) + 1;
      expect_placed(w, feq, d.at);
      QWidget* wd = qt.widget(w, feq);
      if (!wd) continue;
      EXPECT_EQ(wd->toolTip().isEmpty(), d.tip.empty()) << d.label;
      if (auto* b = qobject_cast<QPushButton*>(wd)) {
        EXPECT_EQ(b->text().toStdString(), d.text) << d.label;
      }
      if (auto* c = qobject_cast<QCheckBox*>(wd)) {
        EXPECT_EQ(c->text().toStdString(), d.text) << d.label;
      }
      if (auto* c = qobject_cast<QComboBox*>(wd)) {
        EXPECT_EQ(static_cast<std::size_t>(c->count()), window::parse_items(d.from).size()) << d.label;
      }
    }
    for (int feq : {FEQ_GLO_SELECT, FEQ_GLO_WHERE}) {
      EXPECT_NE(qobject_cast<QPlainTextEdit*>(qt.widget(w, feq)), nullptr) << feq;
    }
    EXPECT_EQ(qobject_cast<QComboBox*>(qt.widget(w, FEQ_GLO_DATEFORMAT))->currentText(), "* dd/mm/yyyy");
    EXPECT_EQ(qobject_cast<QComboBox*>(qt.widget(w, FEQ_GLO_DATETIMESEPARATOR))->currentText(), "* Slash");
    EXPECT_EQ(qobject_cast<QComboBox*>(qt.widget(w, FEQ_GLO_TIMEFORMAT))->currentText(), "* hh:mm:ss");
    // The count only shows a number: no entry takes typing there.
    EXPECT_EQ(qobject_cast<QLineEdit*>(qt.widget(w, FEQ_GLO_FETCHEDNO)), nullptr);
#endif
  });
  user().close_request();
  EXPECT_EQ(start(), 0);
  EXPECT_TRUE(looked);
  for (const char* f : {"TIME", "HOUR", "MINUTE", "SECOND"}) EXPECT_EQ(eval::find_binding(f), nullptr) << f;
  EXPECT_EQ(globals::GlobalErrorManager.ProcedureName(), "");
  EXPECT_EQ(ini("Main", "Maximize"), "No");
  EXPECT_EQ(ini("Main", "Minimize"), "No");
  EXPECT_EQ(ini("Main", "Width"), "545");
  EXPECT_EQ(ini("Main", "Height"), "400");
  EXPECT_EQ(globals::CallResponse, abc::RequestCancelled);
  EXPECT_TRUE(no_messages());
}

TEST_P(MainWindowOnBoth, SavedGeometryIsRestoredAndOnlyGroupPromptAndPreviewFollowTheSize) {
  write(dir_ / "quillomar.INI",
        "[Main]\r\nMaximize=No\r\nMinimize=No\r\nXPos=10\r\nYPos=20\r\nWidth=745\r\nHeight=500\r\n");
  auto at = [](Window& w, int feq) {
    return std::vector<std::string>{w.property(feq, window::PROP_Xpos), w.property(feq, window::PROP_Ypos),
                                    w.property(feq, window::PROP_Width), w.property(feq, window::PROP_Height)};
  };
  using V = std::vector<std::string>;
  user().then([&](Window& w) {
    EXPECT_EQ(w.property(window::PROP_Width), "745");
    EXPECT_EQ(w.property(window::PROP_Xpos), "10");
    EXPECT_EQ(at(w, FEQ_GROUP1), (V{"2", "1", "740", "122"}));             // wider, not higher: the list is below
    EXPECT_EQ(at(w, FEQ_GLO_TPSPASSWORD_PROMPT), (V{"32", "2", "-1", "-1"}));  // moves with the group
    EXPECT_EQ(at(w, FEQ_LIST1), (V{"5", "122", "735", "376"}));
    EXPECT_EQ(at(w, FEQ_GLO_TPSPASSWORD), (V{"84", "2", "118", "10"}));
    EXPECT_EQ(at(w, FEQ_BUTTONQUERY), (V{"526", "104", "12", "-1"}));
    EXPECT_EQ(at(w, FEQ_GLO_WHERE), (V{"275", "52", "264", "50"}));
    // The user makes it larger still.
    w.set_property(window::PROP_Width, 1090);
    w.set_property(window::PROP_Height, 800);
    w.post(window::EVENT_Sized);
  });
  user().pause(5).then([&](Window& w) {
    EXPECT_EQ(at(w, FEQ_LIST1), (V{"5", "122", "1080", "676"}));
    EXPECT_EQ(at(w, FEQ_GLO_TPSPASSWORD_PROMPT), (V{"46", "2", "-1", "-1"}));
    EXPECT_EQ(at(w, FEQ_GLO_SELECT), (V{"5", "52", "264", "50"}));
#ifdef QM_DESKTOP
    if (!on_desktop()) return;
    window::QtBackend& qt = window::drive::desktop();
    EXPECT_EQ(qt.widget(w)->size(), QSize(qt.pixels_x(1090), qt.pixels_y(800)));
    expect_placed(w, FEQ_LIST1, {5, 122, 1080, 676});
    expect_placed(w, FEQ_GROUP1, {2, 1, 1085, 122});
    expect_placed(w, FEQ_GLO_SELECT, {5, 52, 264, 50});
    expect_placed(w, FEQ_BUTTONQUERY, {526, 104, 12, -1});
    const QPoint prompt = qt.widget(w, FEQ_GLO_TPSPASSWORD_PROMPT)->mapTo(qt.widget(w), QPoint(0, 0));
    EXPECT_EQ(prompt.x(), qt.pixels_x(46));
#endif
  });
  user().close_request();
  start();
  EXPECT_EQ(ini("Main", "Width"), "1090");
  EXPECT_EQ(ini("Main", "Height"), "800");
  EXPECT_EQ(ini("Main", "XPos"), "10");
}

TEST_P(MainWindowOnBoth, ChoosingADateOrTimePictureCopiesItWithTheSeparator) {
  std::vector<std::string> seen;
  auto look = [&](Window&) { seen.push_back(window::clipboard()); };
  window::setclipboard("");
  user().choose(FEQ_GLO_DATETIMESEPARATOR, 2).then(look);  // "-b": a separator copies nothing
  user().choose(FEQ_GLO_DATEFORMAT, 1).then(look);
  user().choose(FEQ_GLO_TIMEFORMAT, 2).then(look);
  user().choose(FEQ_GLO_DATETIMESEPARATOR, 5).choose(FEQ_GLO_DATEFORMAT, 24).then(look);
  user().close_request();
  start();
  EXPECT_EQ(seen, (std::vector<std::string>{"", "@D1-b", "@T01-b", "@D18b"}));
}

TEST_P(MainWindowOnBoth, FetchExportsWithProgressCountAndPreviewThenNewClearsTheForm) {
  const std::string table = customers(30);
  globals::GLO_OUTPUTCSVLOCATION = "OUT\\kept.csv";
  user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, "Cust").press(FEQ_BUTTONFETCH);
  // The scripted user waits for the export (ten records a timer event), as
  // whatever a user does meanwhile reaches only the export's own loop.
  user().pause(30).then([&](Window& w) {
    EXPECT_EQ(w.caption(), std::string(kCaption) + " Record: 30 of 30");
    EXPECT_EQ(globals::GLO_FETCHEDNO, 30);
    EXPECT_EQ(w.shown(FEQ_GLO_FETCHEDNO), "       30");  // @n9b
    EXPECT_EQ(w.property(FEQ_LIST1, window::PROP_Format), "57L|M~CUS:PTR~58L|M~CUS:CODE~58L|M~CUS:NAME~");
    ASSERT_EQ(w.list_rows(FEQ_LIST1), 30u);
    EXPECT_EQ(clipped(w.list_row(FEQ_LIST1, 1)), (std::vector<std::string>{"2", "1", "Name 1"}));
    EXPECT_EQ(clipped(w.list_row(FEQ_LIST1, 30)), (std::vector<std::string>{"31", "30", "Name 30"}));
#ifdef QM_DESKTOP
    if (!on_desktop()) return;
    // What the screen shows: the caption, the count, the columns and the rows.
    window::QtBackend& qt = window::drive::desktop();
    EXPECT_EQ(qt.widget(w)->windowTitle().toStdString(), std::string(kCaption) + " Record: 30 of 30");
    EXPECT_EQ(qobject_cast<QLabel*>(qt.widget(w, FEQ_GLO_FETCHEDNO))->text().trimmed(), "30");
    auto* view = qobject_cast<QTableView*>(qt.widget(w, FEQ_LIST1));
    QAbstractItemModel* m = view->model();
    ASSERT_EQ(m->columnCount(), 3);
    ASSERT_EQ(m->rowCount(), 30);
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "CUS:NAME");
    EXPECT_EQ(m->data(m->index(29, 2)).toString(), "Name 30");
    EXPECT_EQ(view->horizontalHeader()->sectionSize(1), qt.pixels_x(58));
#endif
  });
  user().press(FEQ_BUTTONNEW).then([&](Window& w) {
    EXPECT_EQ(w.shown(FEQ_GLO_INPUTTPSLOCATION), "");
    EXPECT_EQ(w.shown(FEQ_GLO_QUERYNAME), "");
    EXPECT_EQ(globals::FieldListQueue.records(), 0u);
    EXPECT_EQ(globals::LastRecordCount, 0);
    EXPECT_EQ(w.focus(), FEQ_GLO_QUERYNAME);
    EXPECT_EQ(w.shown(FEQ_GLO_OUTPUTCSVLOCATION), "OUT\\kept.csv");
    EXPECT_EQ(w.shown(FEQ_GLO_FETCHEDNO), "       30");
    EXPECT_EQ(w.list_rows(FEQ_LIST1), 30u);  // the preview stays
  });
  user().close_request();
  start();
  const auto lines = csv_lines("OUT/kept.CSV");
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[0], "\"CUS:PTR\",\"CUS:CODE\",\"CUS:NAME\"");
  EXPECT_EQ(lines[30], "\"31\",\"30\",\"Name 30\"");
  EXPECT_TRUE(no_messages());
}

TEST_P(MainWindowOnBoth, TheKeywordsAndTheNamesShapeTheExportAndItsColumns) {
  const std::string table = customers(20);
  struct Case {
    const char* select;
    const char* where;
    int no_preview;
    const char* format;
    std::size_t rows;
    const char* first_row_first_cell;
  };
  const Case cases[] = {
      {"CUS:NAME,TOP 5", "", 0, "58L|M~CUS:NAME~", 5, "Name 1"},
      {"CUS:NAME BOTTOM 3", "", 0, "58L|M~CUS:NAME~", 3, "Name 20"},
      {"CUS:NAME", "CUS:CODE > 18", 0, "58L|M~CUS:CODE~58L|M~CUS:NAME~", 2, "19"},
      {"", "CUS:CODE > 18", 0, "57L|M~CUS:PTR~58L|M~CUS:CODE~58L|M~CUS:NAME~", 2, "20"},
      {"CUS:NAME,STARTAT 12,TOP 2", "", 0, "58L|M~CUS:NAME~", 2, "Name 11"},
      {"", "", 1, "", 0, ""},
  };
  for (const Case& c : cases) {
    user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_SELECT, c.select).type(FEQ_GLO_WHERE, c.where);
    if (c.no_preview) user().check(FEQ_GLO_NOPREVIEW);  // unchecked until here
    user().press(FEQ_BUTTONFETCH);
    user().pause(30).then([c](Window& w) {
      EXPECT_EQ(w.property(FEQ_LIST1, window::PROP_Format), c.format) << c.select;
      EXPECT_EQ(w.list_rows(FEQ_LIST1), c.rows) << c.select;
      if (c.rows > 0) {
        EXPECT_EQ(text::clip(w.list_cell(FEQ_LIST1, 1, 1)), c.first_row_first_cell) << c.select;
      }
    });
  }
  user().close_request();
  start();
  EXPECT_TRUE(no_messages());
}

TEST_P(MainWindowOnBoth, ClosingDuringAnExportWritesWhatWasReadAndSavesTheQuery) {
  const std::string table = customers(500);
  int fetched = -1;
  user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, "Big").press(FEQ_BUTTONFETCH);
  // Five timer events into the export (ten records each), the user closes.
  user().pause(5).close_request();
  start();
  fetched = globals::GLO_FETCHEDNO;
  EXPECT_EQ(user().steps_left(), 0u);
  EXPECT_GT(fetched, 0);
  EXPECT_LT(fetched, 500);
  const auto lines = csv_lines("OUT/CUS.CSV");
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(fetched) + 1);
  std::ostringstream last;
  last << '"' << fetched + 1 << "\",\"" << fetched << "\",\"Name " << fetched << '"';
  EXPECT_EQ(lines.back(), last.str());
  // The close went on to the window manager: the query was saved.
  std::string input;
  user().then([&](Window& w) { input = w.shown(FEQ_GLO_INPUTTPSLOCATION); }).close_request();
  restart({"\\query=Big"});
  EXPECT_EQ(input, table);
}

#ifdef QM_DESKTOP
INSTANTIATE_TEST_SUITE_P(Backends, MainWindowOnBoth, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Desktop" : "Headless"; });
#else
INSTANTIATE_TEST_SUITE_P(Backends, MainWindowOnBoth, ::testing::Values(false),
                         [](const auto&) { return "Headless"; });
#endif

}  // namespace
}  // namespace main_window_test
