// Shared by the writer tests: a scratch folder per test, and every record of a
// written file read back through the reader, so the tests check the bytes as
// a reader meets them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/tps/source.h"
#include "platform/tps/tps_file.h"

namespace writer_test {

namespace fs = std::filesystem;

// A folder of its own for the running test, removed afterwards. The random
// part keeps test runs of several checkouts on one machine apart.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("qm_writer_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
             std::to_string(random()) + std::to_string(random()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

using Record = std::pair<std::string, std::string>;  // header, data

// Every record of the file's tree in tree order; fails the test on damage.
inline std::vector<Record> read_records(const fs::path& path) {
  std::vector<Record> out;
  auto source = std::make_unique<tps::FileSource>();
  EXPECT_TRUE(source->open(path)) << path;
  tps::TpsFile file;
  const tps::Fault f = file.open(std::move(source));
  EXPECT_FALSE(f) << f.text;
  if (f) return out;
  tps::TreeCursor cursor(file);
  bool ok = cursor.first();
  while (ok && cursor.valid()) {
    out.emplace_back(std::string(cursor.header()), std::string(cursor.data()));
    ok = cursor.next();
  }
  EXPECT_TRUE(ok) << cursor.fault();
  return out;
}

inline std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (unsigned char c : bytes) {
    s.push_back(digits[c >> 4]);
    s.push_back(digits[c & 15]);
  }
  return s;
}

// "80 00 00 01" -> the four bytes; blanks are ignored.
inline std::string unhex(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits.push_back(c);
  }
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  std::string s;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    s.push_back(static_cast<char>(nibble(digits[i]) << 4 | nibble(digits[i + 1])));
  }
  return s;
}

}  // namespace writer_test
