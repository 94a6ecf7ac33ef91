// The reader against the real tables under the samples folder: every plain
// table opens and reads to its end, forwards and backwards, with its MEMOs and
// BLOBs, and the counts agree.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/errors.h"
#include "platform/tps/declaration.h"
#include "reader_support.h"

namespace {


TEST(ReaderSamples, EveryPlainTableReadsToItsEndBothWays) {
  QM_NEEDS_SAMPLES();
  static char storage[tps::Declaration::kRecordStorage];
  std::string name;
  tps::Declaration table([&] { return name; }, [] { return std::string(); }, storage);
  const auto paths = reader_test::plain_sample_tables();
  ASSERT_GT(paths.size(), 100u);
  for (const auto& path : paths) {
    SCOPED_TRACE(path.string());
    name = path.string();
    ASSERT_EQ(table.open(0), 0) << files::file_error();
    std::vector<std::int32_t> forward, backward;
    table.set();
    int rc;
    while ((rc = table.next()) == 0) {
      forward.push_back(table.pointer());
      for (int m = 1; m <= static_cast<int>(table.definition().memos.size()); ++m) {
        const std::int64_t size = table.blob_size(m);
        EXPECT_EQ(files::error_code(), 0) << files::file_error();
        EXPECT_EQ(static_cast<std::int64_t>(table.blob_read(m, 0, size - 1).size()), size);
      }
    }
    EXPECT_EQ(rc, files::kRecordNotAvailable) << files::file_error();
    table.set();
    while ((rc = table.previous()) == 0) backward.insert(backward.begin(), table.pointer());
    EXPECT_EQ(rc, files::kRecordNotAvailable) << files::file_error();
    EXPECT_EQ(forward, backward);
    EXPECT_TRUE(std::is_sorted(forward.begin(), forward.end()));
    EXPECT_EQ(static_cast<std::size_t>(table.records()), forward.size());
    EXPECT_EQ(table.close(), 0);
  }
}

}  // namespace
