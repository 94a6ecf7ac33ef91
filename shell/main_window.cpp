#include "shell/main_window.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/export_run.h"
#include "engine/expression_functions.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/eval/eval.h"
#include "platform/files/command.h"
#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/runtime/runtime.h"
#include "platform/text/text.h"
#include "platform/window/window.h"
#include "shell/main_window_def.h"
#include "shell/main_window_manager.h"
#include "shell/saved_queries.h"

namespace shell {

namespace {

using globals::AutoMode;
using globals::GLO_WorkingDir;

constexpr const char* kFunctionNames[] = {"TIME", "HOUR", "MINUTE", "SECOND"};

// A switch's value when it is there and not blank; empty otherwise.
std::string switch_value(std::string_view name) {
  if (text::blank(files::command(name))) return {};
  return files::command(name);
}

// "\auto": the number the text begins with, kept to its low eight bits in
// the one-byte AutoMode, so 1 asks for the unattended run and 0, 256 or "yes"
// do not.
globals::BYTE auto_mode(std::string_view value) { return (text::to_long(value) & 0xFF) != 0 ? 1 : 0; }

void read_command_line() {
  if (std::string v = switch_value("\\auto"); !v.empty()) AutoMode = auto_mode(v);
  if (std::string v = switch_value("\\query"); !v.empty()) globals::CmdQueryName = v;
  if (std::string v = switch_value("\\select"); !v.empty()) globals::CmdSelect = v;
  if (std::string v = switch_value("\\where"); !v.empty()) globals::CmdWhere = v;
}

// The directory the program started in, for good. Its closing separator goes,
// except where it is all there is: the root stays the root.
void fix_working_directory() {
  GLO_WorkingDir = files::longpath(files::shortpath());
  std::string dir = GLO_WorkingDir.str();
  const std::size_t n = text::clip(dir).size();
  if (n > 0 && (dir[n - 1] == '\\' || dir[n - 1] == '/')) {
    const bool root = n == 1 || (n == 3 && dir[1] == ':');
    if (!root) {
      dir[n - 1] = ' ';
      GLO_WorkingDir = dir;
    }
  }
  files::setpath(GLO_WorkingDir.view());
}

void bind_functions() {
  eval::bind("TIME", engine::TIME, 3, eval::ResultType::String);
  eval::bind("HOUR", engine::HOUR, 1, eval::ResultType::String);
  eval::bind("MINUTE", engine::MINUTE, 1, eval::ResultType::String);
  eval::bind("SECOND", engine::SECOND, 1, eval::ResultType::String);
}

std::string cut(std::string_view s, std::size_t n) { return std::string(s.substr(0, std::min(n, s.size()))); }

}  // namespace

bool UnattendedRequested() {
  const std::string v = switch_value("\\auto");
  return !v.empty() && auto_mode(v) != 0;
}

void ShellOpen(std::int64_t window_handle, std::string_view file_name) {
  window::open_document(window_handle, cut(text::clip(file_name), 255));
}

// ---- initialisation ----------------------------------------------------------------

abc::BYTE MainWindowManager::Init() {
  globals::GlobalErrorManager.SetProcedureName("Main");
  read_command_line();
  Request = globals::CallRequest;
  if (abc::BYTE r = abc::WindowManager::Init()) return r;
  FirstField = FEQ_GLO_TPSPASSWORD_PROMPT;
  VCRRequest = globals::VcrRequest;
  Errors = &globals::GlobalErrorManager;
  bind_functions();
  SetToolbar(run_.toolbar);
  globals::CallRequest = 0;
  globals::CallResponse = 0;
  fix_working_directory();
  window::set_system_property(window::PROP_TipDisplay, 3000);
  window::set_system_property(window::PROP_TipDelay, 10);

  LoadQueryByName(run_.locals);
  if (!run_.locals.LoadedByName) {
    // Unattended, a name that finds nothing must not run the query saved last
    // in its place (another table, and its texts overwritten by the switches).
    if (AutoMode && !text::blank(globals::CmdQueryName.view())) {
      run_.unattended_refused = true;
    } else {
      LoadTaggedQuery(run_.locals);
    }
  }

  window::Window& w = run_.window;
  Open(w);
  globals::MainCaption = cut(w.property(window::PROP_Text), 99);
  if (AutoMode) unattended_run();
  w.set_property(window::PROP_MinWidth, kMainWidth);
  w.set_property(window::PROP_MinHeight, kMainHeight);
  setup_resizer();
  SetResizer(run_.resizer);
  globals::GlobalIniManager.RestoreWindow("Main", w);
  run_.resizer.ResizeAll();
  SetUpFileDialogs(run_);
  RegisterAlerts();
  return abc::Level_Benign;
}

void MainWindowManager::unattended_run() {
  window::Window& w = run_.window;
  w.set_property(window::PROP_Iconize, 1);
  w.set_property(window::PROP_Hide, 1);
  if (run_.unattended_refused) {
    window::message("No query named \"" + std::string(text::clip(globals::CmdQueryName.view())) + "\" is stored",
                    globals::MainCaption.view(), window::Icon::Exclamation);
  } else if (text::blank(globals::GLO_INPUTTPSLOCATION.view())) {
    run_.unattended_refused = true;
    window::message("No stored query names an input table to export", globals::MainCaption.view(),
                    window::Icon::Exclamation);
  } else {
    if (!globals::CmdSelect.empty()) globals::GLO_SELECT = cut(globals::CmdSelect, 49999);
    if (!globals::CmdWhere.empty()) globals::GLO_WHERE = cut(globals::CmdWhere, 49999);
    engine::ExportTable("", globals::GLO_INPUTTPSLOCATION.view());
  }
  w.post(window::EVENT_CloseWindow);
}

void MainWindowManager::setup_resizer() {
  abc::Resizer& r = run_.resizer;
  r.Init(run_.window, abc::AppStrategy_Surface, false, false);
  r.AssignParents();
  for (int feq : {18, 20, 25, 26, 27, 28, 29, 17, 19, 15, 16, 21, 22, 30, 23, 24, 3, 4, 5, 6, 7, 9, 10, 12, 13, 11,
                  14, 31, 8, 33, 32})
    r.RemoveControl(feq);
}

void SetUpFileDialogs(MainRun& run) {
  struct Settings {
    abc::FileDialog& dialog;
    int flags;  // beside the long names Init sets
    std::vector<std::pair<const char*, const char*>> masks;
    const char* folder;
    const char* file;
    const char* title;
  };
  const Settings all[] = {
      {run.input_dialog, 0, {{"TPS Files", "*.TPS"}, {"All Files", "*.*"}}, "\\IN\\", "", "Select .TPS File"},
      {run.output_dir_dialog, window::FILE_Directory, {{"All Files", "*.*"}}, "\\OUT\\", "",
       "Select Output Directory"},
      {run.output_file_dialog, window::FILE_Save, {{"CSV Files", "*.CSV"}, {"All Files", "*.*"}}, "\\OUT\\",
       "output.csv", "Output .CSV File"},
  };
  // Built once, from the working directory as it is now.
  const std::string dir(text::clip(GLO_WorkingDir.view()));
  for (const Settings& s : all) {
    abc::FileDialog& d = s.dialog;
    d.Init();
    d.ClearOnCancel = true;
    d.Flags |= s.flags;
    for (std::size_t i = 0; i < s.masks.size(); ++i) {
      if (i == 0) {
        d.SetMask(s.masks[i].first, s.masks[i].second);
      } else {
        d.AddMask(s.masks[i].first, s.masks[i].second);
      }
    }
    d.DefaultDirectory = dir + s.folder;
    d.DefaultFile = s.file;
    d.Title = s.title;
  }
}

// ---- shutdown ------------------------------------------------------------------------

abc::BYTE MainWindowManager::Kill() {
  SaveQuery(run_.locals);
  for (const char* name : kFunctionNames) eval::unbind(name);
  if (abc::BYTE r = abc::WindowManager::Kill()) return r;
  // An unattended run iconised and hid the window: saving that would open the
  // next interactive start minimised.
  if (Opened() && !AutoMode) globals::GlobalIniManager.SaveWindow("Main", run_.window);
  globals::GlobalErrorManager.SetProcedureName();
  return abc::Level_Benign;
}

// ---- events ----------------------------------------------------------------------------

abc::BYTE MainWindowManager::OnWindowEvent() {
  if (Event() == window::EVENT_CloseWindow) {
    run_.locals.FieldListPresent = globals::FieldListQueue.records() > 0 && !run_.unattended_refused ? 1 : 0;
  }
  return abc::WindowManager::OnWindowEvent();
}

abc::BYTE MainWindowManager::OnNewSelection() {
  if (Field() == FEQ_GLO_DATEFORMAT) {
    window::setclipboard(globals::GLO_DATEFORMAT.str() + globals::GLO_DATETIMESEPARATOR.str());
  } else if (Field() == FEQ_GLO_TIMEFORMAT) {
    window::setclipboard(globals::GLO_TIMEFORMAT.str() + globals::GLO_DATETIMESEPARATOR.str());
  }
  return abc::WindowManager::OnNewSelection();
}

// ---- the procedure ------------------------------------------------------------------------

void Main() {
  const std::size_t messages_before = window::messages_shown();
  auto w = std::make_unique<window::Window>(
      MainWindowDef(),
      std::vector<window::Binding>{globals::GLO_TPSPASSWORD, globals::GLO_INPUTTPSLOCATION,
                                   globals::GLO_OUTPUTCSVLOCATION, globals::GLO_DATESTAMPINEXPORT,
                                   globals::GLO_DATEFORMAT, globals::GLO_DATETIMESEPARATOR, globals::GLO_TIMEFORMAT,
                                   globals::GLO_NULLEMPTYSTR, globals::GLO_SELECT, globals::GLO_WHERE,
                                   globals::GLO_QUERYNAME, globals::GLO_FIELDSBYNAME, globals::GLO_FETCHEDNO,
                                   globals::GLO_NOPREVIEW, globals::PreviewQueue});
  auto run = std::make_unique<MainRun>(*w);
  auto manager = std::make_unique<MainWindowManager>(*run);
  globals::CallResponse = manager->Run();
  const bool unattended = AutoMode != 0;
  manager.reset();
  run.reset();
  w->close();
  // A script learns from the exit status whether the export worked: every
  // failure of the engine and the store is a message box.
  if (unattended) runtime::set_exit_status(window::messages_shown() > messages_before ? 1 : 0);
}

}  // namespace shell
