#include "platform/files/dos_file.h"

#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/files/errors.h"
#include "platform/files/os_file.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"

namespace files {

namespace {

// The file the name variable holds now; an empty name is no file at all.
bool named_path(const NameSource& name, std::filesystem::path& out) {
  std::string n = name ? name() : std::string();
  out = os_path(n);
  if (out.empty()) {
    set_error(kFileNotFound);
    return false;
  }
  return true;
}

int done() {
  clear_error();
  return kNoError;
}

int fail(int code) {
  set_error(code);
  return code;
}

}  // namespace

DosFile::DosFile(NameSource name)
    : name_(std::move(name)), record_(new char[kRecordSize]), file_(std::make_unique<os::File>()) {
  std::memset(record_.get(), ' ', kRecordSize);
}

DosFile::~DosFile() = default;

bool DosFile::is_open() const { return file_->is_open(); }

int DosFile::remove() {
  if (is_open()) return fail(kFileAlreadyOpen);
  std::filesystem::path p;
  if (!named_path(name_, p)) return error_code();
  if (std::error_code ec = os::remove_file(p)) return os::post_error(ec, p);
  return done();
}

int DosFile::create() {
  if (is_open()) return fail(kFileAlreadyOpen);
  std::filesystem::path p;
  if (!named_path(name_, p)) return error_code();
  if (std::error_code ec = os::create_empty(p)) return os::post_error(ec, p);
  return done();
}

int DosFile::open(int access_mode) {
  if (is_open()) return fail(kFileAlreadyOpen);
  std::filesystem::path p;
  if (!named_path(name_, p)) return error_code();
  // A directory opens for reading only; a writable open of one is refused by
  // the system itself with the same error, without a look at the path first.
  std::error_code ignored;
  if ((access_mode & 0x0F) == 0 && std::filesystem::is_directory(p, ignored)) return fail(kAccessDenied);
  if (std::error_code ec = file_->open(p, access_mode)) return os::post_error(ec, p);
  return done();
}

int DosFile::add(std::size_t n) {
  if (!is_open()) return fail(kFileNotOpen);
  if (!file_->writable()) return fail(kAccessDenied);
  if (n > kRecordSize) return fail(kInvalidNumberOfParameters);
  if (std::error_code ec = file_->append(record_.get(), n)) return os::post_error(ec, {});
  return done();
}

int DosFile::close() {
  if (!is_open()) return fail(kFileNotOpen);
  if (std::error_code ec = file_->close()) return os::post_error(ec, {});
  return done();
}

}  // namespace files
