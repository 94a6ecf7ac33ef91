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

namespace {

bool starts_with_upper(std::string_view word, std::string_view upper_prefix) {
  return word.size() >= upper_prefix.size() && text::upper(word.substr(0, upper_prefix.size())) == upper_prefix;
}

// The word without the switch mark a shell lets through: "--", "-" or "/"
// (a POSIX shell eats an unquoted "\"); the word itself when it has none.
std::string_view without_mark(std::string_view word) {
  if (word.starts_with("--")) return word.substr(2);
  if (word.starts_with('-') || word.starts_with('/')) return word.substr(1);
  return {};
}

}  // namespace

std::string command(std::string_view name) {
  const std::string prefix = text::upper(name) + "=";
  const bool backslash_switch = name.size() > 1 && name[0] == '\\';
  const std::string bare = backslash_switch ? prefix.substr(1) : std::string();
  for (const std::string& w : words(command_line())) {
    if (starts_with_upper(w, prefix)) return w.substr(prefix.size());
    if (!backslash_switch) continue;
    const std::string_view rest = without_mark(w);
    if (!rest.empty() && starts_with_upper(rest, bare)) return std::string(rest.substr(bare.size()));
  }
  return {};
}

}  // namespace files
