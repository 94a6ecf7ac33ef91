// The whole program's unattended export, from process start to exit:
// quillomar '\auto=1' '\query=Big' over a table of 1,000,000 records of 10
// fields (bench/support/large_table.h), the query stored beforehand by the
// program's own store. Prints records/s of the program run, and beside it the
// rate of the same export made in this process by ExportTable alone (the
// engine benchmark's BM_Export without preview), which the program must
// reach. Usage: program_bench [rows] (default 1000000).
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/support/large_table.h"
#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/files/paths.h"
#include "platform/window/window.h"
#include "platform/runtime/runtime.h"
#include "shell/main_locals.h"
#include "shell/main_window_def.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr bench::LargeTable kPeople{"PRE", "BORN", 1950, 60};

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The query "Big" on the table, stored as the main window stores one.
void store_query(const std::string& table) {
  // Inside the program's own frame, in place of its main window.
  runtime::run(shell::Program([&] {
    globals::GLO_WorkingDir = files::longpath();
    globals::GLO_INPUTTPSLOCATION = table;
    globals::GLO_OUTPUTCSVLOCATION = "OUT\\";
    engine::ExportTable("1", globals::GLO_INPUTTPSLOCATION.view());
    globals::GLO_QUERYNAME = "Big";
    shell::MainLocals m;
    m.FieldListPresent = 1;
    shell::SaveQuery(m);
  }));
  engine::reset();
}

int run_program(const fs::path& dir) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    execl(QM_PROGRAM, QM_PROGRAM, "\\auto=1", "\\query=Big", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// The same export in this process, through ExportTable alone, on a hidden
// main window as the unattended run has it.
double engine_seconds(const std::string& table) {
  engine::reset();
  globals::AutoMode = 1;
  globals::GLO_WorkingDir = files::longpath();
  globals::GLO_OUTPUTCSVLOCATION = "OUT\\ENGINE.CSV";
  globals::GLO_INPUTTPSLOCATION = table;
  window::Window w(shell::MainWindowDef());
  w.set_property(window::PROP_Hide, 1);
  w.open();
  const auto start = Clock::now();
  engine::ExportTable("", globals::GLO_INPUTTPSLOCATION.view());
  const double s = seconds_since(start);
  w.close();
  engine::reset();
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint32_t rows = argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1000000;
  const fs::path table = bench::large_table(kPeople, rows);
  const fs::path dir = table.parent_path();
  fs::create_directories(dir / "OUT");
  fs::current_path(dir);
  fs::remove(dir / "QMXSETUP.TPS");
  store_query(table.filename().string());

  const double engine = engine_seconds(table.filename().string());
  double best = 1e30;
  int status = 0;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    status = run_program(dir);
    best = std::min(best, seconds_since(start));
  }
  const auto csv = fs::file_size(dir / "OUT" / (table.stem().string() + ".CSV"));
  std::printf("whole program, unattended, %u records of 10 fields: %.2f s, %.0f records/s (exit status %d, CSV %llu bytes)\n",
              rows, best, rows / best, status, static_cast<unsigned long long>(csv));
  std::printf("ExportTable alone in process:                       %.2f s, %.0f records/s\n", engine, rows / engine);
  std::printf("program / engine rate: %.2f\n", (rows / best) / (rows / engine));
  return status == 0 ? 0 : 1;
}
