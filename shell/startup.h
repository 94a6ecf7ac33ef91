// The program's frame: the process and thread set-up and tear-down operations
// that the runtime runs around ProgramMain, and ProgramMain itself, which
// initialises the error manager, the fuzzy matcher, the INI manager and the
// data dictionary, runs Main and shuts the services down again.
#pragma once

#include <functional>

#include "platform/runtime/runtime.h"

namespace shell {

void GlobalDataInit();
void GlobalDataKill();
void ThreadFilesInit();
void ThreadDataInit();
void ThreadDataKill();
// Runs the main procedure that Program() was given (the program's is Main).
void ProgramMain();

// The operations in the form the runtime runs them (runtime::run), with the
// procedure that ProgramMain runs between its set-up and its shutdown.
runtime::Program Program(std::function<void()> main_procedure);

}  // namespace shell
