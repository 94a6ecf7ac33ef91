// The runtime's path functions (SETPATH, PATH, LONGPATH, SHORTPATH) and the
// one conversion of the system's "\" paths to the operating system's.
//
// At the operating-system boundary "\" and "/" both separate directories, so
// "C:\data/out\x.csv" names the same file as "C:/data/out/x.csv". On systems
// without drives (Linux) a leading drive letter names the one root: "C:\data"
// is "/data" and "C:data" is "data" below the current directory. A "\" can
// therefore never be part of a file name there. Results are in the system's
// own form (on Linux "/" separators, on Windows "\").
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace files {

// The operating system's path for a path in the runtime's form (trailing
// blanks are not part of it).
std::filesystem::path os_path(std::string_view runtime_path);

// SETPATH(path): the path, trailing blanks removed, becomes the current
// directory. On failure error 3 (Path Not Found) is posted and the current
// directory stays; on success the error state is cleared.
bool setpath(std::string_view path);

// PATH(): the current directory.
std::string path();

// LONGPATH(path): the full form of a path (the current directory when the
// path is empty): absolute, without "." and ".." steps or a closing separator.
std::string longpath(std::string_view path = {});

// Whether two paths in the runtime's form name one existing file (the same
// device and file number, so links and other spellings of a path count):
// false when either is missing. Sets no error state.
bool same_file(std::string_view a, std::string_view b);

// SHORTPATH(path): the short form; without 8.3 names (Linux) the same as
// LONGPATH.
std::string shortpath(std::string_view path = {});

}  // namespace files
