// The same scripted window sessions on the headless backend and on the desktop
// backend driven by real widget events: what the user does reaches the model's
// variables and events alike, nested loops take the timer events, and message
// boxes give the chosen answer.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "platform/queue/queue.h"
#include "platform/text/text.h"
#include "tests/platform/window_qt/user.h"

namespace {

using namespace window;
using window::drive::DesktopUser;
using window::drive::HeadlessUser;
using window::drive::User;

struct Row {
  text::CString<10> code;
  text::CString<20> name;
  auto fields() { return std::tie(code, name); }
  auto fields() const { return std::tie(code, name); }
};

class BothBackends : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      set_backend(&drive::desktop());
      user_ = std::make_unique<DesktopUser>(drive::desktop());
    } else {
      set_backend(nullptr);
      user_ = std::make_unique<HeadlessUser>();
    }
  }
  void TearDown() override {
    user_.reset();
    set_backend(nullptr);
  }
  User& user() { return *user_; }

 private:
  std::unique_ptr<User> user_;
};

enum { kName = 1, kActive, kKind, kList, kFetch };

WindowDef form() {
  WindowDef def;
  def.label = "FORM";
  def.caption = "Form";
  def.at = {0, 0, 300, 200};
  def.controls = {
      {.type = ControlType::Entry, .label = "?NAME", .picture = "@s20", .at = {10, 10, 80, 12}},
      {.type = ControlType::Check, .label = "?ACTIVE", .text = "Active", .at = {10, 26, 60, 10}},
      {.type = ControlType::DropList, .label = "?KIND", .at = {10, 40, 80, 12}, .from = "Comma|#C|Tab|#T|Semicolon|#S"},
      {.type = ControlType::List, .label = "?LIST", .at = {10, 60, 200, 100}, .format = "40L|M~Code~80L~Name~",
       .alerts = {EnterKey}},
      {.type = ControlType::Button, .label = "?FETCH", .text = "&Fetch", .at = {220, 10, 50, 14}},
  };
  return def;
}

TEST_P(BothBackends, WhatTheUserDoesReachesTheVariablesAndTheLoop) {
  text::CString<21> name;
  std::int32_t active = 0;
  text::CString<2> kind;
  queue::Queue<Row> rows;
  for (const char* n : {"Ann", "Bob", "Cy"}) {
    rows.buffer().code = std::string("K") + n;
    rows.buffer().name = n;
    rows.add();
  }
  Window w(form(), {name, active, kind, rows});
  user()
      .type(kName, "Sm\xE9th")  // é, a byte of the code page
      .check(kActive)
      .choose(kKind, 2)
      .click(kList, 2, 2)
      .key(kList, EnterKey)
      .double_click(kList, 3, 1)
      .press(kFetch)
      .close_request();
  w.open();
  std::vector<std::tuple<int, int, int>> seen;  // the events the loop acts on
  int selections = 0;
  while (accept()) {
    if (event() == EVENT_NewSelection) ++selections;
    if (event() == EVENT_Accepted || event() == EVENT_AlertKey) seen.emplace_back(event(), field(), keycode());
  }
  using E = std::tuple<int, int, int>;
  EXPECT_EQ(seen, (std::vector<E>{E{EVENT_Accepted, kName, 0}, E{EVENT_Accepted, kActive, 0},
                                  E{EVENT_Accepted, kKind, 0}, E{EVENT_AlertKey, kList, EnterKey},
                                  E{EVENT_Accepted, kList, MouseLeft2}, E{EVENT_Accepted, kFetch, 0}}));
  EXPECT_GE(selections, 3);  // the drop list, the click, the double-click
  EXPECT_EQ(name.str(), "Sm\xE9th");
  EXPECT_EQ(active, 1);
  EXPECT_EQ(kind.str(), "T");
  EXPECT_EQ(w.choice(kList), 3);
  EXPECT_EQ(w.property(kList, PROPLIST_MouseDownRow), "3");
  EXPECT_EQ(w.property(kList, PROPLIST_MouseDownField), "1");
  EXPECT_FALSE(w.is_open());
}

