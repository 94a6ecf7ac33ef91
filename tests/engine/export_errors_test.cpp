// Exports that fail, wholly or in part: each failure shows a message that
// names its cause, with the caption in its one form, and the run ends or goes
// on as the failure asks. A failure that passes without a message would let
// an unattended run exit as if the export were whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <string>
#include <vector>

#include "export_support.h"
#include "platform/tps/format.h"
#include "platform/tps/page_read.h"
#include "platform/tps/source.h"
#include "platform/tps/tps_file.h"
#include "tests/platform/tps/reader_support.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using export_test::Type;
namespace fs = std::filesystem;

class ExportErrors : public export_test::Export {
 protected:
  // The caption's " NEXT()" and so on, after the codes.
  static std::string operation_of(const std::string& caption) {
    const std::size_t blank = caption.rfind(' ');
    return blank == std::string::npos ? caption : caption.substr(blank + 1);
  }
};

// The byte offsets of the leaf pages that hold MEMO and BLOB chunks only.
std::vector<std::uint64_t> memo_pages(const fs::path& path) {
  tps::TpsFile file;
  auto source = std::make_unique<tps::FileSource>();
  if (!source->open(path)) return {};
  tps::Source& raw = *source;
  if (file.open(std::move(source))) return {};
  std::vector<std::uint64_t> found;
  for (const auto& block : file.header().blocks) {
    for (std::uint64_t at = block.begin; at < block.end; at += tps::format::kUnit) {
      tps::DecodedPage page;
      std::string why;
      if (!tps::read_page(raw, at, block.begin, block.end, page, why) || page.level != 0) continue;
      bool memo_only = !page.records.empty();
      for (std::size_t i = 0; i < page.records.size() && memo_only; ++i) {
        const std::string_view h = page.header(i);
        memo_only = h.size() > tps::format::kTableNumberSize &&
                    static_cast<std::uint8_t>(h[tps::format::kTableNumberSize]) == tps::format::kKindMemo;
      }
      if (memo_only) found.push_back(at);
    }
  }
  return found;
}

TEST_F(ExportErrors, ADamagedBlobEndsTheRunLikeAFailedRead) {
  QM_NEEDS_SAMPLES();
  const fs::path sample = reader_test::sample("vendor-examples/HowToABC/Features/Pub_info.tps");
  fs::copy_file(sample, dir_ / "PUB_INFO.TPS");
  ASSERT_EQ(run(at("PUB_INFO.TPS")), engine::kExportDone);
  ASSERT_TRUE(messages().empty());
  const std::string whole = csv();
  const globals::LONG rows = globals::GLO_FETCHEDNO;

  // The self offset of the last page of BLOB chunks reads 0: the records
  // themselves still read, one record's BLOB does not.
  const std::vector<std::uint64_t> pages = memo_pages(dir_ / "PUB_INFO.TPS");
  ASSERT_FALSE(pages.empty());
  {
    std::string bytes = read(dir_ / "PUB_INFO.TPS");
    std::memset(bytes.data() + pages.back(), 0, 4);
    write(dir_ / "PUB_INFO.TPS", bytes);
  }
  {
    reader_test::Table table(dir_.string() + "/PUB_INFO.TPS");
    ASSERT_EQ(table.file.open(0), 0);
    EXPECT_EQ(table.pointers().size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(files::error_code(), files::kRecordNotAvailable);
  }

  window::headless().reset();
  EXPECT_EQ(run(at("PUB_INFO.TPS")), engine::kExportDone);
  ASSERT_EQ(messages().size(), 1u);
  const auto& m = messages()[0].request;
  EXPECT_EQ(m.caption, std::string(tps::fault::kTree) + " 90 NEXT()");
  EXPECT_NE(m.text.find("its self offset reads 0h"), std::string::npos) << m.text;
  EXPECT_EQ(m.icon, window::Icon::Question);
  // The records before are written as they were; the damaged one and those
  // after it are not, and none is written with an emptied cell.
  const std::string partial = csv();
  EXPECT_LT(globals::GLO_FETCHEDNO, rows);
  EXPECT_EQ(globals::PreviewQueue.records(), static_cast<std::size_t>(globals::GLO_FETCHEDNO));
  EXPECT_LT(partial.size(), whole.size());
  EXPECT_TRUE(whole.starts_with(partial));
  EXPECT_TRUE(partial.ends_with("\r\n"));
}

}  // namespace

