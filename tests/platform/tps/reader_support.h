// Shared by the reader tests: a field-less declaration over a named file with
// its own record storage, and the paths of the sample tables (tests/samples.h
// finds them).
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
#include "tests/samples.h"

namespace reader_test {

inline std::string sample(const std::string& relative) { return samples::path(relative); }

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
