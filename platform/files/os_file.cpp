#include "platform/files/os_file.h"

#include <string>

#include "platform/files/errors.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace files::os {

namespace {

// A full disk or a used-up quota. The runtime has no number of its own for
// it (its Access Denied would name another cause), so it is a File System
// Error whose text says the disk is full.
bool disk_full(const std::error_code& ec) {
  if (ec == std::errc::no_space_on_device) return true;
#ifdef _WIN32
  return ec.value() == ERROR_DISK_FULL || ec.value() == ERROR_HANDLE_DISK_FULL;
#else
  return ec.value() == EDQUOT &&
         (ec.category() == std::generic_category() || ec.category() == std::system_category());
#endif
}

}  // namespace

int error_number(const std::error_code& ec, const std::filesystem::path& path) {
  if (disk_full(ec)) return kFileSystemError;
  if (ec == std::errc::no_such_file_or_directory) {
    // A missing directory on the way is the runtime's "Path Not Found".
    std::error_code ignored;
    std::filesystem::path parent = path.parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, ignored)) return kPathNotFound;
    return kFileNotFound;
  }
  if (ec == std::errc::not_a_directory) return kPathNotFound;
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system || ec == std::errc::is_a_directory || ec == std::errc::resource_unavailable_try_again ||
      ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy)
    return kAccessDenied;
  if (ec == std::errc::too_many_files_open || ec == std::errc::too_many_files_open_in_system)
    return kTooManyOpenFiles;
  if (ec == std::errc::filename_too_long || ec == std::errc::invalid_argument) return kInvalidFilename;
  if (ec == std::errc::not_enough_memory) return kInsufficientMemory;
#ifdef _WIN32
  switch (ec.value()) {
    case ERROR_FILE_NOT_FOUND: return kFileNotFound;
    case ERROR_PATH_NOT_FOUND: return kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return kAccessDenied;
    case ERROR_INVALID_DRIVE: return kInvalidDrive;
    case ERROR_INVALID_NAME: return kInvalidFilename;
    default: break;
  }
#endif
  return kFileSystemError;
}

int post_error(const std::error_code& ec, const std::filesystem::path& path) {
  int code = error_number(ec, path);
  if (code == kFileSystemError) {
    set_driver_error(code, std::to_string(ec.value()), disk_full(ec) ? "Disk full (" + ec.message() + ")" : ec.message());
  } else {
    set_error(code);
  }
  return code;
}

#ifdef _WIN32

std::error_code File::open(const std::filesystem::path& path, int access_mode) {
  close();
  int access = access_mode & 0x0F, share = access_mode & 0xF0;
  DWORD desired = access == 0 ? GENERIC_READ : access == 1 ? GENERIC_WRITE : GENERIC_READ | GENERIC_WRITE;
  DWORD sharing = share == 0x10   ? 0
                  : share == 0x20 ? FILE_SHARE_READ
                  : share == 0x30 ? FILE_SHARE_WRITE
                                  : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE h = CreateFileW(path.c_str(), desired, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {static_cast<int>(GetLastError()), std::system_category()};
  handle_ = h;
  writable_ = access != 0;
  return {};
}

std::error_code File::append(const char* data, std::size_t n) {
  HANDLE h = static_cast<HANDLE>(handle_);
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(h, zero, nullptr, FILE_END)) return {static_cast<int>(GetLastError()), std::system_category()};
  while (n > 0) {
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n), written = 0;
    if (!WriteFile(h, data, chunk, &written, nullptr)) return {static_cast<int>(GetLastError()), std::system_category()};
    data += written;
    n -= written;
  }
  return {};
}

std::error_code File::close() {
  if (!handle_) return {};
  BOOL ok = CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  writable_ = false;
  if (!ok) return {static_cast<int>(GetLastError()), std::system_category()};
  return {};
}

bool File::is_open() const { return handle_ != nullptr; }

std::error_code create_empty(const std::filesystem::path& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {static_cast<int>(GetLastError()), std::system_category()};
  CloseHandle(h);
  return {};
}

std::error_code remove_file(const std::filesystem::path& path) {
  if (!DeleteFileW(path.c_str())) return {static_cast<int>(GetLastError()), std::system_category()};
  return {};
}

#else

namespace {
std::error_code last_error() { return {errno, std::generic_category()}; }
}  // namespace

std::error_code File::open(const std::filesystem::path& path, int access_mode) {
  close();
  int access = access_mode & 0x0F, share = access_mode & 0xF0;
  // Every write appends, so a writable handle is opened for appending: no seek
  // to the end before each write.
  int flags = (access == 0 ? O_RDONLY : (access == 1 ? O_WRONLY : O_RDWR) | O_APPEND) | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) return last_error();
  // Sharing as far as POSIX goes: advisory whole-file locks. A denying open
  // holds the lock alone; one that denies nothing shares it.
  int lock = (share == 0x40 ? LOCK_SH : LOCK_EX) | LOCK_NB;
  if (::flock(fd, lock) != 0) {
    std::error_code ec = last_error();
    ::close(fd);
    return ec == std::errc::operation_would_block ? std::make_error_code(std::errc::permission_denied) : ec;
  }
  fd_ = fd;
  writable_ = access != 0;
  return {};
}

std::error_code File::append(const char* data, std::size_t n) {
  while (n > 0) {
    ssize_t written = ::write(fd_, data, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    data += written;
    n -= static_cast<std::size_t>(written);
  }
  return {};
}

std::error_code File::close() {
  if (fd_ < 0) return {};
  int rc = ::close(fd_);
  fd_ = -1;
  writable_ = false;
  if (rc != 0) return last_error();
  return {};
}

bool File::is_open() const { return fd_ >= 0; }

namespace {
// Whether another open of the file denies us; Windows refuses to truncate or
// delete a file that is open elsewhere, and the advisory lock tells us so here.
bool held_elsewhere(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return true;
  ::flock(fd, LOCK_UN);
  return false;
}
}  // namespace

std::error_code create_empty(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return last_error();
  std::error_code ec;
  if (held_elsewhere(fd)) {
    ec = std::make_error_code(std::errc::permission_denied);
  } else if (::ftruncate(fd, 0) != 0) {
    ec = last_error();
  }
  ::close(fd);
  return ec;
}

std::error_code remove_file(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    bool held = held_elsewhere(fd);
    ::close(fd);
    if (held) return std::make_error_code(std::errc::permission_denied);
  }
  std::error_code ec;
  if (!std::filesystem::remove(path, ec) && !ec) ec = std::make_error_code(std::errc::no_such_file_or_directory);
  return ec;
}

#endif

}  // namespace files::os
