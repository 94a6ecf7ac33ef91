// Shared by the main window's tests: a scratch folder that is the program's
// start-up directory (with its OUT folder), the program run as the runtime
// runs it with a command line, the scripted user of the headless backend, and
// a small customers table written with our writer.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/files/command.h"
#include "platform/runtime/runtime.h"
#include "platform/tps/fixture.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"
#include "shell/main_window.h"
#include "shell/main_window_def.h"
#include "shell/startup.h"
#include "tests/platform/files/scratch_dir.h"
#include "tests/support/csv.h"

namespace main_window_test {

namespace fs = std::filesystem;
using tps::fixture::Type;
using namespace shell;

inline constexpr const char* kCaption = "Top Speed Quillomar Ver.1.01";

class MainWindowTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::create_directories(dir_ / "OUT");
    fs::current_path(dir_);
    forget();
    window::headless().reset();
  }
  void TearDown() override {
    forget();
    window::headless().reset();
    ScratchDir::TearDown();
  }

  // What a new process would not remember (the scripted user stays).
  static void forget() {
    engine::reset();
    runtime::set_exit_status(0);
  }

  window::Headless& user() { return window::headless(); }

  // Starts the program as the runtime does, with these switches; the
  // scripted steps queued before drive its window. Returns the exit status.
  int start(std::vector<std::string> switches = {}) {
    std::vector<std::string> args{"quillomar"};
    args.insert(args.end(), switches.begin(), switches.end());
    files::set_command_line(args);
    return runtime::run(shell::Program(shell::Main));
  }

  // Starts it again as a new process would.
  int restart(std::vector<std::string> switches = {}) {
    forget();
    return start(std::move(switches));
  }

  // n customers: CODE 1..n, NAME "Name i", a DATE; written as `name`.
  std::string customers(int n, const std::string& name = "CUS.TPS") {
    tps::fixture::File file;
    auto& t = file.table("CUS");
    t.field("CODE", Type::Long).field("NAME", Type::String, 20);
    for (int i = 1; i <= n; ++i) t.row().set("CODE", i).set("NAME", "Name " + std::to_string(i));
    file.write(dir_ / name);
    return runtime_dir() + "\\" + name;
  }

  // The user fills the form, fetches and closes: the query is saved.
  void fetch_and_close(const std::string& table, const std::string& query, const std::string& select = {},
                       const std::string& where = {}) {
    user().type(FEQ_GLO_INPUTTPSLOCATION, table).type(FEQ_GLO_QUERYNAME, query);
    if (!select.empty()) user().type(FEQ_GLO_SELECT, select);
    if (!where.empty()) user().type(FEQ_GLO_WHERE, where);
    user().press(FEQ_BUTTONFETCH).close_request();
  }

  // A key of the program's INI file as it is on disk now.
  std::string ini(const std::string& section, const std::string& key) const {
    abc::IniManager file;
    file.Init(".\\quillomar.INI");
    return file.Fetch(section, key);
  }

  // The lines of a CSV file in the scratch folder, without their CR LF.
  std::vector<std::string> csv_lines(const std::string& relative) const {
    return qm_test::crlf_lines(read(dir_ / relative));
  }
};

}  // namespace main_window_test
