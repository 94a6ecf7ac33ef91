#include "engine/record_loop.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "engine/file_messages.h"
#include "engine/record_line.h"
#include "globals/globals.h"
#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/equates.h"
#include "platform/window/window.h"

namespace engine {

namespace {

void show_progress(RunState& run) {
  window::Window* w = window::current();
  if (w == nullptr) return;
  run.Caption.assign(globals::MainCaption.view());
  run.Caption.append(" Record: ");
  run.Caption.append(text::int_text(run.ReadCount));
  run.Caption.append(" of ");
  run.Caption.append(text::int_text(TotalRecords));
  w->set_property(window::PROP_Text, run.Caption);
}

// The name of the run's output file, from the output location's directory
// and file part (or the input table's name), cut before its ".TPS".
void name_output_file() {
  if (!text::blank(OutputBaseName.view())) InputFileName = OutputBaseName.str() + ".TPS";
  std::string name(text::clip(OutputDir.view()));
  name += '\\';
  name += text::clip(InputFileName.view());
  const std::size_t p = text::instring(".TPS", text::upper(name));
  if (p > 0) {
    name.resize(p - 1);
    name += text::clip(DateStamp.view());
    name += ".CSV";
  }
  OutputFileName = name;
}

// An input table whose name holds no ".TPS", exported into its own directory
// without an output file name, gets its own name as the output's: deleting
// and creating that file would destroy the table being read. Any other way of
// naming the same file (a link, another spelling of the path) ends the same,
// so the check asks the file system rather than compares names. The run is
// refused before the file is touched, with one message, and reads no further.
bool output_is_input(RunState& run) {
  if (!files::same_file(OutputFileName.view(), run.InputPath)) return false;
  files::set_error(files::kAccessDenied);
  window::message("The output file would overwrite the input table " + std::string(text::clip(OutputFileName.view())),
                  text::int_text(files::error_code()) + " OPEN()", window::Icon::Asterisk);
  run.RunResult = 3;
  run.OutputRefused = true;
  run.StopReading = true;
  return true;
}

// A failed write of the output is reported once per run and marked in
// RunResult; the run reads on, and every later write tries again.
void report_output_failure(RunState& run, std::string_view operation) {
  if (run.RunResult != 0) return;
  ShowFileError(operation, window::Icon::Asterisk);
  run.RunResult = 3;
}

}  // namespace

void FlushOutput(RunState& run) {
  if (run.OutputRefused) return;
  // Relative output names start from the working directory. Nothing that runs
  // between two writes of a run changes the current directory, so making it
  // current at the run's first write holds for the later ones too.
  if (run.FlushCount == 0) {
    files::setpath(globals::GLO_WorkingDir.view());
    name_output_file();
    if (output_is_input(run)) return;
    DOSOUT.remove();  // failures here show in the OPEN below
    DOSOUT.create();
  }
  ++run.FlushCount;

  if (DOSOUT.open(files::DosFile::kWriteDenyAll) != 0) {
    report_output_failure(run, "OPEN()");
    return;
  }
  std::size_t remaining = text::clip(run.OutputText).size();
  std::size_t start = 0;
  char* line = DOSOUT.record();
  while (remaining > 0) {
    // The part of DOS_LINE behind a short last piece is never written, so it
    // is left as it is rather than blanked.
    const std::size_t piece = std::min(remaining, files::DosFile::kRecordSize);
    std::memcpy(line, run.OutputText.data() + start, piece);
    // A full disk or a lost share fails here: the CSV lacks lines, and the
    // user must hear of it rather than take the file for whole.
    if (DOSOUT.add(piece) != 0) {
      report_output_failure(run, "ADD()");
      break;
    }
    remaining -= piece;
    start += piece;
  }
  if (DOSOUT.close() != 0) report_output_failure(run, "CLOSE()");
}

void ExportRecords(RunState& run) {
  run.RecordSize = static_cast<LONG>(std::min(TESTANY.record_size(), TESTANY_RECORD_SIZE));
  globals::PreviewQueue.free();
  run.RecordCopy.assign(static_cast<std::size_t>(run.RecordSize), ' ');
  TotalRecords = TESTANY.records();
  run.OutputText.clear();
  run.RunResult = 0;
  run.ReadCount = 0;
  run.FetchedCount = 0;

  if (globals::StartAtPointer != 0) {
    TESTANY.set(globals::StartAtPointer);
  } else {
    TESTANY.set();
  }

  bool stop = false;
  bool close_requested = false;
  while (!stop && window::accept()) {
    // A close request ends the export like the end of the table, and is
    // handed on to the window's own loop once the run is over, so the window
    // closes as by any other close (and the query is saved).
    if (window::event() == window::EVENT_CloseWindow) {
      window::cycle();
      close_requested = true;
      break;
    }
    if (window::event() != window::EVENT_Timer) continue;
    for (int n = 0; n < run.RecordsPerTick && !stop; ++n) {
      ++run.ReadCount;
      if (globals::TopCount > 0 && run.ReadCount > globals::TopCount) {
        stop = true;
        break;
      }
      if (run.MemoCount > 0) TESTANY.nomemo();
      const int rc = globals::ReverseOrder ? TESTANY.previous() : TESTANY.next();
      if (rc == files::kRecordNotAvailable) {
        stop = true;
      } else if (rc == files::kFileSystemError || rc == files::kInvalidRecordDeclaration) {
        window::message(files::file_error(), files::file_error_code() + " NEXT()", window::Icon::Question);
        stop = true;
      } else if (rc != 0) {
        window::message(files::error_text(), text::int_text(rc) + " NEXT()", window::Icon::None);
        stop = true;
      }
      if (stop) break;
      if (run.ReadCount % 2 == 1) {
        if (!globals::AutoMode) show_progress(run);
        FlushOutput(run);
        run.OutputText.clear();
        if (run.StopReading) {
          stop = true;
          break;
        }
      }
      run.CurrentPointer = TESTANY.pointer();
      ++run.FetchedCount;
      ExportRecord(run);
      if (globals::TopCount < 0) stop = true;
    }
  }

  run.RecordCopy.clear();
  run.RecordCopy.shrink_to_fit();
  if (!globals::AutoMode) {
    --run.ReadCount;
    show_progress(run);
  }
  FlushOutput(run);
  if (close_requested) window::post(window::EVENT_CloseWindow);
}

}  // namespace engine
