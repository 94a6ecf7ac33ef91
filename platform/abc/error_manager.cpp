#include "platform/abc/error_manager.h"

#include <cstdlib>
#include <utility>

#include "platform/files/errors.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace abc {

namespace {

std::function<void()>& halt_action() {
  static std::function<void()> halt;
  return halt;
}

void halt() {
  if (halt_action()) {
    halt_action()();
    return;
  }
  std::exit(1);
}

// Procedure names are kept per thread and per manager.
std::map<const ErrorManager*, std::vector<std::string>>& procedure_names() {
  thread_local std::map<const ErrorManager*, std::vector<std::string>> names;
  return names;
}

// The class library's default messages under the ids this runtime gives them.
const std::vector<ErrorEntry>& default_table() {
  static const std::vector<ErrorEntry> table = {
      {Msg_None, Level_Benign, "", ""},
      {Msg_AbortReading, Level_Notify, "Record Retrieval Error",
       "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to previous window."},
      {Msg_AccessDenied, Level_Notify, "Access Denied", "Could not get write access to %File so trying read-only."},
      {Msg_AddFailed, Level_Notify, "Record Insert Error",
       "An error was experienced during the creation of a record. Error: %ErrorText."},
      {Msg_ConcurrencyFailed, Level_Notify, "Record Was Not Updated", "This record was changed by another station."},
      {Msg_ConfirmCancel, Level_User, "Changes will be lost!", "Are you sure you want to cancel?"},
      {Msg_ConfirmDelete, Level_User, "Confirm Delete", "Are you sure you want to delete the highlighted record?"},
      {Msg_CreateFailed, Level_Fatal, "File Creation Error", "Error: (%ErrorText) creating %File."},
      {Msg_DeleteFailed, Level_Notify, "Record was not deleted",
       "An error (%ErrorText) was experienced when deleting a record from the %File file."},
      {Msg_DeleteIllegal, Level_Notify, "Invalid Request", "This form cannot be used to delete a record"},
      {Msg_DuplicateKey, Level_Notify, "Duplicate Key Error",
       "Adding this record creates a duplicate entry for the key: %Message"},
      {Msg_InsertIllegal, Level_Notify, "Invalid Request", "This form cannot be used to insert a record"},
      {Msg_LogoutFailed, Level_Notify, "Transaction cancelled",
       "Error: (%ErrorText) attempting to frame the transaction on %File."},
      {Msg_NoRecords, Level_Notify, "No Records", "There are no records available to process."},
      {Msg_OpenFailed, Level_Fatal, "File Access Error", "File %File could not be opened.  Error: %ErrorText."},
      {Msg_ProcedureToDo, Level_Notify, "Procedure not defined", "The Procedure %Message has not been defined."},
      {Msg_PutFailed, Level_Notify, "Record was not updated",
       "An error (%ErrorText) was experienced when making changes to the %File file."},
      {Msg_RebuildFailed, Level_Fatal, "Key was not built", "Error: (%ErrorText) repairing key for %File."},
      {Msg_RebuildKey, Level_Notify, "Invalid Key", "%File key file is invalid. Key must be rebuilt."},
      {Msg_RecordHeld, Level_Notify, "Record not read",
       "A record held by another station was encountered reading from the %File file."},
      {Msg_RetryAutoInc, Level_User, "Auto Increment Error",
       "Attempts to automatically number this record have failed.  Error: %ErrorText. Try Again?"},
      {Msg_RetryDelete, Level_User, "Record Delete Error",
       "An error was experienced deleting this record. Do you want to try to delete it again?"},
      {Msg_RetrySave, Level_User, "Record Update Error",
       "An error was experienced changing this record. Do you want to try to save again?"},
      {Msg_SaveRecord, Level_User, "Save Record", "Do you want to save the changes to this record?"},
      {Msg_UpdateIllegal, Level_Notify, "Invalid Request", "This form cannot be used to update a record"},
      {Msg_UseClosedFile, Level_Program, "File Usage Error", "Attempt to use file (%File) before it was opened"},
      {Msg_ViewOpenFailed, Level_Notify, "View Open Error",
       "Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits ignored."},
  };
  return table;
}

// Replaces every occurrence of `name`, letters compared without case.
void replace_all(std::string& s, std::string_view name, std::string_view value) {
  const std::string upper_name = text::upper(name);
  std::string out;
  std::size_t from = 0;
  const std::string upper_s = text::upper(s);
  for (std::size_t at = upper_s.find(upper_name); at != std::string::npos;
       at = upper_s.find(upper_name, from)) {
    out.append(s, from, at - from);
    out.append(value);
    from = at + name.size();
  }
  if (from == 0) return;
  out.append(s, from, std::string::npos);
  s = std::move(out);
}

}  // namespace

