// Where the tests find the real sample tables: the folder the environment
// variable QM_SAMPLES_DIR names when it is set, else the folder the build
// compiled in (the checkout's ../shared/samples unless configured otherwise).
// A test that reads them starts with QM_NEEDS_SAMPLES(), so that a checkout
// without them reports the test as skipped, with the folder it looked in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace samples {

inline std::filesystem::path dir() {
  const char* given = std::getenv("QM_SAMPLES_DIR");
  return given != nullptr && *given != '\0' ? std::filesystem::path(given)
                                            : std::filesystem::path(QM_SAMPLES_DIR);
}

inline bool present() {
  std::error_code ec;
  return std::filesystem::is_directory(dir(), ec);
}

// The path of a sample below the folder, as text ("Tutor/CUSTOMER.TPS").
inline std::string path(const std::string& relative) { return dir().string() + "/" + relative; }

// Every table under the folder but the encrypted ones, in path order.
inline std::vector<std::filesystem::path> plain_tables() {
  std::vector<std::filesystem::path> found;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir())) {
    std::string ext = e.path().extension().string();
    for (auto& ch : ext) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (e.is_regular_file() && ext == ".TPS" && e.path().parent_path().filename() != "encrypted")
      found.push_back(e.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace samples

// Skips the running test (from its body or its fixture's SetUp) when the
// sample tables are not there.
#define QM_NEEDS_SAMPLES()                                                          \
  do {                                                                              \
    if (!::samples::present())                                                      \
      GTEST_SKIP() << "real sample tables not found at " << ::samples::dir().string(); \
  } while (false)
