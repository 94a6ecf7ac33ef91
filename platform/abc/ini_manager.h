// The class library's INI manager in INI-file mode: a file name kept as
// given (relative names resolve against the directory current at each read
// or write), the manager's section list read at Init and written back at
// Kill, and the windows' geometry: "Maximize", "Minimize", "XPos", "YPos",
// "Width" and "Height" in one section per window procedure.
//
// The file is a plain INI file: "[section]" lines and "key=value" lines,
// sections and keys found without regard to case, a value without the blanks
// around it. Writing a key changes its line in place (or adds it at the end of
// its section, or a new section at the end of the file) and leaves every other
// line as it was. The section list lives in "[__Dont_Touch_Me__]" as
// "Sectors=n" and "Sectors_1".."Sectors_n", each "family,item,type"; the
// windows enter their section as "section,Window,0" when they save. Kill
// writes the list only when it differs from the one read, so a run that saved
// nothing leaves the file untouched (or absent).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace window {
class Window;
}

namespace abc {

class IniManager {
 public:
  // kind 0: an INI file.
  void Init(std::string_view file_name, int kind = 0, int extra = 0);
  void BeforeKill() {}
  void Kill();

  std::string Fetch(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  void Update(std::string_view section, std::string_view key, std::string_view value);

  // Restoring does nothing when the section is absent and iconises the
  // window when "Minimize" is "Yes". Saving writes "Maximize" and "Minimize"
  // as "Yes" or "No", and the position and size (the size only for a
  // resizable window) only for a window neither maximised nor minimised.
  void RestoreWindow(std::string_view section, window::Window& w);
  void SaveWindow(std::string_view section, window::Window& w);

  const std::string& file_name() const { return file_name_; }
  bool initialized() const { return initialized_; }
  const std::vector<std::string>& sections() const { return sectors_; }
  // Enters a "family,item,type" entry in the section list (once).
  void AddSector(std::string_view family, std::string_view item, int type);

 private:
  std::string file_name_;
  bool initialized_ = false;
  std::vector<std::string> sectors_;
  std::vector<std::string> sectors_read_;
};

}  // namespace abc
