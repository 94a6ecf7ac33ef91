// A fresh directory for one test, removed afterwards, with the current
// directory put back as it was.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("qm-files-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(saved_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  static std::string read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // The scratch directory in the runtime's form: "\" separators.
  std::string runtime_dir() const {
    std::string s = dir_.string();
    for (char& c : s)
      if (c == '/') c = '\\';
    return s;
  }

  std::filesystem::path saved_;
  std::filesystem::path dir_;
};
