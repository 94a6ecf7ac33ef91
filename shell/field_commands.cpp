#include "shell/field_commands.h"

#include <string>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/equates.h"
#include "shell/fetch_command.h"
#include "shell/field_picker.h"
#include "shell/main_window.h"
#include "shell/main_window_def.h"
#include "shell/main_window_manager.h"
#include "shell/saved_queries.h"

namespace shell {

namespace {

using globals::GLO_INPUTTPSLOCATION;
using globals::GLO_OUTPUTCSVLOCATION;

void back_to_working_dir() { files::setpath(globals::GLO_WorkingDir.view()); }

void fetch_field(MainWindowManager& manager, bool where) {
  SelectField();
  manager.Reset(false);
  if (!globals::FieldChosen) return;
  const std::string_view label = globals::FieldListQueue.buffer().ALF_DAFIELD.view();
  window::Window& w = manager.run().window;
  // The text is shown at once, as the runtime shows a changed variable before
  // the user acts again.
  if (where) {
    globals::GLO_WHERE = globals::GLO_WHERE.str() + std::string(label);
    w.display(FEQ_GLO_WHERE);
    w.select(FEQ_GLO_WHERE);
    return;
  }
  std::string select = globals::GLO_SELECT.str();
  if (!text::blank(select) && select.back() != ',') select += ',';
  globals::GLO_SELECT = select + std::string(label);
  w.display(FEQ_GLO_SELECT);
  w.select(FEQ_GLO_SELECT);
}

void choose_input_table(MainWindowManager& manager) {
  MainRun& run = manager.run();
  MainLocals& m = run.locals;
  m.LocationBefore = GLO_INPUTTPSLOCATION;
  GLO_INPUTTPSLOCATION = run.input_dialog.Ask(true);
  run.window.display();
  if (GLO_INPUTTPSLOCATION.empty()) {
    GLO_INPUTTPSLOCATION = m.LocationBefore;
    run.window.display();
  } else if (!text::same(GLO_INPUTTPSLOCATION.view(), m.LocationBefore.view())) {
    // The query in the form belongs to the table it names: it is stored under
    // that table before the form is cleared for the new one.
    m.NewInputLocation = GLO_INPUTTPSLOCATION;
    m.FieldListPresent = globals::FieldListQueue.records() > 0 ? 1 : 0;
    GLO_INPUTTPSLOCATION = m.LocationBefore;
    SaveQuery(m);
    NewQuery(run.window);
    GLO_INPUTTPSLOCATION = m.NewInputLocation;
    run.window.display();
  }
  back_to_working_dir();
}

// The last character that is not a blank: its index, npos when all are blank.
std::size_t last_non_blank(std::string_view s) {
  const std::size_t n = text::clip(s).size();
  return n == 0 ? std::string_view::npos : n - 1;
}

void choose_output(MainWindowManager& manager, bool directory) {
  MainRun& run = manager.run();
  MainLocals& m = run.locals;
  m.LocationBefore = GLO_OUTPUTCSVLOCATION;
  GLO_OUTPUTCSVLOCATION = (directory ? run.output_dir_dialog : run.output_file_dialog).Ask(true);
  run.window.display();
  if (GLO_OUTPUTCSVLOCATION.empty()) {
    GLO_OUTPUTCSVLOCATION = m.LocationBefore;
  } else {
    std::string location = GLO_OUTPUTCSVLOCATION.str();
    const std::size_t last = last_non_blank(location);
    if (last != std::string::npos) {
      if (directory) {
        // A directory always ends in "\": the engine then names the file after the table.
        if (location[last] == '/') location[last] = '\\';
        if (location[last] != '\\') location = std::string(text::clip(location)) + '\\';
      } else if (location[last] == '\\' || location[last] == '/') {
        location[last] = ' ';
      }
    }
    GLO_OUTPUTCSVLOCATION = location;
  }
  run.window.display();
  back_to_working_dir();
}

void open_output(MainWindowManager& manager) {
  ShellOpen(manager.run().window.handle(), text::clip(engine::OutputFileName.view()));
  back_to_working_dir();
}

}  // namespace

bool FieldAndFileCommand(MainWindowManager& manager, int control) {
  switch (control) {
    case FEQ_BUTTONFETCHFIELD:
    case FEQ_BUTTONFETCHFIELD2:
    case FEQ_LOOKUPFILE:
    case FEQ_LOOKUPFILE_2:
    case FEQ_LOOKUPFILE_4:
    case FEQ_INTERNETLINK:
      break;
    default:
      return false;
  }
  manager.UpdateComponents();
  switch (control) {
    case FEQ_BUTTONFETCHFIELD: fetch_field(manager, false); break;
    case FEQ_BUTTONFETCHFIELD2: fetch_field(manager, true); break;
    case FEQ_LOOKUPFILE: choose_input_table(manager); break;
    case FEQ_LOOKUPFILE_2: choose_output(manager, true); break;
    case FEQ_LOOKUPFILE_4: choose_output(manager, false); break;
    case FEQ_INTERNETLINK: open_output(manager); break;
    default: break;
  }
  return true;
}

}  // namespace shell
