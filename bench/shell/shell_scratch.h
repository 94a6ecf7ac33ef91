// Shared by the shell's benchmarks: a scratch folder made the working
// directory with the program's frame set up in it (thread and process data,
// the error and INI managers, the data dictionary), and a store of saved
// queries written there in one batch through the QMXSETUP file manager. The
// frame is torn down and the folder removed when the scratch ends.
#pragma once

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "globals/globals.h"
#include "globals/services.h"
#include "shell/data_dictionary.h"
#include "shell/startup.h"

namespace bench {

class ShellScratch {
 public:
  explicit ShellScratch(const std::string& prefix) {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    std::filesystem::create_directories(dir_);
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    shell::ThreadFilesInit();
    shell::GlobalDataInit();
    shell::ThreadDataInit();
    globals::GlobalErrorManager.Init(shell::ThreadErrorStatus);
    globals::GlobalIniManager.Init(".\\quillomar.INI");
    shell::DictionaryInit();
    globals::GLO_WorkingDir = dir_.string();
  }
  ~ShellScratch() {
    shell::ThreadDataKill();
    shell::GlobalDataKill();
    std::filesystem::current_path(saved_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ShellScratch(const ShellScratch&) = delete;
  ShellScratch& operator=(const ShellScratch&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path store_file() const { return dir_ / "QMXSETUP.TPS"; }

 private:
  std::filesystem::path dir_, saved_;
};

// What one stored query of a benchmark's store holds.
struct StoredQuery {
  std::string name;
  bool tagged = false;
};

// Writes `count` queries with these texts, the i-th (from 0) as query(i) says.
inline void write_queries(int count, const std::function<StoredQuery(int)>& query, std::string_view input,
                          std::string_view select, std::string_view where, std::string_view fields) {
  abc::FileManager& access = *shell::Access_QMXSETUP;
  access.Open();
  access.UseFile(abc::UseType_Returns);
  for (int i = 0; i < count; ++i) {
    const StoredQuery made = query(i);
    shell::QMXSETUP->clear();
    shell::QmxRecord q = shell::QMX();
    q.QUERYNAME = made.name;
    q.INPUTTPSLOCATION = input;
    q.DATEFORMAT = "@D06";
    q.TAG = made.tagged ? 1 : 0;
    access.BlobWrite(shell::QMX_SELECT, 0, select);
    access.BlobWrite(shell::QMX_WHERE, 0, where);
    access.BlobWrite(shell::QMX_FIELDS, 0, fields);
    access.PrimeRecord(true);
    access.Insert();
  }
  access.Close();
}

}  // namespace bench
