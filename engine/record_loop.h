// The record loop of an export run and the CSV file it writes. The loop reads
// TESTANY forwards or backwards, from the start or from a record pointer, at
// most TopCount records, 10 per timer event of the current window, hands each
// record to ExportRecord and shows its progress in the window's caption. A
// close request of the window ends the loop as the end of the table does and
// is posted again afterwards for the window's own loop; other events pass.
// FlushOutput names the output file at the run's first write (deleting and
// creating it), and appends the pending text at every write in pieces of at
// most 64000 bytes, opening and closing the file each time.
#pragma once

#include "engine/run_state.h"

namespace engine {

void ExportRecords(RunState& run);
void FlushOutput(RunState& run);

}  // namespace engine
