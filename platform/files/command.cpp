#include "platform/files/command.h"

#include <utility>

#include "platform/text/text.h"

namespace files {

namespace {

std::string& command_line() {
  static std::string line;
  return line;
}

std::vector<std::string> words(std::string_view line) {
  std::vector<std::string> out;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (c == ' ' || c == ',')) {
      if (any) out.push_back(std::move(word));
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) out.push_back(std::move(word));
  return out;
}

}  // namespace

void set_command_line(std::vector<std::string> args) {
  std::string line;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool grouped = a.find(' ') != std::string::npos && a.find('"') == std::string::npos;
    if (!line.empty()) line += ' ';
    if (grouped) {
      line += '"' + a + '"';
    } else {
      line += a;
    }
  }
  command_line() = std::move(line);
}

std::string command(std::string_view name) {
  std::string prefix = text::upper(name) + "=";
  for (const std::string& w : words(command_line())) {
    if (w.size() >= prefix.size() && text::upper(std::string_view(w).substr(0, prefix.size())) == prefix)
      return w.substr(prefix.size());
  }
  return {};
}

}  // namespace files
