// The program's frame: the process and thread set-up and tear-down operations
// that the runtime runs around ProgramMain, and ProgramMain itself, which
// initialises the error manager, the fuzzy matcher, the INI manager and the
// data dictionary, runs Main and shuts the services down again.
#pragma once

#include "platform/runtime/runtime.h"

namespace shell {

void GlobalDataInit();
void GlobalDataKill();
void ThreadFilesInit();
void ThreadDataInit();
void ThreadDataKill();
void ProgramMain();

// The operations in the form the runtime runs them (runtime::run).
runtime::Program Program();

}  // namespace shell