TEST_F(ExportErrors, ATableOfAFileInAnotherDirectoryIsExportedUnderTheFileName) {
  QM_NEEDS_SAMPLES();
  fs::create_directories(dir_ / "data");
  fs::copy_file(reader_test::sample("vendor-examples/BizMath/Busmath.tps"), dir_ / "data" / "Busmath.tps");
  ASSERT_EQ(run(at("data\\Busmath.tps")), engine::kExportDone);
  ASSERT_TRUE(messages().empty());
  const std::string first_table = lines().at(0);

  ASSERT_EQ(run(at("data\\Busmath.tps\\!INVESTMENTTRANSACTIONS")), engine::kExportDone);
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(engine::InputFileName.view(), "Busmath.tps\\!INVESTMENTTRANSACTIONS");
  EXPECT_EQ(engine::OutputFileName.view(), at("Busmath.CSV"));
  const std::vector<std::string> written = lines();
  ASSERT_GT(written.size(), 1u);
  EXPECT_NE(written[0], first_table);  // the named table's columns, not the first table's
  EXPECT_NE(written[0].find("INVTRN:"), std::string::npos) << written[0];
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
}

class OutputErrors : public ExportErrors {
 protected:
  // One message for the run, about the output file, and the run read on.
  void expect_one_output_message(const std::string& caption, const std::string& text, int rows) {
    ASSERT_EQ(messages().size(), 1u);
    const auto& m = messages()[0].request;
    EXPECT_EQ(m.caption, caption);
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.icon, window::Icon::Asterisk);
    EXPECT_EQ(globals::GLO_FETCHEDNO, rows);
  }
};

TEST_F(OutputErrors, AnOutputPathBelowAFileNamesTheMissingPath) {
  const std::string table = numbers(4);
  write(dir_ / "plain.txt", "x");
  globals::GLO_OUTPUTCSVLOCATION = at("plain.txt\\out\\");
  EXPECT_EQ(run(table), engine::kExportDone);
  expect_one_output_message("3 OPEN()", "Path Not Found\n" + at("plain.txt\\out\\T.CSV"), 4);
}

#ifndef _WIN32
TEST_F(OutputErrors, ADirectoryThatMayNotBeWrittenIsAccessDenied) {
  const std::string table = numbers(4);
  fs::create_directories(dir_ / "locked");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  globals::GLO_OUTPUTCSVLOCATION = at("locked\\");
  // The super-user may write anywhere: the run is made as an ordinary user
  // (the effective one only, so the test can be the super-user again).
  const bool as_root = ::geteuid() == 0;
  if (as_root && ::seteuid(65534) != 0) GTEST_SKIP() << "the super-user cannot act as another user here";
  const engine::BYTE result = run(table);
  if (as_root) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  fs::permissions(dir_ / "locked", fs::perms::owner_all);

  EXPECT_EQ(result, engine::kExportDone);
  expect_one_output_message("5 OPEN()", "Access Denied\n" + at("locked\\T.CSV"), 4);
  EXPECT_FALSE(fs::exists(dir_ / "locked" / "T.CSV"));
}

TEST_F(OutputErrors, AFullDiskSaysSoAndNamesThePartialFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
  const std::string table = numbers(30);
  // After the first ten records (their lines up to the eighth are written)
  // the disk fills up: the file's name now leads to the device that is
  // always full.
  window::headless().pause(2).then([this](window::Window&) {
    fs::rename(dir_ / "T.CSV", dir_ / "written.CSV");
    fs::create_symlink("/dev/full", dir_ / "T.CSV");
  });
  EXPECT_EQ(run(table), engine::kExportDone);
  expect_one_output_message(std::to_string(ENOSPC) + " 90 ADD()",
                            "Disk full (" + std::error_code(ENOSPC, std::generic_category()).message() +
                                ")\nOnly part of the export was written to " + at("T.CSV"),
                            30);
  std::string before = "\"PRE:PTR\",\"PRE:NUMBER\"\r\n";
  for (int i = 1; i <= 8; ++i) before += "\"" + std::to_string(i + 1) + "\",\"" + std::to_string(i) + "\"\r\n";
  EXPECT_EQ(read(dir_ / "written.CSV"), before);
}
#endif

