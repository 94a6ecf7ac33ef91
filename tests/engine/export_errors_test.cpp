// Exports that fail, wholly or in part: each failure shows a message that
// names its cause, with the caption in its one form, and the run ends or goes
// on as the failure asks. A failure that passes without a message would let
// an unattended run exit as if the export were whole.
#include <gtest/gtest.h>

#include <cstring>
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