void ErrorManager::Init(ErrorStatus& status) {
  bound_ = &status;
  per_thread_ = nullptr;
  table_.clear();
  for (const ErrorEntry& e : default_table()) table_[e.id] = e;
}

void ErrorManager::Init(runtime::Threaded<ErrorStatus>& per_thread) {
  Init(own_);
  bound_ = nullptr;
  per_thread_ = &per_thread;
}

void ErrorManager::Kill() {
  bound_ = nullptr;
  per_thread_ = nullptr;
  table_.clear();
  own_ = ErrorStatus{};
  procedure_names().erase(this);
}

ErrorStatus& ErrorManager::Status() {
  if (per_thread_) return per_thread_->get();
  return bound_ ? *bound_ : own_;
}

const ErrorEntry* ErrorManager::Entry(int id) const {
  auto it = table_.find(id);
  return it == table_.end() ? nullptr : &it->second;
}

void ErrorManager::AddEntry(ErrorEntry entry) { table_[entry.id] = std::move(entry); }

void ErrorManager::SetProcedureName(std::string_view name) { procedure_names()[this].emplace_back(name); }

void ErrorManager::SetProcedureName() {
  auto& names = procedure_names()[this];
  if (!names.empty()) names.pop_back();
}

std::string ErrorManager::ProcedureName() const {
  auto& all = procedure_names();
  auto it = all.find(this);
  return it == all.end() || it->second.empty() ? std::string() : it->second.back();
}

void ErrorManager::SetFile(std::string_view name) { Status().File = name; }
void ErrorManager::SetMessage(std::string_view text) { Status().Message = text; }

std::string ErrorManager::SubsString(std::string_view text) {
  const ErrorStatus& s = Status();
  const std::string code = text::int_text(s.ErrorCode);
  const std::string error_text = s.ErrorCode == files::kFileSystemError
                                     ? s.FileError + " (" + s.FileErrorCode + ")"
                                     : s.Error + " (" + code + ")";
  std::string out(text);
  replace_all(out, "%File", s.File);
  replace_all(out, "%ErrorCode", code);
  replace_all(out, "%ErrorText", error_text);
  replace_all(out, "%Error", s.Error);
  replace_all(out, "%FileErrorCode", s.FileErrorCode);
  replace_all(out, "%FileError", s.FileError);
  replace_all(out, "%Message", s.Message);
  replace_all(out, "%Field", s.Field);
  replace_all(out, "%Procedure", ProcedureName());
  replace_all(out, "%Category", s.Category);
  replace_all(out, "%Previous", s.Previous);
  return out;
}

BYTE ErrorManager::Throw(int id) {
  ErrorStatus& s = Status();
  s.ErrorCode = files::error_code();
  s.Error = files::error_text();
  s.FileErrorCode = files::file_error_code();
  s.FileError = files::file_error();
  const ErrorEntry* e = Entry(id);
  if (!e) {
    // An id the table lacks is a fault of the program: shown, never ignored.
    window::message("Message " + text::int_text(id) + " is not in the table of messages.", "Error",
                    window::Icon::Exclamation, window::BUTTON_OK);
    return Level_Notify;
  }
  const std::string shown = SubsString(e->text);
  const std::string title = SubsString(e->title);
  BYTE answer = Level_Benign;
  switch (e->level) {
    case Level_Benign:
      return Level_Benign;
    case Level_User:
    case Level_Cancel:
      answer = window::message(shown, title, window::Icon::Question, window::BUTTON_YES | window::BUTTON_NO,
                               window::BUTTON_YES) == window::BUTTON_YES
                   ? Level_Benign
                   : Level_Cancel;
      break;
    case Level_Notify:
      window::message(shown, title, window::Icon::Exclamation, window::BUTTON_OK);
      answer = Level_Notify;
      break;
    default:
      window::message(shown + std::string(kEndApplication), title, window::Icon::Exclamation, window::BUTTON_OK);
      s.Previous = shown;
      halt();
      return Level_Fatal;
  }
  s.Previous = shown;
  return answer;
}

BYTE ErrorManager::ThrowFile(int id, std::string_view file) {
  SetFile(file);
  return Throw(id);
}

BYTE ErrorManager::ThrowMessage(int id, std::string_view text) {
  SetMessage(text);
  return Throw(id);
}

int ErrorManager::Message(int id, int buttons, int default_button) {
  const ErrorEntry* e = Entry(id);
  if (!e) return 0;
  return window::message(SubsString(e->text), SubsString(e->title), window::Icon::Question, buttons, default_button);
}

void ErrorManager::set_halt(std::function<void()> halt) { halt_action() = std::move(halt); }

}  // namespace abc
