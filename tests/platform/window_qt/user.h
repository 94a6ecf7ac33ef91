// A user of the windows, scripted ahead, for tests that run on both backends:
// on the headless backend the steps go to its script; on the desktop backend
// each step is a real widget event (a click, keys typed into the widget), taken
// when a window's loop waits, after the pause given before it.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/window/headless.h"
#include "platform/window/qt/qt_backend.h"
#include "platform/window/window.h"

namespace window::drive {

// Types a text as key presses; characters beyond ASCII come as the text of a
// key with no key code, as an input method gives them.
inline void type_keys(QWidget* w, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
      QTest::keyClick(w, static_cast<char>(c.unicode()));
    } else {
      QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}

class User {
 public:
  virtual ~User() = default;
  virtual User& pause(std::int64_t hundredths) = 0;
  virtual User& press(int control) = 0;
  virtual User& type(int control, std::string bytes) = 0;
  virtual User& check(int control) = 0;  // a click: the box changes state
  virtual User& choose(int control, int item) = 0;
  virtual User& click(int list, std::size_t row, int column) = 0;
  virtual User& double_click(int list, std::size_t row, int column) = 0;
  virtual User& key(int control, int keycode) = 0;
  virtual User& close_request() = 0;
  // The answer to the next message box (a BUTTON_ value).
  virtual User& answer(int button) = 0;
  // A look at the window (or a change made as the program would), taken as a step.
  virtual User& then(std::function<void(Window&)> step) = 0;
  virtual std::size_t steps_left() const = 0;
  // Characters typed on a control that has the focus (a list's locator).
  virtual User& type_chars(int control, std::string bytes) = 0;
  virtual User& enter() = 0;  // Enter on the control with the focus
  virtual User& right_click(int list, std::size_t row, int column) = 0;
  // The item chosen in the next pop-up menu (0 dismisses it).
  virtual User& answer_popup(int item) = 0;
};

class HeadlessUser final : public User {
 public:
  HeadlessUser() { headless().reset(); }
  ~HeadlessUser() override { headless().reset(); }
  User& pause(std::int64_t h) override { return headless().pause(h), *this; }
  User& press(int c) override { return headless().press(c), *this; }
  User& type(int c, std::string b) override { return headless().type(c, std::move(b)), *this; }
  User& check(int c) override {
    headless().then([c](Window& w) { w.user_check(c, !w.checked(c)); });
    return *this;
  }
  User& choose(int c, int item) override { return headless().choose(c, item), *this; }
  User& click(int l, std::size_t r, int col) override { return headless().click(l, r, col), *this; }
  User& double_click(int l, std::size_t r, int col) override { return headless().double_click(l, r, col), *this; }
  User& key(int c, int k) override { return headless().key(c, k), *this; }
  User& close_request() override { return headless().close_request(), *this; }
  User& answer(int b) override { return headless().answer(b), *this; }
  User& then(std::function<void(Window&)> step) override { return headless().then(std::move(step)), *this; }
  std::size_t steps_left() const override { return headless().steps_left(); }
  User& type_chars(int c, std::string b) override { return headless().type_keys(c, std::move(b)), *this; }
  User& enter() override { return headless().enter(), *this; }
  User& right_click(int l, std::size_t r, int col) override { return headless().right_click(l, r, col), *this; }
  User& answer_popup(int item) override { return headless().answer_popup(item), *this; }
};

// The Qt key of a runtime key code (the ones the tests use).
inline Qt::Key qt_key(int keycode) {
  switch (keycode & 0xFF) {
    case EnterKey: return Qt::Key_Return;
    case EscKey: return Qt::Key_Escape;
    case DeleteKey: return Qt::Key_Delete;
    case BSKey: return Qt::Key_Backspace;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x26: return Qt::Key_Up;
    case 0x28: return Qt::Key_Down;
    default: return static_cast<Qt::Key>(keycode & 0xFF);
  }
}

// Real widget events on the desktop backend.
class DesktopUser final : public User {
 public:
  explicit DesktopUser(QtBackend& qt) : qt_(qt) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { next(); });
    timer_.start(0);
  }

  User& pause(std::int64_t h) override {
    pending_ += h;
    return *this;
  }
  User& press(int c) override {
    return add([=, this](Window& w) { QTest::mouseClick(widget<QPushButton>(w, c), Qt::LeftButton); });
  }
  User& type(int c, std::string bytes) override {
    return add([=, this](Window& w) {
      QWidget* wd = qt_.widget(w, c);
      QString text = to_qstring(bytes);
      if (auto* combo = qobject_cast<QComboBox*>(wd)) wd = combo->lineEdit();
      wd->setFocus();
      if (auto* e = qobject_cast<QLineEdit*>(wd)) {
        e->selectAll();
        if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Delete);  // an empty text clears the field
        type_keys(e, text);
        QTest::keyClick(e, Qt::Key_Return);
      } else if (auto* t = qobject_cast<QPlainTextEdit*>(wd)) {
        t->selectAll();
        if (text.isEmpty()) QTest::keyClick(t, Qt::Key_Delete);
        type_keys(t, text);
        t->clearFocus();
      }
    });
  }
  User& check(int c) override {
    return add([=, this](Window& w) { QTest::mouseClick(widget<QCheckBox>(w, c), Qt::LeftButton); });
  }
  User& choose(int c, int item) override {
    return add([=, this](Window& w) {
      QWidget* wd = qt_.widget(w, c);
      if (auto* sheet = qobject_cast<QTabWidget*>(wd)) {
        QTabBar* bar = sheet->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(item - 1).center());
        return;
      }
      auto* combo = qobject_cast<QComboBox*>(wd);
      combo->showPopup();
      QAbstractItemView* v = combo->view();
      v->setCurrentIndex(v->model()->index(item - 1, 0));
      QTest::keyClick(v, Qt::Key_Return);
    });
  }
  User& click(int l, std::size_t r, int col) override { return mouse(l, r, col, false); }
  User& double_click(int l, std::size_t r, int col) override { return mouse(l, r, col, true); }
  User& key(int c, int k) override {
    return add([=, this](Window& w) {
      QWidget* wd = c ? qt_.widget(w, c) : qt_.widget(w);
      wd->setFocus();
      Qt::KeyboardModifiers m;
      if (k & 0x100) m |= Qt::ShiftModifier;
      if (k & 0x200) m |= Qt::ControlModifier;
      if (k & 0x400) m |= Qt::AltModifier;
      QTest::keyClick(wd, qt_key(k), m);
    });
  }
  User& close_request() override {
    return add([this](Window& w) { qt_.widget(w)->close(); });
  }
  User& answer(int button) override {
    qt_.on_modal([button](QWidget& d) {
      auto* box = qobject_cast<QMessageBox*>(&d);
      const std::pair<int, QMessageBox::StandardButton> map[] = {
          {BUTTON_OK, QMessageBox::Ok},         {BUTTON_YES, QMessageBox::Yes},     {BUTTON_NO, QMessageBox::No},
          {BUTTON_ABORT, QMessageBox::Abort},   {BUTTON_RETRY, QMessageBox::Retry}, {BUTTON_IGNORE, QMessageBox::Ignore},
          {BUTTON_CANCEL, QMessageBox::Cancel}, {BUTTON_HELP, QMessageBox::Help}};
      for (auto [b, s] : map) {
        if (b == button && box && box->button(s)) QTest::mouseClick(box->button(s), Qt::LeftButton);
      }
      if (d.isVisible()) static_cast<QDialog&>(d).reject();  // not among its buttons
    });
    return *this;
  }

  User& then(std::function<void(Window&)> step) override { return add(std::move(step)); }

  std::size_t steps_left() const override { return steps_.size(); }
  User& type_chars(int c, std::string bytes) override {
    return add([=, this](Window& w) {
      QWidget* wd = qt_.widget(w, c);
      wd->setFocus();
      type_keys(wd, to_qstring(bytes));
    });
  }
  User& enter() override {
    return add([this](Window& w) {
      QWidget* top = qt_.widget(w);
      QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, Qt::Key_Return);
    });
  }
  User& right_click(int l, std::size_t r, int col) override {
    return add([=, this](Window& w) {
      auto* v = widget<QTableView>(w, l);
      QModelIndex i = v->model()->index(static_cast<int>(r) - 1, col - 1);
      v->scrollTo(i);
      QTest::mouseClick(v->viewport(), Qt::RightButton, {}, v->visualRect(i).center());
    });
  }
  User& answer_popup(int item) override {
    qt_.on_modal([item](QWidget& d) {
      auto* menu = qobject_cast<QMenu*>(&d);
      QList<QAction*> items;
      for (QAction* a : menu ? menu->actions() : QList<QAction*>()) {
        if (!a->isSeparator()) items.push_back(a);
      }
      if (item >= 1 && item <= items.size() && items[item - 1]->isEnabled()) {
        menu->setActiveAction(items[item - 1]);
        QTest::keyClick(menu, Qt::Key_Return);
      }
      if (d.isVisible()) d.close();
    });
    return *this;
  }

 private:
  struct Step {
    std::int64_t pause;
    std::function<void(Window&)> act;
  };

  template <class W>
  W* widget(Window& w, int c) {
    return qobject_cast<W*>(qt_.widget(w, c));
  }

  User& mouse(int l, std::size_t r, int col, bool twice) {
    return add([=, this](Window& w) {
      auto* v = widget<QTableView>(w, l);
      QModelIndex i = v->model()->index(static_cast<int>(r) - 1, col - 1);
      v->scrollTo(i);
      QPoint at = v->visualRect(i).center();
      if (twice) {
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
      } else {
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at);
      }
    });
  }

  User& add(std::function<void(Window&)> act) {
    steps_.push_back({pending_, std::move(act)});
    pending_ = 0;
    return *this;
  }

  // A step is taken while a loop waits, as the headless script's are.
  void next() {
    if (steps_.empty()) return;
    Window* w = current();
    if (!qt_.waiting() || !w) {
      timer_.start(1);
      return;
    }
    if (!due_) {
      due_ = true;
      timer_.start(static_cast<int>(steps_.front().pause * 10));
      return;
    }
    due_ = false;
    Step s = std::move(steps_.front());
    steps_.pop_front();
    s.act(*w);
    timer_.start(0);
  }

  QtBackend& qt_;
  QTimer timer_;
  std::deque<Step> steps_;
  std::int64_t pending_ = 0;
  bool due_ = false;
};

// The desktop backend of the test process, on the offscreen platform unless
// the environment names another.
inline QtBackend& desktop() {
  static QtBackend* qt = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "window_qt_tests";
    static char* argv[] = {name, nullptr};
    return new QtBackend(argc, argv);
  }();
  return *qt;
}

}  // namespace window::drive
