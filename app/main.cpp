// quillomar: exports the records of a TopSpeed table to CSV.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files/command.h"
#include "platform/runtime/runtime.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

constexpr const char* kUsage =
    "Top Speed Quillomar Ver.1.01\n"
    "usage: quillomar [\\auto=1] [\\query=name] [\\select=\"...\"] [\\where=\"...\"]\n"
    "No desktop is available, so only the unattended run works: it exports a stored\n"
    "query without a window and ends with status 0 when no error was shown, e.g.\n"
    "  quillomar '\\auto=1' '\\query=Example'\n"
    "  quillomar --auto=1 --query=Example --select=\"CUS:CODE,CUS:NAME\"\n"
    "(quote the backslash forms in a POSIX shell, or write the switches with --).\n";

// The one place a window backend is chosen. An unattended run always uses the
// headless backend (the default). An interactive start needs a desktop
// backend, chosen here when a display is present; none is built yet, so an
// interactive start says how to run unattended and ends.
bool choose_backend() {
  if (shell::UnattendedRequested()) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  files::set_command_line(std::vector<std::string>(argv, argv + argc));
  if (!choose_backend()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return runtime::run(shell::Program(shell::Main));
}
