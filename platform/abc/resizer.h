// The class library's resizer: lays a window's controls out again when the
// window's size changes. Init takes the window's size as designed and a
// strategy; AssignParents makes every control the child of the smallest group
// (or sheet) whose rectangle holds it, else of the window; RemoveControl takes
// a control out of its care, so it keeps its position and size; ResizeAll lays
// the controls it still has out for the window's current size, always from
// the designed rectangles, so repeated layouts never drift. A Sized event of
// the window runs ResizeAll.
//
// Strategies (each control placed within its parent's new rectangle):
//   0 Resize   every control is moved and scaled in proportion;
//   1 Spread   as 0, but buttons keep their size and entries, drop lists and
//              check boxes their height;
//   2 Surface  surface controls (lists, groups, sheets, texts) keep their
//              place and take the extra width and height, each only when no
//              control in the resizer's care lies to its right (below it);
//              every other control moves in proportion and keeps its size;
//   3 NoResize nothing moves.
// The minimum and maximum sizes are set only when Init is asked to: the
// designed size becomes the window's minimum (PROP:MinWidth, PROP:MinHeight).
#pragma once

#include <vector>

#include "platform/abc/window_manager.h"
#include "platform/window/definition.h"

namespace abc {

inline constexpr int AppStrategy_Resize = 0;
inline constexpr int AppStrategy_Spread = 1;
inline constexpr int AppStrategy_Surface = 2;
inline constexpr int AppStrategy_NoResize = 3;

class Resizer : public WindowComponent {
 public:
  // The window of the manager, as it is now, is the design.
  void Init(window::Window& w, int strategy, bool set_min_size = false, bool set_max_size = false);
  void AssignParents();
  void RemoveControl(int control);
  void ResizeAll();

  // Which controls it still moves (field numbers, ascending), and a control's parent (0 the window).
  std::vector<int> Controls() const;
  int Parent(int control) const;

  BYTE TakeEvent() override;
  void Kill() override { window_ = nullptr; }

 private:
  struct Item {
    int control;
    window::ControlType type;
    window::Rect design;
    int parent = 0;
    bool removed = false;
  };
  const Item* find(int control) const;
  window::Rect design_of_parent(const Item& it) const;
  window::Rect now_of_parent(const Item& it, const std::vector<window::Rect>& now) const;
  bool managed_beside(const Item& it, bool right) const;

  window::Window* window_ = nullptr;
  int strategy_ = AppStrategy_Resize;
  int design_width_ = 0;
  int design_height_ = 0;
  std::vector<Item> items_;
};

}  // namespace abc
