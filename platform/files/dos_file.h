// The DOS driver as the export writes its output: a declaration whose file
// name comes from a variable, read at every REMOVE, CREATE and OPEN, and one
// record of 64000 bytes through which bytes are appended. Every operation
// posts its outcome to the error state and returns the error number (0 done).
#pragma once

#include <cstddef>
#include <memory>

#include "platform/files/name_source.h"

namespace files {

namespace os {
class File;
}

class DosFile {
 public:
  static constexpr std::size_t kRecordSize = 64000;
  // The access mode the export opens its output with: write only, deny all.
  static constexpr int kWriteDenyAll = 0x11;

  explicit DosFile(NameSource name);
  ~DosFile();
  DosFile(const DosFile&) = delete;
  DosFile& operator=(const DosFile&) = delete;

  // REMOVE: deletes the named file (2 when there is none). 52 while open.
  int remove();
  // CREATE: makes the named file empty, creating it when missing; the file
  // stays closed. 52 while open.
  int create();
  // OPEN(file, mode): opens the named file, which must exist; mode as the
  // runtime's (low nibble 0 read, 1 write, 2 both; high nibble the sharing,
  // 0x10 deny all ... 0x40 deny none). 52 when already open, 5 when another
  // open of the file denies this one.
  int open(int access_mode);
  // ADD(file, n): appends the first n bytes of the record at the end of the
  // open file. 37 when not open, 5 when opened for reading only, 78 when n
  // exceeds the record (nothing is written then).
  int add(std::size_t n);
  // CLOSE. 37 when not open.
  int close();

  char* record() { return record_.get(); }
  const char* record() const { return record_.get(); }
  bool is_open() const;

 private:
  NameSource name_;
  std::unique_ptr<char[]> record_;
  std::unique_ptr<os::File> file_;
};

}  // namespace files
