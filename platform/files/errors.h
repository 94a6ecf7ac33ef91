// The runtime's error state: ERRORCODE(), ERROR(), FILEERRORCODE(), FILEERROR().
// Every platform operation that the system checks ERRORCODE() after sets this
// state, 0 on success; there is one state per thread, as in the runtime.
#pragma once

#include <string>

namespace files {

// The runtime's error numbers that the system or the platform posts.
inline constexpr int kNoError = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kMemoryCorrupted = 7;
inline constexpr int kInsufficientMemory = 8;
inline constexpr int kInvalidDrive = 15;
inline constexpr int kEntryNotFound = 30;
inline constexpr int kFileAlreadyLocked = 32;
inline constexpr int kRecordNotAvailable = 33;
inline constexpr int kRecordNotFound = 35;
inline constexpr int kInvalidDataFile = 36;
inline constexpr int kFileNotOpen = 37;
inline constexpr int kInvalidKeyFile = 38;
inline constexpr int kCreatesDuplicateKey = 40;
inline constexpr int kRecordAlreadyHeld = 43;
inline constexpr int kInvalidFilename = 45;
inline constexpr int kKeyFilesMustBeRebuilt = 46;
inline constexpr int kInvalidRecordDeclaration = 47;
inline constexpr int kUnableToLogTransaction = 48;
inline constexpr int kFileAlreadyOpen = 52;
inline constexpr int kNoCreateAttribute = 54;
inline constexpr int kFileMustBeShared = 55;
inline constexpr int kLogoutAlreadyActive = 56;
inline constexpr int kInvalidMemoFile = 57;
inline constexpr int kExclusiveAccessRequired = 63;
inline constexpr int kSharingViolation = 64;
inline constexpr int kUnableToRollback = 65;
inline constexpr int kMemoFileMissing = 73;
inline constexpr int kInvalidFieldTypeDescriptor = 75;
inline constexpr int kInvalidIndexString = 76;
inline constexpr int kUnableToAccessIndex = 77;
inline constexpr int kInvalidNumberOfParameters = 78;
inline constexpr int kUnsupportedDataType = 79;
inline constexpr int kFunctionNotSupported = 80;
inline constexpr int kRecordChangedByAnotherStation = 89;
inline constexpr int kFileSystemError = 90;
inline constexpr int kNoLogoutActive = 91;
inline constexpr int kBuildInProgress = 92;
inline constexpr int kBuildCancelled = 93;
inline constexpr int kRecordLimitExceeded = 94;
// EVALUATE's own errors.
inline constexpr int kIllegalExpression = 1010;
inline constexpr int kUnknownName = 1011;
inline constexpr int kMismatchedPopBind = 1012;
inline constexpr int kParametersOmitted = 1015;

// ERRORCODE(): the number of the last error on this thread, 0 for none.
int error_code();
// ERROR(): the standard text of that number ("" for 0).
std::string error_text();
// FILEERRORCODE() and FILEERROR(): the driver's own code and text of the last
// error; empty unless the last error came from a driver with its own code.
std::string file_error_code();
std::string file_error();

// Posts an error of the runtime; the driver's code and text are cleared.
void set_error(int code);
// Posts an error together with the driver's own code and text (90 or 47 as a
// rule, where the standard text says too little).
void set_driver_error(int code, std::string driver_code, std::string driver_text);
// Success: every part of the state is cleared.
void clear_error();

// The runtime's standard text of an error number: "" for 0, "Unknown Error"
// for a number the runtime does not know.
std::string standard_error_text(int code);

}  // namespace files