TEST_F(ExportErrors, AFileOfRandomBytesIsNotTakenForAnEncryptedTable) {
  std::string noise(0x400, '\0');
  std::uint32_t x = 2463534242u;
  for (char& c : noise) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  write(dir_ / "NOISE.TPS", noise);              // a whole number of cipher blocks
  write(dir_ / "ODD.TPS", noise.substr(0, 1000));  // no enciphered file is that long
  struct Case {
    std::string file;
    std::string caption;
    std::string text;
  };
  const Case cases[] = {
      {"NOISE.TPS", std::string(tps::fault::kHeader) + " 90 OPEN()",
       "The file is not a TopSpeed table, or it is a table encrypted with an owner password"},
      {"ODD.TPS", "36 OPEN()", "Invalid Data File"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    window::headless().reset();
    EXPECT_EQ(run(at(c.file)), engine::kExportOpenFailed);
    ASSERT_EQ(messages().size(), 1u);
    const auto& m = messages()[0].request;
    EXPECT_EQ(m.caption, c.caption);
    EXPECT_TRUE(m.text.starts_with(c.text)) << m.text;
    EXPECT_EQ(m.icon, window::Icon::Question);
  }
}

TEST_F(ExportErrors, AnInvalidWhereTextIsReportedOncePerRunWithItsPosition) {
  tps::fixture::File file;
  auto& t = file.table("PRE");
  t.field("NUMBER", Type::Long).field("NAME", Type::String, 8);
  t.row().set("NUMBER", 0).set("NAME", "x");
  t.row().set("NUMBER", 5).set("NAME", "y");
  t.row().set("NUMBER", 20).set("NAME", "z");
  const std::string table = write_table(file);
  const std::string deep = std::string(101, '(') + "PRE:NUMBER > 1" + std::string(101, ')');
  struct Case {
    std::string where;
    int code;
    std::string text;  // the message's first line
    std::size_t written = 0;
  };
  const std::vector<Case> cases = {
      {"PRE:NAME = 'abc", 1010, "Illegal Expression at position 12 of the WHERE text: 'abc"},
      {"PRE:NUMBER > 1 AND NOSUCH = 2", 1011, "Variable Not Found at position 20 of the WHERE text: NOSUCH = 2"},
      {"SUB(PRE:NAME, 1) = 'a'", 1015, "Parameters Omitted at position 1 of the WHERE text: SUB(PRE:NAME, 1) = 'a'"},
      {"(PRE:NUMBER > 1", 1010, "Illegal Expression at the end of the WHERE text"},
      {"PRE:NUMBER > 1)", 1010, "Illegal Expression at position 15 of the WHERE text: )"},
      {deep, 1010, "Illegal Expression at position 101 of the WHERE text: " + deep.substr(100, 60) + "..."},
      // Only the record whose value is 0 makes its copy invalid; the others
      // are judged by their values.
      {"100 / PRE:NUMBER > 10", 1010, "Illegal Expression at position 5 of the WHERE text: / PRE:NUMBER > 10", 1},
      // An error inside a value is placed at the label the value stands for.
      {"PRE:NUMBER = 5 OR PRE:NUMBERX = 1", 1010, "Illegal Expression at position 19 of the WHERE text: PRE:NUMBERX = 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    window::headless().reset();
    globals::GLO_WHERE = c.where;
    EXPECT_EQ(run(table), engine::kExportDone);
    ASSERT_EQ(messages().size(), 1u);  // one for the run, not one per record
    const auto& m = messages()[0].request;
    EXPECT_EQ(m.caption, std::to_string(c.code) + " EVALUATE()");
    EXPECT_EQ(m.text.substr(0, m.text.find('\n')), c.text);
    EXPECT_NE(m.text.find("left out of the export"), std::string::npos) << m.text;
    EXPECT_EQ(m.icon, window::Icon::Exclamation);
    EXPECT_EQ(globals::GLO_FETCHEDNO, 3);  // the run reads on
    EXPECT_EQ(lines().size(), 1 + c.written);
  }
}
