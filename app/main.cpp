// quillomar: exports the records of a TopSpeed table to CSV.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/command.h"
#include "platform/runtime/runtime.h"
#include "platform/window/backend.h"
#ifdef QM_DESKTOP
#include "platform/window/qt/desktop.h"
#endif
#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

constexpr const char* kUsage =
    "Top Speed Quillomar Ver.1.01\n"
    "usage: quillomar [\\auto=1] [\\query=name] [\\select=\"...\"] [\\where=\"...\"]\n"
    "No display is available (DISPLAY or WAYLAND_DISPLAY), so only the unattended\n"
    "run works: it exports a stored query without a window and ends with status 0\n"
    "when no error was shown, e.g.\n"
    "  quillomar '\\auto=1' '\\query=Example'\n"
    "  quillomar --auto=1 --query=Example --select=\"CUS:CODE,CUS:NAME\"\n"
    "(quote the backslash forms in a POSIX shell, or write the switches with --).\n";

// The one place a window backend is chosen. An unattended run always uses the
// headless backend (the default). An interactive start needs a display: there
// the desktop backend is installed for the whole run; without one the program
// says how to run unattended and ends. False: nothing is to be run.
bool choose_backend([[maybe_unused]] int& argc, [[maybe_unused]] char** argv,
                    [[maybe_unused]] std::unique_ptr<window::Backend>& desktop) {
  if (shell::UnattendedRequested()) return true;
#ifdef QM_DESKTOP
  if (window::desktop_available()) {
    desktop = window::install_desktop(argc, argv);
    return true;
  }
#endif
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  files::set_command_line(std::vector<std::string>(argv, argv + argc));
  std::unique_ptr<window::Backend> desktop;
  if (!choose_backend(argc, argv, desktop)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return runtime::run(shell::Program(shell::Main));
}
