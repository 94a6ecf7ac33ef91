#include "platform/files/ascii_file.h"

#include <cstring>
#include <utility>

namespace files {

AsciiFile::AsciiFile(NameSource name) : name_(std::move(name)), record_(new char[kRecordSize]) {
  std::memset(record_.get(), ' ', kRecordSize);
}

}  // namespace files
