#include <gtest/gtest.h>

#include "tests/shell/main_window_support.h"

namespace main_window_test {
namespace {

using window::Window;

class Unattended : public MainWindowTest {};

TEST_F(Unattended, ExportsHiddenWithoutTheKeywordsAndSavesWithTheCommandLineTexts) {
  const std::string table = customers(40);
  fetch_and_close(table, "Cust", "CUS:NAME");
  start();
  fs::remove(dir_ / "OUT" / "CUS.CSV");
  const std::string ini_before = read(dir_ / "quillomar.INI");
  ASSERT_NE(ini_before.find("[Main]"), std::string::npos);
  const std::size_t shown_before = user().messages().size();

  // Whatever a scripted step sees, it sees during the export: nothing else waits.
  bool hidden = false, iconized = false;
  user().then([&](Window& w) {
    hidden = w.hidden();
    iconized = w.iconized();
  });
  EXPECT_EQ(restart({"\\auto=1", "\\query=cust", "\\select=\"TOP 5,CUS:CODE\"", "\\where=CUS:CODE > 30"}), 0);
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(iconized);
  EXPECT_EQ(user().steps_left(), 0u);
  EXPECT_EQ(user().messages().size(), shown_before);
  const auto lines = csv_lines("OUT/CUS.CSV");
  ASSERT_EQ(lines.size(), 11u);  // every record read, forwards: TOP 5 is not taken here
  EXPECT_EQ(lines[1], "\"31\"");
  EXPECT_EQ(globals::TopCount, 0);
  EXPECT_EQ(read(dir_ / "quillomar.INI"), ini_before);

  std::string select, where;
  user().then([&](Window&) {
    select = globals::GLO_SELECT.str();
    where = globals::GLO_WHERE.str();
  }).close_request();
  restart();  // by the tag, which moved to the query run last
  EXPECT_EQ(select, "TOP 5,CUS:CODE");
  EXPECT_EQ(where, "CUS:CODE > 30");
}

TEST_F(Unattended, AnUnknownNameRunsNothingSavesNothingAndFails) {
  fetch_and_close(customers(4), "Cust", "CUS:NAME");
  start();
  fs::remove(dir_ / "OUT" / "CUS.CSV");
  ::testing::internal::CaptureStderr();
  const int status = restart({"\\auto=1", "\\query=Nope", "\\select=CUS:CODE"});
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(status, 0);
  EXPECT_EQ(err, "Top Speed Quillomar Ver.1.01: No query named \"Nope\" is stored\n");
  EXPECT_FALSE(fs::exists(dir_ / "OUT" / "CUS.CSV"));
  std::string select;
  user().then([&](Window&) { select = globals::GLO_SELECT.str(); }).close_request();
  restart();
  EXPECT_EQ(select, "CUS:NAME");  // the stored query kept its texts
}

TEST_F(Unattended, AFailedExportEndsWithANonZeroStatus) {
  const std::string table = customers(4);
  fetch_and_close(table, "Cust");
  start();
  fs::remove(dir_ / "CUS.TPS");
  ::testing::internal::CaptureStderr();
  EXPECT_NE(restart({"\\auto=1", "\\query=Cust"}), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("2 OPEN(): File Not Found"), std::string::npos) << err;
}

}  // namespace
}  // namespace main_window_test
