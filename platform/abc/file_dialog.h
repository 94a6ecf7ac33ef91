// The class library's file dialog object: the settings of one file dialog
// kept between its showings. Init sets the flags to FILE:LongName (16) and
// clears the masks, the default directory and file and the title. Ask makes
// the default directory current when it is not blank, shows the dialog with
// the default file proposed, and answers the chosen name; when the user
// cancels it answers an empty text with ClearOnCancel set, else the proposed
// file. With `restore_path` the directory that was current before Ask is
// current again afterwards, whatever the dialog changed.
#pragma once

#include <string>
#include <string_view>

namespace abc {

class FileDialog {
 public:
  void Init();
  // A mask is a description and a pattern ("TPS Files", "*.TPS"); SetMask
  // replaces the masks, AddMask appends one.
  void SetMask(std::string_view description, std::string_view pattern);
  void AddMask(std::string_view description, std::string_view pattern);
  std::string Ask(bool restore_path = false);

  // "description|pattern|description|pattern", as the dialog takes them.
  const std::string& Masks() const { return masks_; }

  int Flags = 0;
  bool ClearOnCancel = false;
  std::string DefaultDirectory;
  std::string DefaultFile;
  std::string Title;

 private:
  std::string masks_;
};

}  // namespace abc
