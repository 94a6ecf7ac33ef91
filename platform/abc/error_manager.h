// The class library's error manager: a table of messages (id, level, title,
// text with placeholders such as %File and %ErrorText), the per-thread error
// status the placeholders are filled from, and the per-thread stack of
// procedure names. Throw shows a message by its level: 0 nothing, 1 and 4 a
// Yes/No question, 5 an OK box, any other level an OK box with "  Press OK to
// end this application" appended, after which the program ends (halt()).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// The thread's last error as a Throw saw it, and the placeholder values.
struct ErrorStatus;

class ErrorManager {
 public:
  // Binds the manager to an error status and loads the default table.
  void Init(ErrorStatus& status);

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
};

}  // namespace abc
