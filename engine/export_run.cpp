#include "engine/export_run.h"

#include <string>

#include "engine/engine_state.h"
#include "engine/field_discovery.h"
#include "engine/file_messages.h"
#include "engine/record_loop.h"
#include "globals/globals.h"
#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/picture/date.h"
#include "platform/picture/picture.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace engine {

namespace {

using globals::GLO_OUTPUTCSVLOCATION;
using globals::GLO_WHERE;

void slashes_to_backslashes(std::string& s) {
  const std::size_t n = text::clip(s).size();
  for (std::size_t i = 0; i < n; ++i)
    if (s[i] == '/') s[i] = '\\';
}

// Position (1-based) of the last "\" within the clipped text; 0 when none.
std::size_t last_backslash(std::string_view s) {
  const std::size_t p = text::clip(s).rfind('\\');
  return p == std::string_view::npos ? 0 : p + 1;
}

void take_date_stamp() {
  if (!globals::GLO_DATESTAMPINEXPORT) {
    DateStamp.clear();
    return;
  }
  std::string stamp(1, '_');
  stamp += picture::format(text::int_text(picture::today()), "@D06-");
  stamp += '_';
  stamp += picture::format(text::int_text(picture::clock()), "@T06-");
  DateStamp = text::lower(stamp);
}

void split_output_location() {
  if (text::blank(GLO_OUTPUTCSVLOCATION.view()))
    GLO_OUTPUTCSVLOCATION = globals::GLO_WorkingDir.str() + "\\OUT\\";
  std::string location = GLO_OUTPUTCSVLOCATION.str();
  slashes_to_backslashes(location);
  GLO_OUTPUTCSVLOCATION = location;

  const std::string_view clipped = text::clip(GLO_OUTPUTCSVLOCATION.view());
  const std::size_t p = last_backslash(clipped);
  if (p == 0) return;  // no directory named: the last call's names stand
  OutputDir = clipped.substr(0, p - 1);
  OutputBaseName = clipped.substr(p, 49);
  const std::size_t q = text::instring(".CSV", text::upper(OutputBaseName.view()));
  if (q > 0) OutputBaseName = OutputBaseName.view().substr(0, q - 1);
}

void split_input_path(std::string path) {
  const std::size_t last = text::clip(path).size();
  if (last > 0 && (path[last - 1] == '\\' || path[last - 1] == '/')) path[last - 1] = ' ';
  // "file\!table" names a table of a file: the directory is the file's, so
  // the "\" of "\!" is no separator.
  const std::size_t bang = path.find("\\!");
  const std::size_t p = last_backslash(bang == std::string::npos ? std::string_view(path)
                                                                   : std::string_view(path).substr(0, bang));
  // When the directory cannot be made current the whole path stays the name,
  // so the OPEN that follows fails: the bare name would be looked for in the
  // current directory and could open another table of that name.
  if (p > 0 && files::setpath(std::string_view(path).substr(0, p))) path.erase(0, p);
  InputFileName = text::clip(path);
  window::display();
}

// The opened table's full path, for telling whether the output would be the
// table itself. "name\!table" picks a table of a file; the file is what counts.
std::string opened_table_path() {
  std::string name(text::clip(InputFileName.view()));
  if (const std::size_t bang = name.find("\\!"); bang != std::string::npos) name.resize(bang);
  return files::longpath(name);
}

}  // namespace

void PrepareWhere(RunState& run) {
  run.WherePresent = 0;
  std::string where = text::left(text::clip(GLO_WHERE.view()));
  const std::size_t n = text::clip(where).size();
  for (std::size_t i = 0; i < n; ++i) {
    if (where[i] == '\r' || where[i] == '\n') {
      where[i] = ' ';
    } else {
      run.WherePresent = 1;
    }
  }
  GLO_WHERE = text::left(text::clip(where));
}

BYTE ExportTable(std::string_view mode, std::string_view path_argument) {
  RunState run;  // freed on every way out of this call
  // A copy: the caller may pass GLO_INPUTTPSLOCATION itself, which the call
  // rewrites before it splits the path.
  const std::string path(path_argument);

  globals::LastRecordCount = 0;
  globals::GLO_FETCHEDNO = 0;
  globals::PreviewQueue.free();

  take_date_stamp();
  std::string input_location = globals::GLO_INPUTTPSLOCATION.str();
  slashes_to_backslashes(input_location);
  globals::GLO_INPUTTPSLOCATION = input_location;
  split_output_location();
  split_input_path(path);

  int rc = 0;
  for (int attempt = 0; attempt < run.OpenTries; ++attempt)
    if ((rc = TESTANY.open(0)) == 0) break;
  if (rc != 0) {
    ShowFileError("OPEN()", window::Icon::Question);
    files::setpath(globals::GLO_WorkingDir.view());
    return kExportOpenFailed;
  }
  run.InputPath = opened_table_path();

  PrepareWhere(run);
  LoadFieldInfo(run);
  if (text::blank(mode)) ExportRecords(run);

  run.RunResult = kExportDone;
  if (TESTANY.close() != 0) {
    ShowFileError("CLOSE()", window::Icon::Question);
    run.RunResult = kExportCloseFailed;
  } else {
    globals::LastRecordCount = TotalRecords;
    globals::GLO_FETCHEDNO = run.FetchedCount;
    window::display();
  }
  files::setpath(globals::GLO_WorkingDir.view());
  return run.RunResult;
}

}  // namespace engine
