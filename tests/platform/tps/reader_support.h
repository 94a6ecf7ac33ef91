// Shared by the reader tests: a field-less declaration over a named file with
// its own record storage, and the paths of the sample tables.
#pragma once

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/errors.h"
#include "platform/tps/declaration.h"
#include "platform/tps/format.h"

namespace reader_test {

// Every table under the samples folder but the encrypted one, in path order.
inline std::vector<std::filesystem::path> plain_sample_tables() {
  std::vector<std::filesystem::path> found;
  for (const auto& e : std::filesystem::recursive_directory_iterator(QM_SAMPLES_DIR)) {
    std::string ext = e.path().extension().string();
    for (auto& ch : ext) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (e.is_regular_file() && ext == ".TPS" && e.path().parent_path().filename() != "encrypted")
      found.push_back(e.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

inline std::string sample(const std::string& relative) {
  return std::string(QM_SAMPLES_DIR) + "/" + relative;
}

struct Table {
  std::string name;
  std::string owner;
  std::vector<char> storage = std::vector<char>(tps::Declaration::kRecordStorage);
  tps::Declaration file{[this] { return name; }, [this] { return owner; }, storage.data()};

  explicit Table(std::string n = {}) : name(std::move(n)) {}

  // The pointers of every row, reading from SET() with NEXT.
  std::vector<std::int32_t> pointers() {
    std::vector<std::int32_t> out;
    file.set();
    while (file.next() == 0) out.push_back(file.pointer());
    return out;
  }
  std::string text(std::size_t offset, std::size_t length) const {
    std::string s(storage.data() + offset, length);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  std::string cstring(std::size_t offset, std::size_t length) const {
    return std::string(storage.data() + offset, strnlen(storage.data() + offset, length));
  }
  std::int32_t long_at(std::size_t offset) const {
    std::int32_t v;
    std::memcpy(&v, storage.data() + offset, 4);
    return v;
  }
  std::vector<unsigned char> bytes(std::size_t offset, std::size_t length) const {
    return std::vector<unsigned char>(storage.begin() + static_cast<std::ptrdiff_t>(offset),
                                      storage.begin() + static_cast<std::ptrdiff_t>(offset + length));
  }
};

}  // namespace reader_test
