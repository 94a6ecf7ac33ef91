// Choosing the backend at start-up: whether a desktop can be shown, and the
// desktop backend itself, created once by the program. Nothing here needs the
// toolkit's headers; the shell decides (an unattended run stays headless).
#pragma once

#include <memory>

#include "platform/window/backend.h"

namespace window {

// True when the process can show windows: DISPLAY or WAYLAND_DISPLAY is set,
// or QT_QPA_PLATFORM names a platform (such as offscreen in the tests).
bool desktop_available();

// Creates the desktop backend, which owns the process's toolkit application
// (argc and argv must outlive it), and installs it as the backend every window
// uses. Destroying it returns the windows to the headless backend. One per process.
std::unique_ptr<Backend> install_desktop(int& argc, char** argv);

}  // namespace window
