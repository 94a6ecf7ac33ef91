// The program's frame: the process and thread set-up and tear-down operations
// that the runtime runs around ProgramMain, and ProgramMain itself, which
// initialises the error manager, the fuzzy matcher, the INI manager and the
// data dictionary, runs Main and shuts the services down again.
#pragma once

#include <functional>

#include "platform/abc/error_manager.h"
#include "platform/runtime/runtime.h"

namespace shell {

// The thread's error status, to which GlobalErrorManager reports.
extern runtime::Threaded<abc::ErrorStatus> ThreadErrorStatus;

// The thread's dictionary object: its constructor runs DictionaryInit on every
// thread but the first (where ProgramMain does it), its destructor DictionaryKill.
class Dictionary {
 public:
  Dictionary() { DictionaryConstruct(); }
  ~Dictionary() { DictionaryDestruct(); }
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;
  void DictionaryConstruct();
  void DictionaryDestruct();
};
extern runtime::Threaded<Dictionary> ThreadDictionary;

void GlobalDataInit();
void GlobalDataKill();
void ThreadFilesInit();
void ThreadDataInit();
void ThreadDataKill();
// Runs the main procedure that Program() was given (the program's is Main).
void ProgramMain();

// The operations in the form the runtime runs them (runtime::run), with the
// procedure that ProgramMain runs between its set-up and its shutdown.
// Other modules' per-thread clean-ups (a window's view closed at thread end)
// go into the returned Program's module_thread_kills.
runtime::Program Program(std::function<void()> main_procedure);

}  // namespace shell
