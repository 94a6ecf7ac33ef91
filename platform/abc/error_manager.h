// The class library's error manager: a table of messages (id, level, title,
// text with placeholders such as %File and %ErrorText), the per-thread error
// status the placeholders are filled from, and the per-thread stack of
// procedure names. Throw shows a message by its level: 0 nothing, 1 and 4 a
// Yes/No question, 5 an OK box, any other level an OK box with "  Press OK to
// end this application" appended, after which the program ends (halt()).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/runtime.h"

namespace abc {

using BYTE = std::uint8_t;

// Levels a manager operation or event handler returns.
inline constexpr BYTE Level_Benign = 0;
inline constexpr BYTE Level_User = 1;
inline constexpr BYTE Level_Program = 2;
inline constexpr BYTE Level_Fatal = 3;
inline constexpr BYTE Level_Cancel = 4;
inline constexpr BYTE Level_Notify = 5;

// Message ids of the table that the system throws.
inline constexpr int Msg_ConfirmDelete = 11;
inline constexpr int Msg_CreateFailed = 12;
inline constexpr int Msg_InsertIllegal = 23;
inline constexpr int Msg_OpenFailed = 26;
inline constexpr int Msg_RetryDelete = 36;
inline constexpr int Msg_UpdateIllegal = 41;
// The rest of the table (the ids 9, 10 and 13 hold entries whose use is not
// known to us and are left empty).
inline constexpr int Msg_None = 0;
inline constexpr int Msg_AbortReading = 1;
inline constexpr int Msg_AccessDenied = 2;
inline constexpr int Msg_AddAnother = 3;
inline constexpr int Msg_AddFailed = 4;
inline constexpr int Msg_AddNewRecord = 5;
inline constexpr int Msg_ConcurrencyFailed = 6;
inline constexpr int Msg_ConcurrencyFailedFromForm = 7;
inline constexpr int Msg_ConfirmCancel = 8;
inline constexpr int Msg_DeleteFailed = 14;
inline constexpr int Msg_DeleteIllegal = 15;
inline constexpr int Msg_DuplicateKey = 16;
inline constexpr int Msg_FieldNotInFile = 17;
inline constexpr int Msg_FieldNotInList = 18;
inline constexpr int Msg_FieldOutOfRange = 19;
inline constexpr int Msg_FieldOutOfRangeHigh = 20;
inline constexpr int Msg_FieldOutOfRangeLow = 21;
inline constexpr int Msg_FileLoadFailed = 22;
inline constexpr int Msg_LogoutFailed = 24;
inline constexpr int Msg_NoRecords = 25;
inline constexpr int Msg_ProcedureToDo = 27;
inline constexpr int Msg_PutFailed = 28;
inline constexpr int Msg_RebuildFailed = 29;
inline constexpr int Msg_RebuildKey = 30;
inline constexpr int Msg_RecordHeld = 31;
inline constexpr int Msg_RecordLimit = 32;
inline constexpr int Msg_RestrictDelete = 33;
inline constexpr int Msg_RestrictUpdate = 34;
inline constexpr int Msg_RetryAutoInc = 35;
inline constexpr int Msg_RetrySave = 37;
inline constexpr int Msg_SaveRecord = 38;
inline constexpr int Msg_SearchReachedBeginning = 39;
inline constexpr int Msg_SearchReachedEnd = 40;
inline constexpr int Msg_UseClosedFile = 42;
inline constexpr int Msg_ViewOpenFailed = 43;
inline constexpr int Msg_QBEColumnNotSupported = 44;

// The text appended to a message whose level ends the program.
inline constexpr std::string_view kEndApplication = "  Press OK to end this application";

// One entry of the message table.
struct ErrorEntry {
  int id = 0;
  BYTE level = Level_Benign;
  std::string title;
  std::string text;
};

// The thread's last error as a Throw saw it, and the placeholder values.
struct ErrorStatus {
  int ErrorCode = 0;
  std::string Error;
  std::string FileErrorCode;
  std::string FileError;
  std::string File;      // %File
  std::string Message;   // %Message
  std::string Field;     // %Field
  std::string Category;  // %Category
  std::string Previous;  // %Previous: the text of the message shown before
};

class ErrorManager {
 public:
  // Binds the manager to an error status and loads the default table.
  void Init(ErrorStatus& status);
  // The same with THREAD data: every thread reports into its own instance.
  void Init(runtime::Threaded<ErrorStatus>& per_thread);
  bool initialized() const { return bound_ != nullptr || per_thread_ != nullptr; }
  // Unbinds and forgets the table and every thread's procedure names (the destructor's work).
  void Kill();

  // The calling thread's error status (a manager never initialised has one of its own).
  ErrorStatus& Status();
  // The entry of `id`; nullptr when the table has none.
  const ErrorEntry* Entry(int id) const;
  // Adds or replaces an entry (a later entry of an id wins).
  void AddEntry(ErrorEntry entry);
  // The entry's text with every placeholder filled from the status.
  std::string SubsString(std::string_view text);

  // Pushes (name given) or pops (no argument) the calling thread's procedure name.
  void SetProcedureName(std::string_view name);
  void SetProcedureName();
  std::string ProcedureName() const;

  void SetFile(std::string_view name);
  void SetMessage(std::string_view text);

  // Shows message `id` by its level and returns the level's answer:
  // 0 (Yes, or nothing shown), 4 (No), 5 (OK), 3 (fatal: halt() has run).
  BYTE Throw(int id);
  BYTE ThrowFile(int id, std::string_view file);
  BYTE ThrowMessage(int id, std::string_view text);
  // Shows the entry's text with a question icon and these buttons; the button chosen.
  int Message(int id, int buttons, int default_button);

  // What a fatal message does after its box: ends the process with status 1
  // unless a test installed another action.
  static void set_halt(std::function<void()> halt);

 private:
  ErrorStatus* bound_ = nullptr;
  runtime::Threaded<ErrorStatus>* per_thread_ = nullptr;
  ErrorStatus own_;
  std::map<int, ErrorEntry> table_;
};

}  // namespace abc
