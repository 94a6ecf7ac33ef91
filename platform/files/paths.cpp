#include "platform/files/paths.h"

#include <system_error>

#include "platform/files/errors.h"
#include "platform/text/text.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace files {

namespace {

#ifndef _WIN32
bool drive_prefix(std::string_view p) {
  return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}
#endif

std::string full_form(std::string_view runtime_path) {
  std::error_code ec;
  std::filesystem::path p = runtime_path.empty() ? std::filesystem::current_path(ec) : os_path(runtime_path);
  if (ec) return {};
  std::filesystem::path full = std::filesystem::absolute(p, ec);
  if (ec) return {};
  full = full.lexically_normal();
  // "dir/" and "dir" are the same directory; the runtime gives it without the
  // closing separator (a root keeps its own).
  if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
  return full.make_preferred().string();
}

}  // namespace

std::filesystem::path os_path(std::string_view runtime_path) {
  std::string p(text::clip(runtime_path));
#ifdef _WIN32
  for (char& c : p)
    if (c == '/') c = '\\';
#else
  if (drive_prefix(p)) p.erase(0, 2);
  for (char& c : p)
    if (c == '\\') c = '/';
#endif
  return std::filesystem::path(p);
}

bool setpath(std::string_view path) {
  std::filesystem::path p = os_path(path);
  std::error_code ec;
  if (p.empty()) {
    ec = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    std::filesystem::current_path(p, ec);
  }
  if (ec) {
    set_error(kPathNotFound);
    return false;
  }
  clear_error();
  return true;
}

bool same_file(std::string_view a, std::string_view b) {
  const std::filesystem::path pa = os_path(a), pb = os_path(b);
  if (pa.empty() || pb.empty()) return false;
  std::error_code ec;
  const bool same = std::filesystem::equivalent(pa, pb, ec);
  return !ec && same;
}

std::string path() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::current_path(ec);
  if (ec) return {};
  return p.make_preferred().string();
}

namespace {

#ifdef _WIN32
// The form Windows gives for an existing path; the full form when it has none.
std::string windows_form(std::string_view path, DWORD (WINAPI *convert)(LPCSTR, LPSTR, DWORD)) {
  std::string full = full_form(path);
  char buffer[MAX_PATH * 4];
  DWORD n = convert(full.c_str(), buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : full;
}
#endif

}  // namespace

std::string longpath(std::string_view path) {
#ifdef _WIN32
  return windows_form(path, GetLongPathNameA);
#else
  return full_form(path);
#endif
}

std::string shortpath(std::string_view path) {
#ifdef _WIN32
  return windows_form(path, GetShortPathNameA);
#else
  return full_form(path);
#endif
}

}  // namespace files
