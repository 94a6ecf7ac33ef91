// The class library's toolbar dispatcher: it would route the presses of a
// shared toolbar to the window in front. No window of the system has a
// toolbar, so it holds its window manager and passes every event over.
#pragma once

#include "platform/abc/error_manager.h"

namespace abc {

class WindowManager;

class ToolbarDispatcher {
 public:
  void Init(WindowManager& manager) { manager_ = &manager; }
  void Kill() { manager_ = nullptr; }
  // Nothing to route: 0, the event goes on to the window's handlers.
  BYTE TakeEvent() { return Level_Benign; }
  WindowManager* Manager() const { return manager_; }

 private:
  WindowManager* manager_ = nullptr;
};

}  // namespace abc
