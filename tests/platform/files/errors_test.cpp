#include "platform/files/errors.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ErrorState, StandardTextsOfTheCodesTheSystemShows) {
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {0, ""},
      {2, "File Not Found"},
      {3, "Path Not Found"},
      {5, "Access Denied"},
      {8, "Insufficient Memory"},
      {30, "Entry Not Found"},
      {33, "Record Not Available"},
      {35, "Record Not Found"},
      {36, "Invalid Data File"},
      {37, "File Not Open"},
      {40, "Creates Duplicate Key"},
      {46, "Key Files must be Rebuilt"},
      {47, "Invalid Record Declaration"},
      {52, "File Already Open"},
      {80, "Function not supported"},
      {90, "File System Error"},
      {94, "Record limit exceeded"},
      {1010, "Illegal Expression"},
      {1011, "Variable Not Found"},
      {1012, "Mismatched POPBIND"},
      {1015, "Parameters Omitted"},
      {-1, "Unknown Error"},
      {999, "Unknown Error"},
  };
  for (const Case& c : cases) EXPECT_EQ(files::standard_error_text(c.code), c.text) << c.code;
}

TEST(ErrorState, DriverCodeAndTextLastOnlyUntilTheNextError) {
  files::set_driver_error(90, "2272", "encryption block invalid size");
  EXPECT_EQ(files::error_code(), 90);
  EXPECT_EQ(files::error_text(), "File System Error");
  EXPECT_EQ(files::file_error_code(), "2272");
  EXPECT_EQ(files::file_error(), "encryption block invalid size");

  files::set_error(33);
  EXPECT_EQ(files::error_code(), 33);
  EXPECT_EQ(files::error_text(), "Record Not Available");
  EXPECT_EQ(files::file_error_code(), "");
  EXPECT_EQ(files::file_error(), "");

  files::set_driver_error(47, "47", "bad record");
  files::clear_error();
  EXPECT_EQ(files::error_code(), 0);
  EXPECT_EQ(files::error_text(), "");
  EXPECT_EQ(files::file_error_code(), "");
  EXPECT_EQ(files::file_error(), "");
}

TEST(ErrorState, EachThreadHasItsOwn) {
  files::set_error(2);
  int seen_there = -1;
  std::thread other([&] {
    seen_there = files::error_code();
    files::set_driver_error(90, "1", "other thread");
  });
  other.join();
  EXPECT_EQ(seen_there, 0);
  EXPECT_EQ(files::error_code(), 2);
  EXPECT_EQ(files::file_error(), "");
}

}  // namespace