TEST_P(BothBackends, ANestedLoopTakesTheTimerEventsAndTheOuterLoopGoesOnAfterIt) {
  WindowDef def = form();
  def.timer = 1;
  queue::Queue<Row> rows;
  text::CString<21> name;
  std::int32_t active = 0;
  text::CString<2> kind;
  Window w(def, {name, active, kind, rows});
  user().press(kFetch).pause(60).close_request();
  w.open();
  std::vector<int> outer;
  int inner_timers = 0, inner_other = 0;
  while (accept()) {
    if (event() == EVENT_Timer) continue;
    outer.push_back(event());
    if (accepted() == kFetch) {
      while (accept()) {
        if (event() != EVENT_Timer) {
          ++inner_other;
          continue;
        }
        if (++inner_timers == 25) break;
      }
    }
  }
  EXPECT_EQ(inner_timers, 25);
  EXPECT_EQ(inner_other, 0);
  EXPECT_EQ(outer, (std::vector<int>{EVENT_OpenWindow, EVENT_Accepted, EVENT_CloseWindow}));
  EXPECT_FALSE(w.is_open());
}

TEST_P(BothBackends, AMessageBoxGivesTheButtonChosen) {
  queue::Queue<Row> rows;
  text::CString<21> name;
  std::int32_t active = 0;
  text::CString<2> kind;
  Window w(form(), {name, active, kind, rows});
  user().answer(BUTTON_NO).answer(BUTTON_CANCEL).answer(BUTTON_OK).press(kFetch).close_request();
  w.open();
  std::vector<int> answers;
  while (accept()) {
    if (accepted() != kFetch) continue;
    answers.push_back(message("Replace it?", "Export", Icon::Question, BUTTON_YES + BUTTON_NO + BUTTON_CANCEL, BUTTON_NO));
    answers.push_back(message("Go on?|Or stop?", "Export", Icon::Exclamation, BUTTON_YES + BUTTON_CANCEL));
    answers.push_back(message("Done."));
  }
  EXPECT_EQ(answers, (std::vector<int>{BUTTON_NO, BUTTON_CANCEL, BUTTON_OK}));
}

// A browse's input: typed letters with their case, Backspace, a right click
// answered from the pop-up menu, and Enter pressing the default button, in
// the same events on either backend.
TEST_P(BothBackends, ABrowsesLettersMenuAndDefaultButtonReachTheLoop) {
  WindowDef def = form();
  std::vector<int>& alerts = def.controls[kList - 1].alerts;
  alerts = {char_keycode('b'), char_keycode('B'), BSKey, MouseRightUp};
  queue::Queue<Row> rows;
  for (const char* n : {"Ann", "Bob", "Cy"}) {
    rows.buffer().code = std::string("K") + n;
    rows.buffer().name = n;
    rows.add();
  }
  text::CString<21> name;
  std::int32_t active = 0;
  text::CString<2> kind;
  Window w(def, {name, active, kind, rows});
  w.set_default_button(kFetch);
  user().click(kList, 1, 1).type_chars(kList, "bB").key(kList, BSKey).answer_popup(2).right_click(kList, 3, 1);
  user().enter().close_request();
  w.open();
  using E = std::tuple<int, int, int, char>;
  std::vector<E> seen;
  std::vector<int> chosen;
  while (accept()) {
    if (event() == EVENT_AlertKey || event() == EVENT_Accepted) seen.emplace_back(event(), field(), keycode(), keychar());
    if (event() == EVENT_AlertKey && keycode() == MouseRightUp) chosen.push_back(popup("&Delete|~&Edit|&Select"));
  }
  EXPECT_EQ(seen, (std::vector<E>{E{EVENT_AlertKey, kList, char_keycode('b'), 'b'}, E{EVENT_AlertKey, kList, 'B', 'B'},
                                  E{EVENT_AlertKey, kList, BSKey, 0}, E{EVENT_AlertKey, kList, MouseRightUp, 0},
                                  E{EVENT_Accepted, kFetch, EnterKey, 0}}));
  EXPECT_EQ(chosen, (std::vector<int>{0})) << "the second item is disabled: the menu is dismissed";
  EXPECT_EQ(w.property(kList, PROPLIST_MouseDownRow), "3");
  EXPECT_EQ(w.choice(kList), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, BothBackends, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Desktop" : "Headless"; });

}  // namespace
