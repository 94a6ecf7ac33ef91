// The error manager: the messages the system throws with their levels,
// boxes and answers, the placeholders in their order, and the per-thread
// procedure names and error status.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/abc/error_manager.h"
#include "platform/files/errors.h"
#include "platform/window/headless.h"

namespace {

using window::BUTTON_NO;
using window::BUTTON_OK;
using window::BUTTON_YES;

class ErrorManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window::headless().reset();
    abc::ErrorManager::set_halt([this] { ++halted_; });
    errors_.Init(status_);
  }
  void TearDown() override {
    abc::ErrorManager::set_halt(nullptr);
    files::clear_error();
    window::headless().reset();
  }
  const window::MessageRequest& shown() const { return window::headless().messages().back().request; }

  abc::ErrorStatus status_;
  abc::ErrorManager errors_;
  int halted_ = 0;
};

TEST_F(ErrorManagerTest, MessagesShowByTheirLevelAndGiveTheLevelsAnswer) {
  struct Case {
    int id;
    int answer;  // the scripted button; 0 none
    window::Icon icon;
    int buttons;
    std::string caption, text;
    abc::BYTE result;
    int halts;
  };
  const std::vector<Case> cases = {
      {abc::Msg_ConfirmDelete, BUTTON_YES, window::Icon::Question, BUTTON_YES | BUTTON_NO, "Confirm Delete",
       "Are you sure you want to delete the highlighted record?", abc::Level_Benign, 0},
      {abc::Msg_ConfirmDelete, BUTTON_NO, window::Icon::Question, BUTTON_YES | BUTTON_NO, "Confirm Delete",
       "Are you sure you want to delete the highlighted record?", abc::Level_Cancel, 0},
      {abc::Msg_RetryDelete, BUTTON_NO, window::Icon::Question, BUTTON_YES | BUTTON_NO, "Record Delete Error",
       "An error was experienced deleting this record. Do you want to try to delete it again?", abc::Level_Cancel, 0},
      {abc::Msg_InsertIllegal, 0, window::Icon::Exclamation, BUTTON_OK, "Invalid Request",
       "This form cannot be used to insert a record", abc::Level_Notify, 0},
      {abc::Msg_UpdateIllegal, 0, window::Icon::Exclamation, BUTTON_OK, "Invalid Request",
       "This form cannot be used to update a record", abc::Level_Notify, 0},
      {abc::Msg_OpenFailed, 0, window::Icon::Exclamation, BUTTON_OK, "File Access Error",
       "File Q.TPS could not be opened.  Error: File Not Found (2).  Press OK to end this application",
       abc::Level_Fatal, 1},
      {abc::Msg_CreateFailed, 0, window::Icon::Exclamation, BUTTON_OK, "File Creation Error",
       "Error: (File Not Found (2)) creating Q.TPS.  Press OK to end this application", abc::Level_Fatal, 1},
      // Level Program ends the program as Fatal does.
      {abc::Msg_UseClosedFile, 0, window::Icon::Exclamation, BUTTON_OK, "File Usage Error",
       "Attempt to use file (Q.TPS) before it was opened  Press OK to end this application", abc::Level_Fatal, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + " " + std::to_string(c.answer));
    window::headless().reset();
    halted_ = 0;
    if (c.answer) window::headless().answer(c.answer);
    files::set_error(files::kFileNotFound);
    EXPECT_EQ(errors_.ThrowFile(c.id, "Q.TPS"), c.result);
    ASSERT_EQ(window::headless().messages().size(), 1u);
    EXPECT_EQ(shown().caption, c.caption);
    EXPECT_EQ(shown().text, c.text);
    EXPECT_EQ(shown().icon, c.icon);
    EXPECT_EQ(shown().buttons, c.buttons);
    EXPECT_EQ(halted_, c.halts);
  }
  // Level 0 shows nothing.
  window::headless().reset();
  errors_.AddEntry({99, abc::Level_Benign, "T", "quiet"});
  EXPECT_EQ(errors_.Throw(99), abc::Level_Benign);
  EXPECT_TRUE(window::headless().messages().empty());
  // The ids the program throws.
  EXPECT_EQ(errors_.Entry(abc::Msg_DeleteFailed)->title, "Record was not deleted");
  EXPECT_EQ(errors_.Entry(abc::Msg_DuplicateKey)->title, "Duplicate Key Error");
  EXPECT_EQ(errors_.Entry(abc::Msg_PutFailed)->title, "Record was not updated");
}

TEST_F(ErrorManagerTest, PlaceholdersAreFilledInTheirOrderWithoutRegardToCase) {
  struct Case {
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {"%File %errorcode %ERRORTEXT %Error", "Q.TPS 35 Record Not Found (35) Record Not Found"},
      // %File goes first: "%FileError" becomes the name followed by "Error".
      {"%FileError|%FileErrorCode", "Q.TPSError|Q.TPSErrorCode"},
      {"%Message %Field %Procedure %Category.", "key one  Main ."},
      {"no placeholder", "no placeholder"},
  };
  errors_.SetProcedureName("Main");
  files::set_error(files::kRecordNotFound);
  errors_.SetMessage("key one");
  for (const Case& c : cases) {
    errors_.AddEntry({98, abc::Level_Notify, "T", c.text});
    window::headless().reset();
    errors_.ThrowFile(98, "Q.TPS");
    EXPECT_EQ(shown().text, c.expected) << c.text;
  }
  // For error 90 %ErrorText is the driver's text and code.
  files::set_driver_error(files::kFileSystemError, "TPS-7", "disk went away");
  errors_.AddEntry({98, abc::Level_Notify, "T", "%ErrorText / %ErrorCode"});
  errors_.Throw(98);
  EXPECT_EQ(shown().text, "disk went away (TPS-7) / 90");
}

TEST_F(ErrorManagerTest, ProcedureNamesAndErrorStatusBelongToTheirThread) {
  errors_.SetProcedureName("Main");
  errors_.SetProcedureName("LookupQuery");
  EXPECT_EQ(errors_.ProcedureName(), "LookupQuery");
  std::string theirs = "unset";
  std::thread([&] { theirs = errors_.ProcedureName(); }).join();
  EXPECT_EQ(theirs, "");
  errors_.SetProcedureName();
  EXPECT_EQ(errors_.ProcedureName(), "Main");
  errors_.SetProcedureName();
  errors_.SetProcedureName();  // one too many: nothing to remove
  EXPECT_EQ(errors_.ProcedureName(), "");

  runtime::Threaded<abc::ErrorStatus> per_thread;
  abc::ErrorManager threaded;
  threaded.Init(per_thread);
  threaded.SetFile("mine");
  std::string other_file = "unset";
  std::thread([&] { other_file = threaded.Status().File; }).join();
  EXPECT_EQ(other_file, "");
  EXPECT_EQ(per_thread->File, "mine");
}

}  // namespace
