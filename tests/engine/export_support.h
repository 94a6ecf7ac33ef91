// Shared by the export tests: a scratch directory that is the working
// directory and the default output location, the main window of the run (a
// small window with TIMER(1)) open on the headless backend, and the CSV and
// messages a run leaves behind.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/export_run.h"
#include "globals/globals.h"
#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/picture/date.h"
#include "platform/tps/fixture.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"
#include "tests/platform/files/scratch_dir.h"
#include "tests/support/csv.h"

namespace export_test {

namespace fs = std::filesystem;
using tps::fixture::Type;

inline window::WindowDef main_window_def() {
  window::WindowDef def;
  def.label = "MAIN";
  def.caption = "Top Speed Quillomar Ver.1.01";
  def.timer = 1;
  def.controls.push_back({.type = window::ControlType::Button, .label = "?BUTTONFETCH", .text = "Fetch"});
  return def;
}

class Export : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    engine::reset();
    window::headless().reset();
    picture::release_clock();
    fs::current_path(dir_);
    globals::GLO_WorkingDir = runtime_dir();
    globals::GLO_OUTPUTCSVLOCATION = runtime_dir() + "\\";
    globals::MainCaption = "Top Speed Quillomar Ver.1.01";
    main_.open();
  }
  void TearDown() override {
    main_.close();
    engine::reset();
    window::headless().reset();
    picture::release_clock();
    ScratchDir::TearDown();
  }

  // The runtime form of a path below the scratch directory.
  std::string at(const std::string& relative) const { return runtime_dir() + "\\" + relative; }

  // Writes the fixture file as `name` in the scratch directory; returns its
  // runtime path.
  std::string write_table(tps::fixture::File& file, const std::string& name = "T.TPS") {
    file.write(dir_ / name);
    return at(name);
  }

  // An export of the table, as the "Fetch" command's second call makes it.
  engine::BYTE run(const std::string& path, std::string_view mode = "") {
    globals::GLO_INPUTTPSLOCATION = path;
    return engine::ExportTable(mode, path);
  }

  // The CSV the last run wrote (OutputFileName), as bytes.
  std::string csv() const { return read(files::os_path(engine::OutputFileName.view())); }
  // Its lines without their CR LF.
  std::vector<std::string> lines() const { return qm_test::crlf_lines(csv()); }

  const std::vector<window::Headless::ShownMessage>& messages() const { return window::headless().messages(); }

  // The preview row's cells 1..n.
  static std::vector<std::string> preview_row(std::size_t row, std::size_t n) {
    globals::PreviewRecord r;
    std::vector<std::string> cells;
    if (!globals::PreviewQueue.peek(row, r)) return cells;
    for (std::size_t k = 1; k <= n; ++k) cells.emplace_back(k == 1 ? r.TPS_Q_1.clipped() : r.cell(k));
    return cells;
  }

  window::Window main_{main_window_def()};
};

}  // namespace export_test
