// The ACCEPT loop on the headless backend: the virtual clock, nested loops,
// posted events and the default handling of a close request.
#include <gtest/gtest.h>

#include <vector>

#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

constexpr int kFetch = 1;  // field number of the button in the small window below

WindowDef paced_window(int timer = 1) {
  WindowDef def;
  def.label = "PACED";
  def.caption = "Paced";
  def.timer = timer;
  def.controls.push_back({.type = ControlType::Button, .label = "?BUTTONFETCH", .text = "Fetch"});
  def.controls.push_back({.type = ControlType::Button, .label = "?BUTTONNEW", .text = "New"});
  return def;
}

class EventLoop : public ::testing::Test {
 protected:
  void SetUp() override { headless().reset(); }
  void TearDown() override { headless().reset(); }
};

TEST_F(EventLoop, OpenWindowComesFirstThenTimerEventsOneTimerPeriodApart) {
  Window w(paced_window(5));
  w.open();
  EXPECT_EQ(current(), &w);
  std::vector<int> events;
  std::vector<std::int64_t> times;
  while (accept()) {
    events.push_back(event());
    times.push_back(headless().now());
    if (events.size() == 4) break;
  }
  EXPECT_EQ(events, (std::vector<int>{EVENT_OpenWindow, EVENT_Timer, EVENT_Timer, EVENT_Timer}));
  EXPECT_EQ(times, (std::vector<std::int64_t>{0, 5, 10, 15}));
  EXPECT_EQ(field(), 0);
}

