#include "platform/abc/ini_manager.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace abc {

namespace {

constexpr std::string_view kSectorSection = "__Dont_Touch_Me__";

std::vector<std::string> read_lines(const std::string& file) {
  std::ifstream in(files::os_path(file), std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool write_lines(const std::string& file, const std::vector<std::string>& lines) {
  std::ofstream out(files::os_path(file), std::ios::binary | std::ios::trunc);
  for (const std::string& l : lines) out << l << "\r\n";
  return static_cast<bool>(out);
}

bool same_name(std::string_view a, std::string_view b) { return text::upper(a) == text::upper(b); }

// "[name]" -> name; not a section line: false.
bool section_of(std::string_view line, std::string_view& name) {
  line = text::trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = text::trim(line.substr(1, close - 1));
  return true;
}

// "key=value" -> key and value; not such a line: false.
bool entry_of(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = text::trim(line.substr(0, eq));
  value = text::trim(line.substr(eq + 1));
  return !key.empty();
}

bool yes(std::string_view v) { return same_name(text::trim(v), "Yes"); }
bool no(std::string_view v) { return same_name(text::trim(v), "No"); }

}  // namespace

void IniManager::Init(std::string_view file_name, int, int) {
  file_name_ = std::string(file_name);
  initialized_ = true;
  sectors_.clear();
  const int n = text::to_long(Fetch(kSectorSection, "Sectors"));
  for (int i = 1; i <= n; ++i) {
    std::string entry = Fetch(kSectorSection, "Sectors_" + text::int_text(i));
    if (!entry.empty()) sectors_.push_back(std::move(entry));
  }
  sectors_read_ = sectors_;
}

void IniManager::Kill() {
  if (initialized_ && sectors_ != sectors_read_) {
    Update(kSectorSection, "Sectors", text::int_text(static_cast<std::int64_t>(sectors_.size())));
    for (std::size_t i = 0; i < sectors_.size(); ++i) {
      Update(kSectorSection, "Sectors_" + text::int_text(static_cast<std::int64_t>(i + 1)), sectors_[i]);
    }
  }
  sectors_.clear();
  sectors_read_.clear();
  initialized_ = false;
}

void IniManager::AddSector(std::string_view family, std::string_view item, int type) {
  std::string entry = std::string(family) + "," + std::string(item) + "," + text::int_text(type);
  if (std::find(sectors_.begin(), sectors_.end(), entry) == sectors_.end()) sectors_.push_back(std::move(entry));
}

std::string IniManager::Fetch(std::string_view section, std::string_view key, std::string_view fallback) const {
  bool inside = false;
  for (const std::string& line : read_lines(file_name_)) {
    std::string_view name, k, v;
    if (section_of(line, name)) {
      inside = same_name(name, section);
    } else if (inside && entry_of(line, k, v) && same_name(k, key)) {
      return std::string(v);
    }
  }
  return std::string(fallback);
}

void IniManager::Update(std::string_view section, std::string_view key, std::string_view value) {
  std::vector<std::string> lines = read_lines(file_name_);
  const std::string entry = std::string(key) + "=" + std::string(value);
  bool inside = false;
  std::size_t section_end = lines.size();  // where a new key of the section goes
  bool found_section = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name, k, v;
    if (section_of(lines[i], name)) {
      if (inside) break;
      inside = same_name(name, section);
      if (inside) {
        found_section = true;
        section_end = i + 1;
      }
    } else if (inside) {
      if (entry_of(lines[i], k, v) && same_name(k, key)) {
        lines[i] = entry;
        write_lines(file_name_, lines);
        return;
      }
      if (!text::blank(lines[i])) section_end = i + 1;
    }
  }
  if (found_section) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(section_end), entry);
  } else {
    std::string head(1, '[');
    head.append(section).push_back(']');
    lines.push_back(std::move(head));
    lines.push_back(entry);
  }
  write_lines(file_name_, lines);
}

void IniManager::RestoreWindow(std::string_view section, window::Window& w) {
  const std::string maximize = Fetch(section, "Maximize");
  if (!yes(maximize) && !no(maximize)) return;
  if (w.property(window::PROP_Maximize) == "1") w.set_property(window::PROP_Maximize, std::int64_t{0});
  const std::string x = Fetch(section, "XPos");
  if (!x.empty()) {
    w.set_property(window::PROP_Xpos, text::to_long(x));
    w.set_property(window::PROP_Ypos, text::to_long(Fetch(section, "YPos")));
    if (w.property(window::PROP_Resize) == "1") {
      const std::string width = Fetch(section, "Width");
      const std::string height = Fetch(section, "Height");
      if (!width.empty()) w.set_property(window::PROP_Width, text::to_long(width));
      if (!height.empty()) w.set_property(window::PROP_Height, text::to_long(height));
    }
  }
  if (yes(maximize)) w.set_property(window::PROP_Maximize, std::int64_t{1});
  if (yes(Fetch(section, "Minimize"))) w.set_property(window::PROP_Iconize, std::int64_t{1});
}

void IniManager::SaveWindow(std::string_view section, window::Window& w) {
  const bool maximized = w.property(window::PROP_Maximize) == "1";
  const bool minimized = w.property(window::PROP_Iconize) == "1";
  Update(section, "Maximize", maximized ? "Yes" : "No");
  Update(section, "Minimize", minimized ? "Yes" : "No");
  if (!maximized && !minimized) {
    Update(section, "XPos", w.property(window::PROP_Xpos));
    Update(section, "YPos", w.property(window::PROP_Ypos));
    if (w.property(window::PROP_Resize) == "1") {
      Update(section, "Width", w.property(window::PROP_Width));
      Update(section, "Height", w.property(window::PROP_Height));
    }
  }
  AddSector(section, "Window", 0);
}

}  // namespace abc
