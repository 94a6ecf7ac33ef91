#include "platform/abc/window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <string>
#include <vector>

#include "platform/abc/toolbar.h"
#include "platform/window/headless.h"

namespace {

using namespace window;
using abc::BYTE;

WindowDef dialog() {
  WindowDef def;
  def.label = "DIALOG";
  def.caption = "Dialog";
  def.controls.push_back({.type = ControlType::Entry, .label = "?NAME"});
  def.controls.push_back({.type = ControlType::Button, .label = "?OK", .text = "OK"});
  def.controls.push_back({.type = ControlType::Button, .label = "?CANCEL", .text = "Cancel"});
  def.controls.push_back({.type = ControlType::Button, .label = "?OTHER", .text = "Other"});
  return def;
}

// A manager that records what reaches its handlers, each answering as told.
class Recorder : public abc::WindowManager {
 public:
  explicit Recorder(window::Window& w) : w_(w) {}
  BYTE Init() override {
    log.push_back("Init");
    if (BYTE r = abc::WindowManager::Init()) return r;
    if (init_result) return init_result;
    FirstField = 1;
    AddButton(2, abc::RequestCompleted);
    AddButton(3, abc::RequestCancelled);
    Open(w_);
    return 0;
  }
  BYTE Kill() override {
    log.push_back("Kill");
    return abc::WindowManager::Kill();
  }
  BYTE OnAccepted() override {
    log.push_back("Accepted " + std::to_string(Field()));
    return abc::WindowManager::OnAccepted();
  }
  BYTE OnCloseRequest() override {
    log.push_back("Close");
    if (keep_open > 0) {
      --keep_open;
      return abc::Level_Notify;
    }
    return abc::WindowManager::OnCloseRequest();
  }
  BYTE OnFieldEvent() override {
    log.push_back("Field " + std::to_string(Event()) + " " + std::to_string(Field()));
    return Event() == EVENT_Accepted && Field() == 4 ? fatal_on_other : 0;
  }
  BYTE OnWindowEvent() override {
    if (Event() == EVENT_OpenWindow) log.push_back("Open");
    return abc::WindowManager::OnWindowEvent();
  }

  std::vector<std::string> log;
  BYTE init_result = 0;
  int keep_open = 0;
  BYTE fatal_on_other = 0;

 private:
  window::Window& w_;
};

class Manager : public ::testing::Test {
 protected:
  void SetUp() override { headless().reset(); }
  void TearDown() override { headless().reset(); }
};

TEST_F(Manager, AButtonRegisteredWithAResponseEndsTheWindowWithIt) {
  for (int button : {2, 3}) {
    Window w(dialog());
    Recorder m(w);
    headless().press(button);
    EXPECT_EQ(m.Run(), button == 2 ? abc::RequestCompleted : abc::RequestCancelled);
    EXPECT_FALSE(w.is_open());
    // The accepted button's own handling was skipped (5), so no field event followed it.
    EXPECT_EQ(m.log, (std::vector<std::string>{"Init", "Open", "Accepted " + std::to_string(button), "Close", "Kill"}));
    EXPECT_EQ(w.focus(), button);
  }
}

TEST_F(Manager, ACloseAnsweredWithNotifyKeepsTheWindowOpen) {
  Window w(dialog());
  Recorder m(w);
  m.keep_open = 1;
  bool open_after_first = false;
  headless().close_request().then([&](Window& win) { open_after_first = win.is_open(); }).close_request();
  EXPECT_EQ(m.Run(), abc::RequestCancelled);  // no response set
  EXPECT_TRUE(open_after_first);
  EXPECT_EQ(std::count(m.log.begin(), m.log.end(), "Close"), 2);
}

TEST_F(Manager, OtherControlsGoOnToTheFieldHandlerAndFatalEndsTheLoop) {
  Window w(dialog());
  Recorder m(w);
  m.fatal_on_other = abc::Level_Fatal;
  headless().type(1, "x").press(4).press(2);
  m.Run();
  EXPECT_EQ(m.log, (std::vector<std::string>{"Init", "Open", "Accepted 1", "Field 1 1", "Accepted 4", "Field 1 4",
                                              "Kill"}));
  EXPECT_EQ(headless().steps_left(), 1u);  // the loop ended before the last press
}

TEST_F(Manager, AFailedInitSkipsTheLoopButKillStillRuns) {
  Window w(dialog());
  Recorder m(w);
  m.init_result = abc::Level_Notify;
  EXPECT_EQ(m.Run(), abc::RequestCancelled);
  EXPECT_EQ(m.log, (std::vector<std::string>{"Init", "Kill"}));
  EXPECT_FALSE(m.Opened());
  EXPECT_EQ(m.Kill(), abc::Level_Notify);  // already dead
}

// A component sees the events after the window's handlers and takes part in
// Reset, Update and the alerts.
struct Counting : abc::WindowComponent {
  int events = 0, resets = 0, updates = 0, alerts = 0, kills = 0;
  bool want_reset = false;
  BYTE TakeEvent() override {
    ++events;
    return 0;
  }
  void Reset(bool) override { ++resets; }
  void Update() override { ++updates; }
  bool ResetRequired() override { return std::exchange(want_reset, false); }
  void SetAlerts() override { ++alerts; }
  void Kill() override { ++kills; }
};

TEST_F(Manager, ComponentsTakeEventsResetsUpdatesAndAlerts) {
  Window w(dialog());
  Counting c;
  struct WithComponent : abc::WindowManager {
    WithComponent(window::Window& w, Counting& c) : w_(w), c_(c) {}
    BYTE Init() override {
      abc::WindowManager::Init();
      AddComponent(c_);
      AddComponent(c_);  // once only
      SetToolbar(toolbar);
      Open(w_);
      RegisterAlerts();
      return 0;
    }
    BYTE OnAccepted() override {
      if (Field() == 4) {
        c_.want_reset = true;
        UpdateComponents();
      }
      return abc::WindowManager::OnAccepted();
    }
    window::Window& w_;
    Counting& c_;
    abc::ToolbarDispatcher toolbar;
  } m(w, c);
  headless().press(4).close_request();
  m.Run();
  EXPECT_EQ(c.alerts, 1);
  EXPECT_EQ(c.updates, 1);
  EXPECT_EQ(c.resets, 2);  // Open, then the Reset the component asked for
  EXPECT_EQ(c.events, 3);  // OpenWindow, Accepted, CloseWindow
  EXPECT_EQ(c.kills, 1);
  EXPECT_EQ(m.toolbar.Manager(), nullptr);  // killed with the manager
}

}  // namespace
