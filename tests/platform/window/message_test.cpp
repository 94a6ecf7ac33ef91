// MESSAGE, the clipboard, file dialogs and opening a document, on the headless
// backend: scripted answers reach the caller; unanswered boxes take their default.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

using namespace window;

class Modal : public ::testing::Test {
 protected:
  void SetUp() override { headless().reset(); }
  void TearDown() override { headless().reset(); }
};

TEST_F(Modal, ScriptedAnswerReachesTheCodeThatAsked) {
  headless().answer(BUTTON_NO);
  int chosen = message("Do you want to delete it?", "Confirm", Icon::Question, BUTTON_YES + BUTTON_NO, BUTTON_YES);
  EXPECT_EQ(chosen, BUTTON_NO);
  ASSERT_EQ(headless().messages().size(), 1u);
  const auto& m = headless().messages()[0];
  EXPECT_TRUE(m.scripted);
  EXPECT_EQ(m.request.text, "Do you want to delete it?");
  EXPECT_EQ(m.request.caption, "Confirm");
  EXPECT_EQ(m.request.icon, Icon::Question);
  EXPECT_EQ(m.request.buttons, BUTTON_YES + BUTTON_NO);
}

TEST_F(Modal, UnansweredBoxGoesToStandardErrorAndTakesItsDefaultButton) {
  struct Case {
    int buttons;
    int default_button;
    int expected;
  };
  const Case cases[] = {
      {BUTTON_OK, 0, BUTTON_OK},
      {0, 0, BUTTON_OK},                                   // no buttons named: OK
      {BUTTON_YES + BUTTON_NO, 0, BUTTON_YES},             // the first button
      {BUTTON_YES + BUTTON_NO, BUTTON_NO, BUTTON_NO},
      {BUTTON_YES + BUTTON_NO, BUTTON_CANCEL, BUTTON_YES},  // not among them
      {BUTTON_RETRY + BUTTON_CANCEL, BUTTON_RETRY + BUTTON_CANCEL, BUTTON_RETRY},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    int chosen = message("File System Error|second line\r\nthird", "90 OPEN()", Icon::Asterisk, c.buttons, c.default_button);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(chosen, c.expected) << c.buttons << " " << c.default_button;
    EXPECT_EQ(err, "90 OPEN(): File System Error second line third\n");
  }
  EXPECT_FALSE(headless().messages().back().scripted);
  EXPECT_EQ(headless().messages().back().request.icon, Icon::Asterisk);
}

TEST_F(Modal, AnswerThatIsNotAButtonOfTheBoxTakesTheDefault) {
  headless().answer(BUTTON_CANCEL);
  EXPECT_EQ(message("text", "caption", Icon::None, BUTTON_YES + BUTTON_NO, BUTTON_NO), BUTTON_NO);
}

TEST_F(Modal, FileDialogsTakeScriptedNamesAndCancelWithoutAnswer) {
  headless().answer_file("C:\\data\\IN\\orders.tps").cancel_file();
  std::string file = "output.csv";
  EXPECT_TRUE(filedialog("Select .TPS File", file, "TPS Files|*.TPS|All Files|*.*", FILE_LongName));
  EXPECT_EQ(file, "C:\\data\\IN\\orders.tps");
  file = "output.csv";
  EXPECT_FALSE(filedialog("Output .CSV File", file, "CSV Files|*.CSV", FILE_LongName | FILE_Save));
  EXPECT_EQ(file, "output.csv");  // cancelled: the variable keeps its text
  EXPECT_FALSE(filedialog("Select Output Directory", file, "", FILE_LongName | FILE_Directory));
  ASSERT_EQ(headless().dialogs().size(), 3u);
  EXPECT_EQ(headless().dialogs()[1].request.title, "Output .CSV File");
  EXPECT_EQ(headless().dialogs()[1].request.flags, FILE_LongName | FILE_Save);
  EXPECT_EQ(headless().dialogs()[2].request.flags & FILE_Directory, FILE_Directory);
}

// A folder of its own under the temporary directory, and the current directory
// put back afterwards.
class FileDialogs : public Modal {
 protected:
  void SetUp() override {
    Modal::SetUp();
    home = files::path();
    dir = std::filesystem::temp_directory_path() / ("qm_window_dialogs_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "old.csv") << "x";
  }
  void TearDown() override {
    files::setpath(home);
    std::filesystem::remove_all(dir);
    Modal::TearDown();
  }
  std::string in_dir(const char* name) const { return (dir / name).string(); }

  std::string home;
  std::filesystem::path dir;
};

TEST_F(FileDialogs, SaveAsksBeforeItOverwritesAndNoShowsTheDialogAgain) {
  headless().answer_file(in_dir("old.csv")).answer(BUTTON_NO).answer_file(in_dir("new.csv"));
  std::string file = "output.csv";
  EXPECT_TRUE(filedialog("Output .CSV File", file, "CSV Files|*.CSV", FILE_LongName | FILE_Save));
  EXPECT_EQ(file, in_dir("new.csv"));
  ASSERT_EQ(headless().messages().size(), 1u);
  const auto& ask = headless().messages()[0].request;
  EXPECT_EQ(ask.caption, "Output .CSV File");
  EXPECT_EQ(ask.text, in_dir("old.csv") + " already exists.|Do you want to replace it?");
  EXPECT_EQ(ask.icon, Icon::Exclamation);
  EXPECT_EQ(ask.default_button, BUTTON_NO);
  EXPECT_EQ(headless().dialogs().size(), 2u);

  headless().answer_file(in_dir("old.csv")).answer(BUTTON_YES);
  EXPECT_TRUE(filedialog("Output .CSV File", file, "", FILE_LongName | FILE_Save));
  EXPECT_EQ(file, in_dir("old.csv"));
  // An open dialog asks nothing about an existing file.
  headless().answer_file(in_dir("old.csv"));
  EXPECT_TRUE(filedialog("Select .TPS File", file, "", FILE_LongName));
  EXPECT_EQ(headless().messages().size(), 2u);
}

TEST_F(FileDialogs, TheChosenFilesDirectoryBecomesCurrentUnlessKeepDir) {
  files::set_error(files::kAccessDenied);
  headless().answer_file(in_dir("old.csv"));
  std::string file;
  EXPECT_TRUE(filedialog("Select .TPS File", file, "", FILE_LongName | FILE_KeepDir));
  EXPECT_EQ(files::path(), home);
  headless().answer_file(in_dir("old.csv"));
  EXPECT_TRUE(filedialog("Select .TPS File", file, "", FILE_LongName));
  EXPECT_EQ(std::filesystem::path(files::path()), std::filesystem::canonical(dir));
  EXPECT_EQ(files::error_code(), files::kAccessDenied);  // left as the caller had it
}

TEST_F(Modal, ClipboardAndDocuments) {
  setclipboard("@D06b");
  EXPECT_EQ(clipboard(), "@D06b");
  open_document(42, "C:\\out\\orders.CSV");
  ASSERT_EQ(headless().documents().size(), 1u);
  EXPECT_EQ(headless().documents()[0], "C:\\out\\orders.CSV");
}

TEST_F(Modal, TipTimingIsKeptForTheWholeProcess) {
  set_system_property(PROP_TipDisplay, 3000);
  set_system_property(PROP_TipDelay, 10);
  EXPECT_EQ(system_property(PROP_TipDisplay), "3000");
  EXPECT_EQ(system_property(PROP_TipDelay), "10");
}

}  // namespace
