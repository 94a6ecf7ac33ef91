#include "engine/preview.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine_state.h"
#include "globals/globals.h"

namespace {

using globals::PreviewQueue;

class Preview : public ::testing::Test {
 protected:
  void SetUp() override { engine::reset(); }
  void TearDown() override { engine::reset(); }

  static void column(int k, std::string_view value) {
    globals::FieldListQueue.buffer().ALF_DAORDER = k;
    engine::CurrentValueText = std::string(value);
    engine::SetPreviewColumn();
  }
  // One line of the given cells, columns from 1 on.
  static void line(std::initializer_list<const char*> cells) {
    int k = 0;
    for (const char* c : cells) column(++k, c);
    engine::AddPreviewRow();
  }
  static std::string cell(std::size_t row, std::size_t k) {
    globals::PreviewRecord r;
    EXPECT_TRUE(PreviewQueue.peek(row, r));
    return std::string(k == 1 ? r.TPS_Q_1.clipped() : r.cell(k));
  }
};

TEST_F(Preview, CellsAreCutAtTheirCapacity) {
  const std::string value(150, 'v');
  column(1, value);
  column(2, value);
  column(2000, value);
  engine::AddPreviewRow();
  ASSERT_EQ(PreviewQueue.records(), 1u);
  EXPECT_EQ(cell(1, 1), std::string(100, 'v'));
  EXPECT_EQ(cell(1, 2), std::string(99, 'v'));
  EXPECT_EQ(cell(1, 2000), std::string(99, 'v'));
}

TEST_F(Preview, ColumnNumbersOutsideTheRecordStoreNothing) {
  for (int k : {0, -1, 2001, 100000}) column(k, "x");
  engine::AddPreviewRow();
  globals::PreviewRecord r;
  ASSERT_TRUE(PreviewQueue.peek(1, r));
  EXPECT_EQ(r.high_column(), 1u);
  EXPECT_EQ(r.TPS_Q_1.clipped(), "");
}

TEST_F(Preview, TheBufferIsNeverClearedBetweenRows) {
  line({"a1", "b1", "c1"});
  line({"a2", "b2"});  // a narrower line: column 3 keeps the text of the first
  ASSERT_EQ(PreviewQueue.records(), 2u);
  EXPECT_EQ(cell(2, 1), "a2");
  EXPECT_EQ(cell(2, 2), "b2");
  EXPECT_EQ(cell(2, 3), "c1");
  EXPECT_EQ(cell(1, 3), "c1");
}

TEST_F(Preview, NoPreviewKeepsTheQueueEmpty) {
  globals::GLO_NOPREVIEW = 1;
  line({"a", "b"});
  EXPECT_EQ(PreviewQueue.records(), 0u);
  EXPECT_EQ(PreviewQueue.buffer().cell(2), "");
}

TEST_F(Preview, AnUnattendedRunStoresNoColumnTexts) {
  globals::AutoMode = 1;
  line({"a", "b"});
  ASSERT_EQ(PreviewQueue.records(), 1u);  // the row is added, its cells stay blank
  EXPECT_EQ(cell(1, 1), "");
  EXPECT_EQ(cell(1, 2), "");
}

TEST_F(Preview, RowsReadBackExactlyWhateverTheirWidth) {
  line({"x", "", "three"});
  column(2000, "far");
  engine::AddPreviewRow();
  column(1, "  lead");
  engine::AddPreviewRow();

  globals::PreviewRecord& b = PreviewQueue.buffer();
  ASSERT_EQ(PreviewQueue.get(1), 0);
  EXPECT_EQ(b.cell(3), "three");
  EXPECT_EQ(b.cell(2000), "");  // the first row was stored before column 2000 was set
  ASSERT_EQ(PreviewQueue.get(2), 0);
  EXPECT_EQ(b.cell(2000), "far");
  EXPECT_EQ(b.cell(2), "");
  ASSERT_EQ(PreviewQueue.get(3), 0);
  EXPECT_EQ(b.TPS_Q_1.clipped(), "  lead");
  EXPECT_EQ(b.cell(3), "three");
  EXPECT_EQ(b.cell(2000), "far");
}

TEST_F(Preview, ANarrowRowIsStoredCompactly) {
  for (int row = 0; row < 1000; ++row)
    line({"12345678", "Smith", "John", "01/02/2020", "12:30:00", "123.45", "Y", "42", "abc", "z"});
  EXPECT_EQ(PreviewQueue.records(), 1000u);
  EXPECT_LT(PreviewQueue.storage_bytes() / 1000, 1024u);
}

}  // namespace
