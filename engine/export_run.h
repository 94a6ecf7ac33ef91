// ExportTable: the export engine's one entry point. It names the output,
// opens the input table through TESTANY, flattens the WHERE text, learns the
// table's fields and, in export mode, reads the records into the CSV file;
// then it closes the table and publishes the counts. The run's state lives
// for this one call, whatever the outcome.
#pragma once

#include <string_view>

#include "engine/run_state.h"

namespace engine {

inline constexpr BYTE kExportDone = 0;
inline constexpr BYTE kExportOpenFailed = 1;
inline constexpr BYTE kExportCloseFailed = 2;

// mode: empty or blank exports; any other text (the shell passes "1") learns
// the fields only. path: the input table's path. Returns 0 done (also when
// writing the output failed: that was reported during the run), 1 the table
// did not open, 2 it did not close; the message for 1 and 2 has been shown.
BYTE ExportTable(std::string_view mode, std::string_view path);

// Makes GLO_WHERE one line starting with its first character (line breaks
// become blanks; the form keeps it so) and sets run.WherePresent.
void PrepareWhere(RunState& run);

}  // namespace engine
