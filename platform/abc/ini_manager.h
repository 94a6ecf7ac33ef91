// The class library's INI manager in INI-file mode: a file name kept as
// given (relative names resolve against the directory current at each read
// or write), the manager's section list read at Init and written back at
// Kill, and the windows' geometry: "Maximize", "Minimize", "XPos", "YPos",
// "Width" and "Height" in one section per window procedure.
#pragma once

#include <string>
#include <string_view>

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
};

}  // namespace abc
