// The record loop: which records TOP, BOTTOM and STARTAT read, the progress
// caption while it runs and after, the write boundaries of the output text,
// read errors and an output file that cannot be opened.
#include "engine/record_loop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "export_support.h"
#include "platform/tps/tps_file.h"
#include "tests/platform/tps/reader_craft.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using export_test::Type;
namespace fs = std::filesystem;

class RecordLoop : public export_test::Export {
 protected:
  // Records of one LONG field holding 1..n; their pointers are 2..n+1.
  std::string numbers(int n) {
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("NUMBER", Type::Long);
    for (int i = 1; i <= n; ++i) t.row().set("NUMBER", i);
    return write_table(file);
  }
  // The NUMBER column of every data line.
  std::vector<std::string> numbers_written() {
    std::vector<std::string> out = lines();
    if (!out.empty()) out.erase(out.begin());  // the header line
    return out;
  }
  std::string caption_end() const {
    const std::string c = main_.caption();
    const std::size_t at = c.find(" Record: ");
    return at == std::string::npos ? c : c.substr(at + 1);
  }
};

TEST_F(RecordLoop, TopBottomAndStartAt) {
  const std::string table = numbers(10);
  globals::GLO_SELECT = "PRE:NUMBER";
  struct Case {
    int top;
    bool bottom;
    int start_at;
    std::vector<std::string> written;
    std::string caption;
    int fetched;
  };
  const std::vector<Case> cases = {
      {0, false, 0, {"\"1\"", "\"2\"", "\"3\"", "\"4\"", "\"5\"", "\"6\"", "\"7\"", "\"8\"", "\"9\"", "\"10\""},
       "Record: 10 of 10", 10},
      {3, false, 0, {"\"1\"", "\"2\"", "\"3\""}, "Record: 3 of 10", 3},  // the fourth read is not tried
      {2, true, 0, {"\"10\"", "\"9\""}, "Record: 2 of 10", 2},
      {0, false, 5, {"\"4\"", "\"5\"", "\"6\"", "\"7\"", "\"8\"", "\"9\"", "\"10\""}, "Record: 7 of 10", 7},
      {0, true, 5, {"\"4\"", "\"3\"", "\"2\"", "\"1\""}, "Record: 4 of 10", 4},
      {2, false, 5, {"\"4\"", "\"5\""}, "Record: 2 of 10", 2},
      {20, false, 0, {"\"1\"", "\"2\"", "\"3\"", "\"4\"", "\"5\"", "\"6\"", "\"7\"", "\"8\"", "\"9\"", "\"10\""},
       "Record: 10 of 10", 10},
      {-1, false, 0, {}, "Record: 0 of 10", 1},  // the header line alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.top) + (c.bottom ? " bottom" : "") + " at " + std::to_string(c.start_at));
    globals::TopCount = c.top;
    globals::ReverseOrder = c.bottom;
    globals::StartAtPointer = c.start_at;
    ASSERT_EQ(run(table), engine::kExportDone);
    EXPECT_EQ(lines().front(), "\"PRE:NUMBER\"");
    EXPECT_EQ(numbers_written(), c.written);
    EXPECT_EQ(caption_end(), c.caption);
    EXPECT_EQ(globals::GLO_FETCHEDNO, c.fetched);
    EXPECT_EQ(globals::PreviewQueue.records(), c.written.size());
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(RecordLoop, AnEmptyTableLeavesAnEmptyFile) {
  tps::fixture::File file;
  file.table("PRE").field("NUMBER", Type::Long);
  ASSERT_EQ(run(write_table(file)), engine::kExportDone);
  EXPECT_TRUE(fs::exists(files::os_path(engine::OutputFileName.view())));
  EXPECT_EQ(csv(), "");
  EXPECT_EQ(caption_end(), "Record: 0 of 0");
}

TEST_F(RecordLoop, TheCaptionShowsTheProgressTenRecordsATick) {
  const std::string table = numbers(25);
  std::vector<std::string> seen;
  // Look at the window between timer events, while the loop runs.
  auto look = [&](window::Window& w) { seen.push_back(w.caption()); };
  window::headless().pause(2).then(look).pause(1).then(look);
  ASSERT_EQ(run(table), engine::kExportDone);
  ASSERT_EQ(seen.size(), 2u);
  // After each batch of ten reads the caption holds the last odd read count.
  EXPECT_EQ(seen[0], "Top Speed Quillomar Ver.1.01 Record: 9 of 25");
  EXPECT_EQ(seen[1], "Top Speed Quillomar Ver.1.01 Record: 19 of 25");
  EXPECT_EQ(main_.caption(), "Top Speed Quillomar Ver.1.01 Record: 25 of 25");
  EXPECT_EQ(lines().size(), 26u);

  // An unattended run leaves the caption alone.
  main_.set_property(window::PROP_Text, "Untouched");
  globals::AutoMode = 1;
  ASSERT_EQ(run(table), engine::kExportDone);
  EXPECT_EQ(main_.caption(), "Untouched");
  EXPECT_EQ(lines().size(), 26u);
  EXPECT_EQ(globals::PreviewQueue.records(), 25u);
}

TEST_F(RecordLoop, PendingTextAroundTheSizeOfOneWrite) {
  // The header line "PRE:TEXT" takes 12 bytes and a data line 4 more than its
  // value, so one record leaves 16 + value bytes for the final write.
  struct Case {
    std::size_t value;
    int records;
  };
  const Case cases[] = {{63984, 1}, {63985, 1}, {63983, 1}, {63985, 3}, {1, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " x" + std::to_string(c.records));
    tps::fixture::File file;
    auto& t = file.table("PRE");
    t.field("TEXT", Type::String, static_cast<std::uint16_t>(c.value));
    std::string expected = "\"PRE:TEXT\"\r\n";
    for (int r = 0; r < c.records; ++r) {
      const std::string value(c.value, static_cast<char>('a' + r));
      t.row().set("TEXT", value);
      expected += "\"" + value + "\"\r\n";
    }
    globals::GLO_SELECT = "PRE:TEXT";
    ASSERT_EQ(run(write_table(file)), engine::kExportDone);
    EXPECT_EQ(csv().size(), expected.size());
    EXPECT_TRUE(csv() == expected);
  }
}

TEST_F(RecordLoop, AReadErrorEndsTheLoopWithOneMessage) {
  // Record 2 is whole, record 3 shorter than the table's record.
  {
    using namespace reader_craft;
    write(dir_ / "BROKEN.TPS", file({page(0x200, table_records({{2, std::string("\x07\0\0\0", 4)}, {3, "ab"}}))}));
  }
  EXPECT_EQ(run(at("BROKEN.TPS")), engine::kExportDone);
  ASSERT_EQ(messages().size(), 1u);
  const auto& m = messages()[0].request;
  EXPECT_EQ(m.caption, std::string(tps::fault::kRow) + " NEXT()");
  EXPECT_NE(m.text.find("record 3"), std::string::npos) << m.text;
  EXPECT_EQ(m.icon, window::Icon::Question);
  EXPECT_EQ(csv(), "\"T:PTR\",\"T:N\"\r\n\"2\",\"7\"\r\n");  // the record before is written
  EXPECT_EQ(globals::GLO_FETCHEDNO, 1);
  EXPECT_EQ(caption_end(), "Record: 1 of 2");
}

TEST_F(RecordLoop, AnOutputFileThatWillNotOpenIsReportedOnceAndTheRunGoesOn) {
  const std::string table = numbers(10);
  // A directory of the output file's name, with something in it.
  fs::create_directories(dir_ / "T.CSV" / "inside");
  EXPECT_EQ(run(table), engine::kExportDone);
  ASSERT_EQ(messages().size(), 1u);
  const auto& m = messages()[0].request;
  EXPECT_EQ(m.text, "Access Denied");
  EXPECT_EQ(m.caption, "5 OPEN()");
  EXPECT_EQ(m.icon, window::Icon::Asterisk);
  EXPECT_EQ(globals::GLO_FETCHEDNO, 10);
  EXPECT_EQ(globals::PreviewQueue.records(), 10u);
  EXPECT_TRUE(fs::is_directory(dir_ / "T.CSV"));
}

#ifndef _WIN32
TEST_F(RecordLoop, AWriteThatFailsIsReportedOnce) {
  const std::string table = numbers(10);
  // The file system takes no byte (as a full disk would): every append fails,
  // and a truncated CSV must not pass for a whole one.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 0;
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const engine::BYTE result = run(table);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(result, engine::kExportDone);
  ASSERT_EQ(messages().size(), 1u);
  const auto& m = messages()[0].request;
  EXPECT_TRUE(m.caption.ends_with(" ADD()")) << m.caption;
  EXPECT_EQ(m.icon, window::Icon::Asterisk);
  EXPECT_EQ(globals::GLO_FETCHEDNO, 10);  // the run reads on, as after a failed open
  EXPECT_EQ(csv(), "");
}
#endif

TEST_F(RecordLoop, AnOutputFileHeldByAnotherProgramKeepsItsContent) {
  const std::string table = numbers(4);
  write(dir_ / "T.CSV", "old\r\n");
  {
    // Another program holds the file open, denying others, for the whole run:
    // its deletion and creation fail unnoticed, every write's OPEN fails.
    files::DosFile other([this] { return at("T.CSV"); });
    ASSERT_EQ(other.open(files::DosFile::kWriteDenyAll), 0);
    ASSERT_EQ(run(table), engine::kExportDone);
    other.close();
  }
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].request.caption, "5 OPEN()");
  EXPECT_EQ(read(dir_ / "T.CSV"), "old\r\n");
}

}  // namespace

namespace {

TEST_F(RecordLoop, ACloseRequestEndsTheLoopWritesWhatWasReadAndIsPassedOn) {
  const std::string table = numbers(100);
  // Other events pass the loop by; the close request after three batches ends it.
  window::headless().press(1).pause(3).close_request();
  ASSERT_EQ(run(table), engine::kExportDone);
  const std::vector<std::string> written = numbers_written();
  EXPECT_EQ(globals::GLO_FETCHEDNO, 30);
  ASSERT_EQ(written.size(), 30u);
  EXPECT_EQ(written.back(), "\"31\",\"30\"");
  // The window is still open, with the close request waiting for its own loop.
  EXPECT_TRUE(main_.is_open());
  ASSERT_TRUE(main_.accept());
  EXPECT_EQ(main_.current_event().event, window::EVENT_CloseWindow);
  EXPECT_FALSE(main_.accept());
  EXPECT_FALSE(main_.is_open());
}

}  // namespace
