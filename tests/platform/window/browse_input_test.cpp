// What a browse window needs of the window layer: characters typed on a
// list (their key codes and KEYCHAR), the default button that Enter presses,
// a right click on a list's row, the pop-up menu's answers, controls on the
// tabs of a sheet, and the status-bar text of the focused control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/queue/queue.h"
#include "platform/text/text.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

struct Row {
  text::CString<20> name;
  auto fields() { return std::tie(name); }
  auto fields() const { return std::tie(name); }
};

enum : int { kList = 1, kSelect, kSheet, kTab1, kEntry1, kTab2, kEntry2, kOk };

WindowDef def() {
  WindowDef d;
  d.label = "W";
  d.controls = {
      {.type = ControlType::List, .label = "?LIST", .msg = "Browsing", .format = "80L~Name~"},
      {.type = ControlType::Button, .label = "?SELECT", .text = "&Select", .msg = "Select the Record"},
      {.type = ControlType::Sheet, .label = "?SHEET"},
      {.type = ControlType::Tab, .label = "?TAB:1", .text = "One", .parent = kSheet},
      {.type = ControlType::Entry, .label = "?E1", .parent = kTab1},
      {.type = ControlType::Tab, .label = "?TAB:2", .text = "Two", .parent = kSheet},
      {.type = ControlType::Entry, .label = "?E2", .parent = kTab2},
      {.type = ControlType::Button, .label = "?OK", .text = "OK"},
  };
  return d;
}

class BrowseInput : public ::testing::Test {
 protected:
  void SetUp() override {
    headless().reset();
    for (const char* n : {"one", "two", "three"}) {
      rows_.buffer().name = n;
      rows_.add();
    }
    w_.open();
    w_.accept();  // OpenWindow
  }
  void TearDown() override {
    w_.close();
    headless().reset();
  }
  // The events queued so far, taken one by one.
  std::vector<Event> drain() {
    std::vector<Event> out;
    while (w_.has_events() && w_.accept()) out.push_back(w_.current_event());
    return out;
  }

  queue::Queue<Row> rows_;
  std::string e1_, e2_;
  Window w_{def(), {rows_, e1_, e2_}};
};

TEST_F(BrowseInput, TypedCharactersReachAListOnlyWhereAlertedWithTheirCaseKept) {
  EXPECT_FALSE(w_.user_char(kList, 'a'));  // not alerted: nothing
  for (char c : std::string("aZ5.&")) w_.alert(kList, char_keycode(c));
  for (char c : std::string("aZ5.&")) EXPECT_TRUE(w_.user_char(kList, c)) << c;
  const auto events = drain();
  ASSERT_EQ(events.size(), 5u);
  struct Expect {
    int keycode;
    char keychar;
  };
  // Punctuation never arrives as a navigation key ("." is not Delete, "&" not Up).
  const Expect expected[] = {{AKey, 'a'}, {AKey + 25, 'Z'}, {'5', '5'}, {CharKey + '.', '.'}, {CharKey + '&', '&'}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(events[i].event, EVENT_AlertKey);
    EXPECT_EQ(events[i].field, kList);
    EXPECT_EQ(events[i].keycode, expected[i].keycode) << i;
    EXPECT_EQ(events[i].keychar, expected[i].keychar) << i;
  }
  EXPECT_NE(char_keycode('.'), DeleteKey);
  EXPECT_NE(char_keycode('&'), UpKey);
  EXPECT_EQ(w_.focus(), kList);
  EXPECT_EQ(w_.status_text(), "Browsing");
}

TEST_F(BrowseInput, EnterPressesTheDefaultButtonWhileItTakesInput) {
  EXPECT_FALSE(w_.user_enter());  // none set
  w_.set_default_button(kSelect);
  EXPECT_TRUE(w_.user_enter());
  w_.set_property(kSelect, PROP_Disable, 1);
  EXPECT_FALSE(w_.user_enter());
  w_.set_default_button(kList);  // not a button
  EXPECT_FALSE(w_.user_enter());
  const auto events = drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].event, EVENT_Accepted);
  EXPECT_EQ(events[0].field, kSelect);
  EXPECT_EQ(events[0].keycode, EnterKey);
}

TEST_F(BrowseInput, ARightClickMarksTheRowAndIsAlertedOnlyWhenAsked) {
  EXPECT_TRUE(w_.user_right_click(kList, 2, 1));
  EXPECT_TRUE(drain().empty());
  EXPECT_EQ(w_.property(kList, PROPLIST_MouseDownRow), "2");
  w_.alert(kList, MouseRightUp);
  EXPECT_TRUE(w_.user_right_click(kList, 3, 1));
  EXPECT_FALSE(w_.user_right_click(kList, 4, 1));  // no such row
  const auto events = drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].keycode, MouseRightUp);
  EXPECT_EQ(w_.property(kList, PROPLIST_MouseDownRow), "3");
  EXPECT_EQ(w_.choice(kList), 0);  // the row under the mouse is the browse's to highlight
}

TEST_F(BrowseInput, PopupMenusTakeTheScriptedAnswerUnlessItCannotBeChosen) {
  struct Case {
    const char* items;
    int answer;
    int chosen;
  };
  const Case cases[] = {
      {"&Delete|&Select", 2, 2},   {"&Delete|&Select", 1, 1}, {"~&Delete|&Select", 1, 0},  // disabled
      {"&Delete|-|&Select", 2, 2},  // a separator is not counted
      {"&Delete", 2, 0},            // past the end
      {"&Delete", 0, 0},            // dismissed
  };
  for (const Case& c : cases) {
    headless().reset();
    headless().answer_popup(c.answer);
    EXPECT_EQ(popup(c.items), c.chosen) << c.items << " " << c.answer;
    ASSERT_EQ(headless().popups().size(), 1u);
    EXPECT_EQ(headless().popups()[0].items, c.items);
  }
  headless().reset();
  EXPECT_EQ(popup("&Delete"), 0);  // none scripted: dismissed
}

TEST_F(BrowseInput, OnlyTheChosenTabsControlsAreShownAndTakeInput) {
  EXPECT_EQ(w_.choice(kSheet), 1);
  EXPECT_TRUE(w_.on_screen(kEntry1));
  EXPECT_FALSE(w_.on_screen(kEntry2));
  EXPECT_EQ(w_.property(kEntry2, PROP_Visible), "");
  EXPECT_FALSE(w_.user_type(kEntry2, "x"));
  EXPECT_TRUE(w_.user_type(kEntry1, "a"));
  EXPECT_TRUE(w_.user_choose(kSheet, 2));
  EXPECT_FALSE(w_.on_screen(kEntry1));
  EXPECT_TRUE(w_.user_type(kEntry2, "b"));
  EXPECT_TRUE(w_.on_screen(kOk));
  // A hidden sheet hides every tab's controls.
  w_.set_property(kSheet, PROP_Hide, 1);
  EXPECT_FALSE(w_.on_screen(kEntry2));
  EXPECT_EQ(e1_, "a");
  EXPECT_EQ(e2_, "b");
}

}  // namespace
