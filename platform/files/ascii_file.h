// The ASCII driver's declaration: a file name taken from a variable and a
// record storage of 65520 bytes. The system performs no operation on it; its
// record is the storage into which the TopSpeed declaration reads records.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/files/name_source.h"

namespace files {

class AsciiFile {
 public:
  static constexpr std::size_t kRecordSize = 65520;

  explicit AsciiFile(NameSource name);
  AsciiFile(const AsciiFile&) = delete;
  AsciiFile& operator=(const AsciiFile&) = delete;

  // The record storage: kRecordSize bytes, blanks until something is read into it.
  char* record() { return record_.get(); }
  const char* record() const { return record_.get(); }
  // The name the declaration would reach now.
  std::string name() const { return name_ ? name_() : std::string(); }

 private:
  NameSource name_;
  std::unique_ptr<char[]> record_;
};

}  // namespace files
