#include "platform/abc/resizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/headless.h"

namespace {

using namespace window;

// A group over a prompt and an entry, a button to its right, a list below.
WindowDef form() {
  WindowDef def;
  def.label = "FORM";
  def.at = {0, 0, 200, 100};
  def.resizable = true;
  def.controls.push_back({.type = ControlType::Group, .label = "?G", .at = {0, 0, 150, 40}});
  def.controls.push_back({.type = ControlType::Prompt, .label = "?P", .text = "Name:", .at = {10, 5, -1, -1}});
  def.controls.push_back({.type = ControlType::Entry, .label = "?E", .at = {50, 5, 80, 10}});
  def.controls.push_back({.type = ControlType::Button, .label = "?B", .text = "Go", .at = {160, 10, 30, 12}});
  def.controls.push_back({.type = ControlType::List, .label = "?L", .at = {0, 40, 200, 60}});
  return def;
}

std::vector<int> at(const Window& w, int feq) {
  std::vector<int> r;
  for (int p : {PROP_Xpos, PROP_Ypos, PROP_Width, PROP_Height}) r.push_back(std::stoi(w.property(feq, p)));
  return r;
}

using V = std::vector<int>;

TEST(Resizer, ParentsAreTheSmallestGroupsThatHoldTheirControls) {
  Window w(form());
  abc::Resizer r;
  r.Init(w, abc::AppStrategy_Surface);
  r.AssignParents();
  EXPECT_EQ(r.Parent(2), 1);
  EXPECT_EQ(r.Parent(3), 1);
  EXPECT_EQ(r.Parent(4), 0);
  EXPECT_EQ(r.Parent(5), 0);  // starts on the group's border but does not fit in it
}

TEST(Resizer, EachStrategyLaysOutFromTheDesignedPlaces) {
  struct Case {
    int strategy;
    V group, prompt, entry, button, list;
  };
  const Case cases[] = {
      {abc::AppStrategy_Surface, {0, 0, 150, 40}, {20, 5, -1, -1}, {100, 5, 80, 10}, {320, 20, 30, 12}, {0, 40, 400, 160}},
      {abc::AppStrategy_Resize, {0, 0, 300, 80}, {20, 10, -1, -1}, {100, 10, 160, 20}, {320, 20, 60, 24}, {0, 80, 400, 120}},
      {abc::AppStrategy_Spread, {0, 0, 300, 80}, {20, 10, -1, -1}, {100, 10, 160, 10}, {320, 20, 30, 12}, {0, 80, 400, 120}},
      {abc::AppStrategy_NoResize, {0, 0, 150, 40}, {10, 5, -1, -1}, {50, 5, 80, 10}, {160, 10, 30, 12}, {0, 40, 200, 60}},
  };
  for (const Case& c : cases) {
    Window w(form());
    abc::Resizer r;
    r.Init(w, c.strategy);
    r.AssignParents();
    w.set_property(PROP_Width, 400);
    w.set_property(PROP_Height, 200);
    r.ResizeAll();
    r.ResizeAll();  // twice: no drift
    if (c.strategy == abc::AppStrategy_Surface) {
      // The group keeps its width: the button stands to its right; its
      // children move with the group, which here did not grow.
      EXPECT_EQ(at(w, 1), c.group);
      EXPECT_EQ(at(w, 2), (V{10, 5, -1, -1}));
      EXPECT_EQ(at(w, 3), (V{50, 5, 80, 10}));
    } else {
      EXPECT_EQ(at(w, 1), c.group) << c.strategy;
      EXPECT_EQ(at(w, 2), c.prompt) << c.strategy;
      EXPECT_EQ(at(w, 3), c.entry) << c.strategy;
    }
    EXPECT_EQ(at(w, 4), c.button) << c.strategy;
    EXPECT_EQ(at(w, 5), c.list) << c.strategy;
  }
}

TEST(Resizer, RemovedControlsStayAndMinimumSizeIsTheDesign) {
  Window w(form());
  abc::Resizer r;
  r.Init(w, abc::AppStrategy_Resize, true);
  EXPECT_EQ(w.property(PROP_MinWidth), "200");
  EXPECT_EQ(w.property(PROP_MinHeight), "100");
  r.AssignParents();
  r.RemoveControl(4);
  r.RemoveControl(5);
  EXPECT_EQ(r.Controls(), (std::vector<int>{1, 2, 3}));
  w.set_property(PROP_Width, 400);
  r.ResizeAll();
  EXPECT_EQ(at(w, 4), (V{160, 10, 30, 12}));
  EXPECT_EQ(at(w, 5), (V{0, 40, 200, 60}));
  EXPECT_EQ(at(w, 1), (V{0, 0, 300, 40}));
}

TEST(Resizer, ASizedEventLaysTheWindowOutAgain) {
  headless().reset();
  Window w(form());
  abc::Resizer r;
  r.Init(w, abc::AppStrategy_Surface);
  r.AssignParents();
  struct M : abc::WindowManager {
    M(window::Window& w, abc::Resizer& r) : w_(w), r_(r) {}
    abc::BYTE Init() override {
      abc::WindowManager::Init();
      SetResizer(r_);
      Open(w_);
      return 0;
    }
    window::Window& w_;
    abc::Resizer& r_;
  } m(w, r);
  headless()
      .then([](Window& win) {
        win.set_property(PROP_Width, 300);
        win.set_property(PROP_Height, 150);
        win.post(EVENT_Sized);
      })
      .close_request();
  m.Run();
  EXPECT_EQ(at(w, 5), (V{0, 40, 300, 110}));
  headless().reset();
}

}  // namespace
