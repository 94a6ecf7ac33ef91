#include "platform/abc/file_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/paths.h"
#include "platform/window/headless.h"
#include "tests/platform/files/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace window;

class Dialog : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    fs::create_directories(dir_ / "IN");
    fs::create_directories(dir_ / "OUT");
    fs::current_path(dir_);
    headless().reset();
  }
  void TearDown() override {
    headless().reset();
    ScratchDir::TearDown();
  }
};

TEST_F(Dialog, AskShowsTheSettingsInTheDefaultDirectoryAndAnswersTheChoice) {
  abc::FileDialog d;
  d.Init();
  EXPECT_EQ(d.Flags, FILE_LongName);
  d.SetMask("TPS Files", "*.TPS");
  d.AddMask("All Files", "*.*");
  d.Title = "Select .TPS File";
  d.DefaultDirectory = runtime_dir() + "\\IN\\";
  d.DefaultFile = "output.csv  ";
  fs::path during;
  headless().answer_file(runtime_dir() + "\\IN\\a.tps");
  EXPECT_EQ(d.Ask(), runtime_dir() + "\\IN\\a.tps");
  ASSERT_EQ(headless().dialogs().size(), 1u);
  const FileRequest& r = headless().dialogs()[0].request;
  EXPECT_EQ(r.title, "Select .TPS File");
  EXPECT_EQ(r.extensions, "TPS Files|*.TPS|All Files|*.*");
  EXPECT_EQ(r.file, "output.csv");
  EXPECT_EQ(r.flags, FILE_LongName);
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_ / "IN"));  // the chosen file's folder, not restored
}

TEST_F(Dialog, CancelClearsOnlyWithClearOnCancelAndRestoreReturnsToTheFolderBefore) {
  struct Case {
    bool clear;
    bool restore;
    const char* answer;  // nullptr: cancelled
    std::string expected;
    fs::path current_after;
  };
  const Case cases[] = {
      {true, false, nullptr, "", "OUT"},
      {false, false, nullptr, "output.csv", "OUT"},
      {true, true, nullptr, "", ""},
      {true, true, "OUT/x.csv", "OUT/x.csv", ""},
  };
  for (const Case& c : cases) {
    fs::current_path(dir_);
    abc::FileDialog d;
    d.Init();
    d.ClearOnCancel = c.clear;
    d.DefaultDirectory = runtime_dir() + "\\OUT\\";
    d.DefaultFile = "output.csv";
    if (c.answer) {
      headless().answer_file((dir_ / c.answer).string());
    } else {
      headless().cancel_file();
    }
    const std::string expected = c.answer ? (dir_ / c.answer).string() : c.expected;
    EXPECT_EQ(d.Ask(c.restore), expected);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_ / c.current_after)) << fs::current_path();
  }
}

TEST_F(Dialog, AMissingDefaultDirectoryLeavesTheCurrentOne) {
  abc::FileDialog d;
  d.Init();
  d.DefaultDirectory = runtime_dir() + "\\NONE\\";
  headless().cancel_file();
  d.Ask();
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
}

}  // namespace
