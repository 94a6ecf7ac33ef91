// One record of the input table as CSV text: the header line (and, for
// "TOP -2", the line of data types) before the first record, then the
// record's line of double-quoted values in the order of FieldInfoQueue, the
// date and time marks of the field list, the preview row, and the WHERE test
// on a copy of the WHERE text in which every column's label is replaced by
// its value. An invalid WHERE copy drops its record, and the first of a run
// shows why and where in the WHERE text; a MEMO or BLOB that will not read
// leaves the record unwritten and marks the run's read as failed.
#pragma once

#include "engine/run_state.h"
#include "engine/where_filter.h"

namespace engine {

// The record just read into TESTANY's storage: appends its line to
// run.OutputText when it passes the WHERE test, and adds its preview row.
void ExportRecord(RunState& run);

// Whether the FieldInfoQueue buffer's column is output: every column when the
// selected names are empty or none came from SELECT (the names are then
// emptied for the rest of the run), else the columns SELECT or WHERE named.
bool CheckFieldSelected(RunState& run);

}  // namespace engine
