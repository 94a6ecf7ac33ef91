// Field discovery: the input table's columns, learnt from its stored
// definition (never from a record), in the run's FieldInfoQueue, the
// program-wide FieldListQueue (rebuilt only when the table's label prefix
// differs from the list's, so the user's marks survive repeated fetches) and
// SelectedNamesQueue (the columns SELECT names and those WHERE holds).
#pragma once

#include "engine/run_state.h"

namespace engine {

// Fills run.FieldInfoQueue, MemoCount and MemoBlobCount from the open TESTANY;
// keeps or rebuilds FieldListQueue; rebuilds SelectedNamesQueue. Never fails.
void LoadFieldInfo(RunState& run);

// Appends the FieldInfoQueue buffer (a complete entry) to the queue and
// matches its name against the SELECT and WHERE texts.
void AddFieldInfo(RunState& run);

// A DECIMAL's size as the table reports it (digits: twice the bytes less one)
// turned into bytes; the digits are kept in FIQ_ORIGSIZE.
void FixDecimalSize(RunState& run);

}  // namespace engine
