// The one place that meets the operating system's files: a handle opened with
// the runtime's access modes and sharing, and the runtime's error number for
// an operating-system failure. Inside platform/files only.
#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>

namespace files::os {

// The runtime's error number for a failed operation on `path`.
int error_number(const std::error_code& ec, const std::filesystem::path& path);

// Posts the error of a failed operation on `path` (90 with the system's own
// code and text when no runtime number fits; a full disk or quota is one, its
// text starting "Disk full") and returns its number.
int post_error(const std::error_code& ec, const std::filesystem::path& path);

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { close(); }

  // Access mode: low nibble 0 read, 1 write, 2 read and write; high nibble the
  // sharing: 0x10 deny all, 0x20 deny write, 0x30 deny read, 0x40 deny none.
  std::error_code open(const std::filesystem::path& path, int access_mode);
  // Appends n bytes at the end of the file.
  std::error_code append(const char* data, std::size_t n);
  std::error_code close();
  bool is_open() const;
  bool writable() const { return writable_; }

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  bool writable_ = false;
};

// Creates an empty file, replacing the contents of one that exists; refused
// while another open of the file denies others.
std::error_code create_empty(const std::filesystem::path& path);
// Deletes a file; refused while another open of it denies others.
std::error_code remove_file(const std::filesystem::path& path);

}  // namespace files::os
