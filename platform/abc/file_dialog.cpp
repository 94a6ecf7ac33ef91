#include "platform/abc/file_dialog.h"

#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace abc {

void FileDialog::Init() {
  Flags = window::FILE_LongName;
  ClearOnCancel = false;
  DefaultDirectory.clear();
  DefaultFile.clear();
  Title.clear();
  masks_.clear();
}

void FileDialog::SetMask(std::string_view description, std::string_view pattern) {
  masks_.clear();
  AddMask(description, pattern);
}

void FileDialog::AddMask(std::string_view description, std::string_view pattern) {
  if (!masks_.empty()) masks_ += '|';
  masks_ += description;
  masks_ += '|';
  masks_ += pattern;
}

std::string FileDialog::Ask(bool restore_path) {
  const std::string before = files::path();
  // A default directory that does not exist leaves the current one: the
  // dialog then opens there, and the failed SETPATH is no error of the caller's.
  if (!text::blank(DefaultDirectory)) {
    files::setpath(DefaultDirectory);
    files::clear_error();
  }
  std::string file(text::clip(DefaultFile));
  const bool chosen = window::filedialog(Title, file, masks_, Flags);
  if (!chosen && ClearOnCancel) file.clear();
  if (restore_path) {
    files::setpath(before);
    files::clear_error();
  }
  return file;
}

}  // namespace abc
