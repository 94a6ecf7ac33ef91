#include "platform/files/paths.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/files/errors.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
TEST(OsPath, BothSeparatorsAndTheDriveLetter) {
  struct Case {
    const char* runtime;
    const char* os;
  };
  const Case cases[] = {
      {"data\\out\\x.csv", "data/out/x.csv"},
      {"data/out/x.csv", "data/out/x.csv"},
      {"data\\out/x.csv", "data/out/x.csv"},
      {"C:\\data\\x.tps", "/data/x.tps"},
      {"c:/data\\x.tps", "/data/x.tps"},
      {"C:rel\\x.tps", "rel/x.tps"},
      {"\\tmp\\q\\", "/tmp/q/"},
      {".\\quillomar.INI", "./quillomar.INI"},
      {"dir\\name with blanks.tps   ", "dir/name with blanks.tps"},
      {"1:\\x", "1:/x"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(files::os_path(c.runtime).string(), c.os) << c.runtime;
}
#endif

using Paths = ScratchDir;

TEST_F(Paths, SetpathTakesEitherSeparatorAndAClosingOne) {
  fs::create_directories(dir_ / "in" / "deep");
  const std::string base = runtime_dir();
  const std::string forms[] = {
      base + "\\in\\deep", base + "\\in\\deep\\", base + "/in/deep", base + "/in\\deep/", base + "\\in\\deep\\   ",
  };
  for (const std::string& f : forms) {
    fs::current_path(saved_);
    files::set_error(2);
    EXPECT_TRUE(files::setpath(f)) << f;
    EXPECT_EQ(files::error_code(), 0) << f;
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_ / "in" / "deep")) << f;
  }
  EXPECT_TRUE(files::setpath(".."));
  EXPECT_TRUE(files::setpath("deep\\..\\deep"));  // relative to the current directory
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_ / "in" / "deep"));
}

TEST_F(Paths, AFailedSetpathKeepsTheCurrentDirectory) {
  fs::current_path(dir_);
  write(dir_ / "file.txt", "x");
  for (const std::string& bad : {runtime_dir() + "\\missing\\", std::string("file.txt"), std::string(""),
                                 std::string("   ")}) {
    files::clear_error();
    EXPECT_FALSE(files::setpath(bad)) << bad;
    EXPECT_EQ(files::error_code(), 3) << bad;
    EXPECT_EQ(files::error_text(), "Path Not Found");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_)) << bad;
  }
}

TEST_F(Paths, PathLongpathAndShortpathGiveTheFullForm) {
  fs::create_directories(dir_ / "Long Directory Name");
  fs::current_path(dir_ / "Long Directory Name");
  EXPECT_TRUE(fs::equivalent(files::path(), dir_ / "Long Directory Name"));
  EXPECT_TRUE(fs::equivalent(files::longpath(), dir_ / "Long Directory Name"));
  EXPECT_TRUE(fs::equivalent(files::longpath(files::shortpath()), dir_ / "Long Directory Name"));
  EXPECT_EQ(files::longpath(), files::path());
  EXPECT_TRUE(fs::equivalent(files::longpath("..\\Long Directory Name\\.\\"), dir_ / "Long Directory Name"));
  std::string full = files::longpath("..\\Long Directory Name\\");
  EXPECT_TRUE(fs::path(full).is_absolute());
  EXPECT_NE(full.back(), '/');
  EXPECT_EQ(full.find(".."), std::string::npos);
}

TEST_F(Paths, SameFileAsksTheFileSystemNotTheSpelling) {
  fs::create_directories(dir_ / "in");
  write(dir_ / "in" / "orders", "table");
  write(dir_ / "in" / "other", "table");
  fs::current_path(dir_);
  const std::string base = runtime_dir();
  struct Case {
    std::string a, b;
    bool same;
  };
  std::vector<Case> cases = {
      {base + "\\in\\orders", base + "/in/orders", true},
      {base + "\\in\\orders", "in\\orders   ", true},           // relative, trailing blanks
      {base + "\\in\\orders", base + "\\in\\.\\..\\in\\orders", true},
      {base + "\\in\\orders", base + "\\in\\other", false},
      {base + "\\in\\orders", base + "\\in\\missing", false},   // a file that is not there yet
      {base + "\\in\\missing", base + "\\in\\missing", false},
      {"", "", false},
  };
#ifndef _WIN32
  fs::create_hard_link(dir_ / "in" / "orders", dir_ / "hard");
  fs::create_symlink(dir_ / "in" / "orders", dir_ / "soft");
  cases.push_back({base + "\\in\\orders", base + "\\hard", true});
  cases.push_back({base + "\\soft", base + "\\in\\orders", true});
#endif
  for (const Case& c : cases) EXPECT_EQ(files::same_file(c.a, c.b), c.same) << c.a << " | " << c.b;
}

}  // namespace
