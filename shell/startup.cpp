#include "shell/startup.h"

#include <utility>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "shell/data_dictionary.h"
#include "shell/query_browse.h"

namespace shell {

runtime::Threaded<abc::ErrorStatus> ThreadErrorStatus;
runtime::Threaded<Dictionary> ThreadDictionary;

namespace {

std::function<void()>& main_procedure() {
  static std::function<void()> procedure;
  return procedure;
}

}  // namespace

void Dictionary::DictionaryConstruct() {
  if (runtime::thread() != 1) DictionaryInit();
}

void Dictionary::DictionaryDestruct() { DictionaryKill(); }

void GlobalDataInit() {
  globals::FieldListQueue.clear();
  globals::SelectedNamesQueue.clear();
  globals::PreviewQueue.clear();
  globals::GlobalFuzzyMatcher = abc::FuzzyMatcher{};
  globals::GlobalErrorManager = abc::ErrorManager{};
  globals::GlobalIniManager = abc::IniManager{};
}

void ThreadFilesInit() {
  // TESTANY, DOSOUT and OUTPUT are the engine's declarations (engine_state.h),
  // which it reaches directly; the two declarations of the saved-query table
  // are made here for the thread.
  QMXSETUP.create();
  QMXSETUPAlias.create();
}

void ThreadDataInit() {
  ThreadErrorStatus.create();
  globals::CallRequest = 0;
  globals::CallResponse = 0;
  globals::VcrRequest = 0;
  ThreadDictionary.create();
}

void ProgramMain() {
  globals::GlobalErrorManager.Init(ThreadErrorStatus);
  globals::GlobalFuzzyMatcher.Init();
  globals::GlobalFuzzyMatcher.SetOption(abc::FuzzyOption_NoCase, 1);
  globals::GlobalFuzzyMatcher.SetOption(abc::FuzzyOption_WordOnly, 0);
  globals::GlobalIniManager.Init(".\\quillomar.INI", 0, 0);
  DictionaryInit();
  if (main_procedure()) main_procedure()();
  globals::GlobalIniManager.BeforeKill();
  globals::GlobalIniManager.Kill();
  globals::GlobalFuzzyMatcher.Kill();
}

void ThreadDataKill() {
  ThreadDictionary.destroy();
  ThreadErrorStatus.destroy();
  QMXSETUPAlias.destroy();
  QMXSETUP.destroy();
}

void GlobalDataKill() {
  globals::GlobalIniManager = abc::IniManager{};
  globals::GlobalErrorManager.Kill();
  globals::PreviewQueue.free();
  engine::CurrentValueText.clear();
  engine::CurrentRawValue.clear();
  engine::WhereWork.clear();
  globals::SelectedNamesQueue.free();
  globals::FieldListQueue.free();
  globals::CmdWhere.clear();
  globals::CmdSelect.clear();
}

runtime::Program Program(std::function<void()> procedure) {
  main_procedure() = std::move(procedure);
  runtime::Program p;
  p.thread_files_init = ThreadFilesInit;
  p.global_data_init = GlobalDataInit;
  p.thread_data_init = ThreadDataInit;
  p.main = ProgramMain;
  p.module_thread_kills.push_back(LookupQueryThreadKill);
  p.thread_data_kill = ThreadDataKill;
  p.global_data_kill = GlobalDataKill;
  return p;
}

}  // namespace shell