TEST_F(EventLoop, NestedLoopInButtonHandlerTakesTheTimerEventsTheOuterLoopSeesNone) {
  Window w(paced_window());
  headless().press(kFetch).pause(1000).close_request();
  w.open();
  std::vector<int> outer;
  int inner_timers = 0;
  int inner_other = 0;
  while (accept()) {
    outer.push_back(event());
    if (event() == EVENT_Accepted && field() == kFetch) {
      // The record loop of an export: acts on timer events only, 25 of them.
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
  // The outer loop sees the press, then only the timer events that came after
  // the nested loop ended, then the close request that ends it.
  ASSERT_GE(outer.size(), 3u);
  EXPECT_EQ(outer[0], EVENT_OpenWindow);
  EXPECT_EQ(outer[1], EVENT_Accepted);
  EXPECT_EQ(outer.back(), EVENT_CloseWindow);
  EXPECT_FALSE(w.is_open());
  EXPECT_EQ(current(), nullptr);
}

TEST_F(EventLoop, UserActionsDuringTheNestedLoopReachOnlyTheNestedLoop) {
  Window w(paced_window());
  // The second press and the close request come while the nested loop runs.
  headless().press(kFetch).pause(3).press(2).pause(3).close_request();
  w.open();
  std::vector<Event> inner;
  int outer_presses = 0;
  while (accept()) {
    if (accepted() == 0) continue;
    ++outer_presses;
    while (accept()) {
      inner.push_back(w.current_event());
      if (event() != EVENT_Timer) continue;  // passed over: default handling only
    }
  }
  EXPECT_EQ(outer_presses, 1);
  // The close request's default handling closed the window and ended both loops.
  ASSERT_FALSE(inner.empty());
  EXPECT_EQ(inner.back().event, EVENT_CloseWindow);
  bool saw_second_press = false;
  for (const Event& e : inner) saw_second_press |= e.event == EVENT_Accepted && e.field == 2;
  EXPECT_TRUE(saw_second_press);
  EXPECT_FALSE(w.is_open());
}

TEST_F(EventLoop, PostedCloseRequestEndsTheLoopAfterTheRunningHandlerReturns) {
  Window w(paced_window());
  headless().press(kFetch);
  w.open();
  std::vector<int> seen;
  bool handler_finished = false;
  while (accept()) {
    seen.push_back(event());
    if (accepted() == kFetch) {
      post(EVENT_CloseWindow);
      EXPECT_TRUE(w.is_open());  // still open while the handler runs
      handler_finished = true;
    }
  }
  EXPECT_TRUE(handler_finished);
  EXPECT_EQ(seen, (std::vector<int>{EVENT_OpenWindow, EVENT_Accepted, EVENT_CloseWindow}));
  EXPECT_FALSE(w.is_open());
}

TEST_F(EventLoop, CycleOnACloseRequestKeepsTheWindowOpen) {
  Window w(paced_window());
  headless().close_request().pause(10).close_request();
  w.open();
  int close_requests = 0;
  while (accept()) {
    if (event() == EVENT_CloseWindow && ++close_requests == 1) cycle();
  }
  EXPECT_EQ(close_requests, 2);
  EXPECT_FALSE(w.is_open());
}

TEST_F(EventLoop, TimerEventsMergeWhileTheWindowIsNotWaiting) {
  Window main_window(paced_window());
  WindowDef second = paced_window(0);
  second.label = "SECOND";
  headless().press(kFetch).pause(500).close_request().pause(5).close_request();
  main_window.open();
  int main_timers_after_second = 0;
  bool second_ran = false;
  while (accept()) {
    if (accepted() == kFetch) {
      Window picker(second);
      picker.open();
      EXPECT_EQ(current(), &picker);
      while (accept()) {
        EXPECT_NE(event(), EVENT_Timer);  // the picker has no timer of its own
      }
      second_ran = true;
      EXPECT_EQ(current(), &main_window);
      // Five seconds passed in the picker: the main window has one timer event waiting.
      while (accept()) {
        if (event() == EVENT_Timer) ++main_timers_after_second;
        break;
      }
    }
  }
  EXPECT_TRUE(second_ran);
  EXPECT_EQ(main_timers_after_second, 1);
}

TEST_F(EventLoop, TimerSetAtRunTimeAndStopped) {
  Window w(paced_window(0));
  w.open();
  ASSERT_TRUE(accept());
  EXPECT_EQ(event(), EVENT_OpenWindow);
  w.set_property(PROP_Timer, 20);
  EXPECT_EQ(w.property(PROP_Timer), "20");
  ASSERT_TRUE(accept());
  EXPECT_EQ(event(), EVENT_Timer);
  EXPECT_EQ(headless().now(), 20);
  w.set_property(PROP_Timer, 0);
  // No timer and nobody left to act: one close request, then the loop ends.
  ASSERT_TRUE(accept());
  EXPECT_EQ(event(), EVENT_CloseWindow);
  cycle();
  EXPECT_FALSE(accept());
  EXPECT_FALSE(w.is_open());
}

TEST_F(EventLoop, ScriptedStepsRefusedByTheWindowAreReported) {
  WindowDef def = paced_window(0);
  def.controls[1].disabled = true;
  Window w(def);
  headless().press(2).press(7).press(kFetch);
  w.open();
  std::vector<int> accepted_controls;
  while (accept()) {
    if (accepted()) accepted_controls.push_back(accepted());
  }
  EXPECT_EQ(accepted_controls, (std::vector<int>{kFetch}));
  EXPECT_EQ(headless().refused().size(), 2u);
}

TEST_F(EventLoop, CaptionAndWindowProperties) {
  Window w(paced_window());
  w.open();
  EXPECT_EQ(w.property(PROP_Text), "Paced");
  w.set_property(PROP_Text, "Paced Record: 3 of 10");
  EXPECT_EQ(w.caption(), "Paced Record: 3 of 10");
  w.set_property(PROP_Iconize, 1);
  w.set_property(PROP_Hide, 1);
  w.set_property(PROP_MinWidth, 545);
  w.set_property(PROP_MinHeight, 400);
  EXPECT_TRUE(w.iconized());
  EXPECT_TRUE(w.hidden());
  EXPECT_EQ(w.property(PROP_Hide), "1");
  EXPECT_EQ(w.property(PROP_MinWidth), "545");
  EXPECT_EQ(w.property(PROP_MinHeight), "400");
  EXPECT_EQ(w.property(PROP_Handle), std::to_string(w.handle()));
  // A hidden window takes no input from the user.
  EXPECT_FALSE(w.user_press(kFetch));
  EXPECT_FALSE(w.user_close());
}

TEST_F(EventLoop, MovesSizesAndStatesTheUserMakesReachTheProperties) {
  Window w(paced_window(0));
  w.open();
  ASSERT_TRUE(accept());  // OpenWindow
  // A drag reports many sizes; one EVENT:Sized waits, the properties hold the last.
  EXPECT_TRUE(w.user_sized(300, 200));
  EXPECT_TRUE(w.user_sized(320, 210));
  EXPECT_TRUE(w.user_moved(15, 25));
  EXPECT_TRUE(w.user_moved(16, 26));
  EXPECT_TRUE(w.user_state(false, true));
  EXPECT_FALSE(w.user_state(false, true));  // no change, no event
  EXPECT_TRUE(w.user_state(false, false));
  std::vector<int> events;
  while (w.has_events() && accept()) events.push_back(event());
  EXPECT_EQ(events, (std::vector<int>{EVENT_Sized, EVENT_Moved, EVENT_Maximized, EVENT_Restored}));
  EXPECT_EQ(w.property(PROP_Width), "320");
  EXPECT_EQ(w.property(PROP_Height), "210");
  EXPECT_EQ(w.property(PROP_Xpos), "16");
  EXPECT_EQ(w.property(PROP_Ypos), "26");
  EXPECT_TRUE(w.user_state(true, false));
  EXPECT_TRUE(w.iconized());
  EXPECT_EQ(w.property(PROP_Maximize), "");
  w.close();
  EXPECT_FALSE(w.user_sized(1, 1));
}

TEST_F(EventLoop, WithoutWindowsThereIsNoLoop) {
  EXPECT_EQ(current(), nullptr);
  EXPECT_FALSE(accept());
  EXPECT_EQ(event(), 0);
}

}  // namespace
