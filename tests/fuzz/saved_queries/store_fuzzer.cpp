// Any bytes as QMXSETUP.TPS (a file anyone can replace): the loads by tag and
// by name and a save over it never crash or read outside the record, and
// whatever the save leaves is a table the store reads again.
//
// The first input byte picks what the rest is: the whole file, or damage done
// to a store of three queries written by the store itself (bytes XORed in at
// chosen offsets, the file cut at a chosen length), so that a run from no
// corpus still reaches its rows, keys and BLOBs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/window/backend.h"
#include "shell/data_dictionary.h"
#include "shell/main_locals.h"
#include "shell/saved_queries.h"
#include "shell/startup.h"

namespace {

namespace fs = std::filesystem;

// Message boxes answered with their default button, silently.
class Quiet final : public window::Backend {
 public:
  void opened(window::Window&) override {}
  void closed(window::Window&) override {}
  void changed(window::Window&, int) override {}
  void timer_changed(window::Window&) override {}
  bool wait(window::Window&) override { return false; }
  int message(const window::MessageRequest& r) override { return r.default_button; }
  bool file_dialog(const window::FileRequest&, std::string&) override { return false; }
  void set_clipboard(std::string_view) override {}
  std::string clipboard() override { return {}; }
  void open_document(std::int64_t, std::string_view) override {}
};

void save(const char* name) {
  shell::MainLocals m;
  globals::GLO_QUERYNAME = name;
  globals::GLO_SELECT = "CUS:NAME,CUS:BORN";
  globals::GLO_WHERE = "CUS:BORN > 4";
  globals::FieldListQueue.free();
  globals::FieldListQueue.buffer().ALF_DAFIELD = "CUS:NAME";
  globals::FieldListQueue.buffer().ALF_DATYPE = "STRING";
  globals::FieldListQueue.add();
  m.FieldListPresent = 1;
  shell::SaveQuery(m);
}

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& base() {
  static const std::string bytes = [] {
    save("Alpha");
    save("Beta");
    save("Gamma");
    return read_file("QMXSETUP.TPS");
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The store makes its working directory current; libFuzzer writes its corpus
  // relative to the directory it was started in, which each run returns to.
  static const fs::path started_in = fs::current_path();
  struct Back {
    ~Back() { fs::current_path(started_in); }
  } back;
  static const fs::path dir = fs::temp_directory_path() / ("qm-store-fuzz-" + std::to_string(getpid()));
  static const bool ready = [] {
    static Quiet quiet;
    window::set_backend(&quiet);
    abc::ErrorManager::set_halt([] {});  // a fatal message ends nothing here
    fs::create_directories(dir);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(dir, ec);
    });
    fs::current_path(dir);
    shell::ThreadFilesInit();
    shell::GlobalDataInit();
    shell::ThreadDataInit();
    globals::GlobalErrorManager.Init(shell::ThreadErrorStatus);
    shell::DictionaryInit();
    globals::GLO_WorkingDir = dir.string();
    base();
    return true;
  }();
  (void)ready;
  if (size == 0) return 0;

  std::string file;
  if (data[0] & 1) {
    file.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  } else {
    file = base();
    // Pairs of (offset, xor) bytes; a last odd byte cuts the file.
    std::size_t i = 1;
    for (; i + 2 < size; i += 3) {
      const std::size_t at = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % file.size();
      file[at] = static_cast<char>(file[at] ^ data[i + 2]);
    }
    if (i < size) file.resize(file.size() * data[i] / 256 + 1);
  }
  fs::current_path(dir);
  {
    std::ofstream out("QMXSETUP.TPS", std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
  }

  shell::MainLocals m;
  shell::LoadTaggedQuery(m);
  globals::CmdQueryName = "beta";
  shell::LoadQueryByName(m);
  m.PickedSysId = 2;
  shell::LoadQueryBySysId(m);
  save("Delta");
  if (shell::Access_QMXSETUP->OpenCount() != 0) std::abort();
  return 0;
}
