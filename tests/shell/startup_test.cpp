// The program's frame: what exists at each step of the start-up and the
// tear-down (the services, the first thread's managers, the INI file's section
// list), and a second thread that builds and kills a dictionary of its own.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"
#include "shell/data_dictionary.h"
#include "shell/startup.h"
#include "tests/platform/files/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class Startup : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::current_path(dir_);
    window::headless().reset();
  }
  void TearDown() override {
    window::headless().reset();
    ScratchDir::TearDown();
  }
};

// What the managers of the calling thread look like.
std::string managers() {
  std::string s;
  for (abc::FileManager* f : {shell::Access_OUTPUT, shell::Access_TESTANY, shell::Access_DOSOUT,
                              shell::Access_QMXSETUP, shell::Access_QMXSETUPAlias}) {
    s += f ? (f->Initialized ? "I" : "i") : "-";
  }
  return s;
}

TEST_F(Startup, ServicesAndManagersExistFromTheirStepOnAndGoInOrder) {
  std::vector<std::string> seen;
  runtime::Program p = shell::Program([&] {
    // Inside Main: every service is ready, the managers exist, nothing is open.
    seen.push_back("main");
    EXPECT_TRUE(globals::GlobalErrorManager.initialized());
    EXPECT_TRUE(globals::GlobalFuzzyMatcher.Option(abc::FuzzyOption_NoCase));
    EXPECT_FALSE(globals::GlobalFuzzyMatcher.Option(abc::FuzzyOption_WordOnly));
    EXPECT_TRUE(globals::GlobalIniManager.initialized());
    EXPECT_EQ(globals::GlobalIniManager.file_name(), ".\\quillomar.INI");
    EXPECT_EQ(managers(), "iiiii");  // initialised for lazy use: set up on first use
    EXPECT_EQ(shell::Access_QMXSETUPAlias->AliasedFile, shell::Access_QMXSETUP);
    EXPECT_EQ(shell::Relate_QMXSETUPAlias->AliasFile, shell::Relate_QMXSETUP);
    EXPECT_EQ(shell::Relate_QMXSETUP->Me, shell::Access_QMXSETUP);
    EXPECT_EQ(shell::Relate_QMXSETUP->UseLogout, 1);
    EXPECT_EQ(shell::Access_QMXSETUP->Errors, &globals::GlobalErrorManager);
    EXPECT_EQ(shell::Access_QMXSETUP->FileNameValue, "QMXSETUP");
    EXPECT_EQ(shell::Access_QMXSETUP->BufferSize, 763u);
    EXPECT_FALSE(fs::exists(dir_ / "QMXSETUP.TPS"));
    EXPECT_EQ(globals::CallRequest, 0);
    EXPECT_EQ(globals::CallResponse, 0);
    EXPECT_EQ(globals::VcrRequest, 0);
    // First use in any mode registers the keys and takes the declaration's name.
    shell::Access_QMXSETUP->UseFile(abc::UseType_Initialize);
    EXPECT_EQ(shell::Access_QMXSETUP->FileNameValue, "QMXSETUP.TPS");
    ASSERT_EQ(shell::Access_QMXSETUP->Keys().size(), 3u);
    EXPECT_EQ(shell::Access_QMXSETUP->Keys()[0].description, "QMX:BySysID");
    EXPECT_TRUE(shell::Access_QMXSETUP->Keys()[0].auto_number);
    EXPECT_EQ(shell::Access_QMXSETUP->Keys()[2].description, "QMX:ByTag");
    EXPECT_EQ(shell::Access_TESTANY->Create, 1);  // not yet set up
    shell::Access_TESTANY->UseFile(abc::UseType_Initialize);
    EXPECT_EQ(shell::Access_TESTANY->Create, 0);
    EXPECT_EQ(managers(), "iIiIi");
    // The window saves its geometry; the section list is written only after Main.
    window::Window w(window::WindowDef{.label = "W", .at = {1, 2, 30, 40}, .resizable = true});
    globals::GlobalIniManager.SaveWindow("Main", w);
    EXPECT_EQ(read(dir_ / "quillomar.INI").find("__Dont_Touch_Me__"), std::string::npos);
  });
  p.module_thread_kills.push_back([&] {
    // After Main: the INI manager has written its list and is killed; the
    // first thread's managers are still alive until its data ends.
    seen.push_back("module kill");
    EXPECT_FALSE(globals::GlobalIniManager.initialized());
    EXPECT_NE(read(dir_ / "quillomar.INI").find("[__Dont_Touch_Me__]\r\nSectors=1\r\nSectors_1=Main,Window,0"),
              std::string::npos)
        << read(dir_ / "quillomar.INI");
    EXPECT_EQ(managers(), "iIiIi");
    EXPECT_TRUE(shell::QMXSETUP.exists());
  });
  // Before the program runs, nothing of the first thread's dictionary exists.
  EXPECT_EQ(managers(), "-----");
  EXPECT_EQ(runtime::run(p), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"main", "module kill"}));
  EXPECT_EQ(managers(), "-----");
  EXPECT_EQ(shell::Relate_QMXSETUP, nullptr);
  EXPECT_FALSE(shell::QMXSETUP.exists());
  EXPECT_FALSE(shell::QMXSETUPAlias.exists());
  EXPECT_FALSE(globals::GlobalErrorManager.initialized());
}

TEST_F(Startup, ProcessSetUpClearsTheQueueBuffersAndTearDownEmptiesTheQueues) {
  globals::FieldListQueue.buffer().ALF_DAFIELD = "left over";
  globals::FieldListQueue.add();
  globals::CmdSelect = "S";
  shell::GlobalDataInit();
  EXPECT_TRUE(globals::FieldListQueue.buffer().ALF_DAFIELD.empty());
  EXPECT_EQ(globals::FieldListQueue.records(), 1u);
  shell::GlobalDataKill();
  EXPECT_EQ(globals::FieldListQueue.records(), 0u);
  EXPECT_TRUE(globals::CmdSelect.empty());
}

TEST_F(Startup, AnotherThreadBuildsAndKillsADictionaryOfItsOwn) {
  runtime::Program p = shell::Program([&] {
    abc::FileManager* first = shell::Access_QMXSETUP;
    std::string there, after;
    abc::FileManager* theirs = nullptr;
    std::thread other([&] {
      EXPECT_NE(runtime::thread(), 1);
      shell::ThreadFilesInit();
      shell::ThreadDataInit();  // the dictionary object's constructor runs DictionaryInit here
      there = managers();
      theirs = shell::Access_QMXSETUP;
      shell::Access_QMXSETUP->UseFile(abc::UseType_Initialize);
      shell::ThreadDataKill();
      after = managers();
    });
    other.join();
    EXPECT_EQ(there, "iiiii");
    EXPECT_NE(theirs, first);
    EXPECT_EQ(after, "-----");
    EXPECT_EQ(shell::Access_QMXSETUP, first);  // ours untouched
    EXPECT_EQ(shell::Access_QMXSETUP->Keys().size(), 0u);
  });
  runtime::run(p);
}

TEST_F(Startup, AThreadThatEndsWithoutItsTearDownReleasesItsDataInAnyOrder) {
  // The platform releases THREAD data in no fixed order when a thread ends
  // without ThreadDataKill: managers, declarations and mappings must not
  // reach each other once gone.
  std::thread([] {
    shell::ThreadFilesInit();
    shell::ThreadDataInit();
    shell::Access_QMXSETUP->Open();
    shell::Access_QMXSETUP->UseFile();
  }).join();
  EXPECT_TRUE(fs::is_regular_file(dir_ / "QMXSETUP.TPS"));
}

}  // namespace
