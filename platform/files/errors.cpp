#include "platform/files/errors.h"

#include <utility>

namespace files {

namespace {

struct ErrorState {
  int code = 0;
  std::string driver_code;
  std::string driver_text;
};

ErrorState& state() {
  thread_local ErrorState s;
  return s;
}

struct CodeText {
  int code;
  const char* text;
};

// The runtime's own wording, capitals included.
constexpr CodeText kTexts[] = {
    {kFileNotFound, "File Not Found"},
    {kPathNotFound, "Path Not Found"},
    {kTooManyOpenFiles, "Too Many Open Files"},
    {kAccessDenied, "Access Denied"},
    {kMemoryCorrupted, "Memory Corrupted"},
    {kInsufficientMemory, "Insufficient Memory"},
    {kInvalidDrive, "Invalid Drive"},
    {kEntryNotFound, "Entry Not Found"},
    {kFileAlreadyLocked, "File Is Already Locked"},
    {kRecordNotAvailable, "Record Not Available"},
    {kRecordNotFound, "Record Not Found"},
    {kInvalidDataFile, "Invalid Data File"},
    {kFileNotOpen, "File Not Open"},
    {kInvalidKeyFile, "Invalid Key File"},
    {kCreatesDuplicateKey, "Creates Duplicate Key"},
    {kRecordAlreadyHeld, "Record Is Already Held"},
    {kInvalidFilename, "Invalid Filename"},
    {kKeyFilesMustBeRebuilt, "Key Files must be Rebuilt"},
    {kInvalidRecordDeclaration, "Invalid Record Declaration"},
    {kUnableToLogTransaction, "Unable to log transaction"},
    {kFileAlreadyOpen, "File Already Open"},
    {kNoCreateAttribute, "No Create Attribute"},
    {kFileMustBeShared, "File Must Be Shared"},
    {kLogoutAlreadyActive, "Logout Already Active"},
    {kInvalidMemoFile, "Invalid Memo File"},
    {kExclusiveAccessRequired, "Exclusive Access Required"},
    {kSharingViolation, "Sharing Violation"},
    {kUnableToRollback, "Unable to rollback transaction"},
    {kMemoFileMissing, "Memo File is Missing"},
    {kInvalidFieldTypeDescriptor, "Invalid Field Type Descriptor"},
    {kInvalidIndexString, "Invalid Index String"},
    {kUnableToAccessIndex, "Unable To Access Index"},
    {kInvalidNumberOfParameters, "Invalid Number Of Parameters"},
    {kUnsupportedDataType, "Unsupported Data Type in File"},
    {kFunctionNotSupported, "Function not supported"},
    {kRecordChangedByAnotherStation, "Record Changed By Another Station"},
    {kFileSystemError, "File System Error"},
    {kNoLogoutActive, "No Logout Active"},
    {kBuildInProgress, "BUILD in Progress"},
    {kBuildCancelled, "BUILD Cancelled"},
    {kRecordLimitExceeded, "Record limit exceeded"},
    {kIllegalExpression, "Illegal Expression"},
    {kUnknownName, "Variable Not Found"},
    {kMismatchedPopBind, "Mismatched POPBIND"},
    {kParametersOmitted, "Parameters Omitted"},
};

}  // namespace

int error_code() { return state().code; }

std::string error_text() { return standard_error_text(state().code); }

std::string file_error_code() { return state().driver_code; }

std::string file_error() { return state().driver_text; }

void set_error(int code) {
  ErrorState& s = state();
  s.code = code;
  s.driver_code.clear();
  s.driver_text.clear();
}

void set_driver_error(int code, std::string driver_code, std::string driver_text) {
  ErrorState& s = state();
  s.code = code;
  s.driver_code = std::move(driver_code);
  s.driver_text = std::move(driver_text);
}

void clear_error() { set_error(kNoError); }

std::string standard_error_text(int code) {
  if (code == kNoError) return {};
  for (const CodeText& t : kTexts) {
    if (t.code == code) return t.text;
  }
  return "Unknown Error";
}

}  // namespace files
