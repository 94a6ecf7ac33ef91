// The main window's manager and what one run of Main owns beside it: the
// window, the procedure's variables, the three file dialogs and the resizer.
// Its handlers are split by concern: Init, Kill, the window-event and the
// new-selection handler in main_window.cpp, the accepted-control handler in
// fetch_command.cpp.
#pragma once

#include "platform/abc/file_dialog.h"
#include "platform/abc/resizer.h"
#include "platform/abc/toolbar.h"
#include "platform/abc/window_manager.h"
#include "platform/window/window.h"
#include "shell/main_locals.h"

namespace shell {

struct MainRun {
  explicit MainRun(window::Window& w) : window(w) {}
  window::Window& window;
  MainLocals locals;
  abc::ToolbarDispatcher toolbar;
  abc::FileDialog input_dialog;   // "Select .TPS File"
  abc::FileDialog output_dir_dialog;  // "Select Output Directory"
  abc::FileDialog output_file_dialog;  // "Output .CSV File"
  abc::Resizer resizer;
  // An unattended run whose "\query" names no stored query: it exports and
  // saves nothing.
  bool unattended_refused = false;
};

// The three file dialogs' flags, masks, default folders and file, and titles,
// from GLO_WorkingDir; the buttons that show them come with their commands.
void SetUpFileDialogs(MainRun& run);

class MainWindowManager : public abc::WindowManager {
 public:
  explicit MainWindowManager(MainRun& run) : run_(run) {}

  abc::BYTE Init() override;
  abc::BYTE Kill() override;
  abc::BYTE OnAccepted() override;
  abc::BYTE OnNewSelection() override;
  abc::BYTE OnWindowEvent() override;

  MainRun& run() { return run_; }

 private:
  void unattended_run();
  void setup_resizer();

  MainRun& run_;
};

}  // namespace shell
