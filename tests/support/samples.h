// Where the tests find the real sample tables: the folder the environment
// variable QM_SAMPLES names, else the one the build was configured with
// (../shared/samples beside the checkout). Every test program includes this
// first. A test that reads them starts with QM_NEEDS_SAMPLES(): without the
// folder it is skipped and says why, unless QM_SAMPLES_REQUIRED is set (CI
// always has them), and then it fails.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace qm_test {

inline const char* samples_dir() {
  static const std::string dir = [] {
    const char* env = std::getenv("QM_SAMPLES");
    return std::string(env && *env ? env : QM_SAMPLES_DEFAULT);
  }();
  return dir.c_str();
}

inline bool samples_present() {
  std::error_code ec;
  return std::filesystem::is_directory(samples_dir(), ec);
}

inline bool samples_required() {
  const char* env = std::getenv("QM_SAMPLES_REQUIRED");
  return env && *env && std::string(env) != "0";
}

}  // namespace qm_test

#define QM_SAMPLES_DIR (::qm_test::samples_dir())

#define QM_NEEDS_SAMPLES()                                                                          \
  do {                                                                                              \
    if (!::qm_test::samples_present()) {                                                            \
      if (::qm_test::samples_required()) FAIL() << "the real sample tables are not at " << QM_SAMPLES_DIR; \
      GTEST_SKIP() << "the real sample tables are not at " << QM_SAMPLES_DIR                        \
                   << " (set QM_SAMPLES to their folder)";                                          \
    }                                                                                               \
  } while (0)
