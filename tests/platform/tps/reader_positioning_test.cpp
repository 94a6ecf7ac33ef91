// Reading order and positioning: SET, SET(pointer) with pointers a table has
// and pointers it has not (record numbers are file-wide, so a table's pointers
// are sparse), NEXT and PREVIOUS, changes of direction and the ends.
#include <gtest/gtest.h>

#include "reader_support.h"

namespace {

using reader_test::sample;
using reader_test::Table;

enum Op { Set, SetAt, Next, Prev };
struct Step {
  Op op;
  std::int32_t arg = 0;  // SetAt: the pointer; Next/Prev: the expected pointer, 0 for 33
};

void run(Table& t, const std::vector<Step>& steps) {
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE("step " + std::to_string(++n));
    switch (s.op) {
      case Set: t.file.set(); break;
      case SetAt: t.file.set(s.arg); break;
      case Next:
      case Prev: {
        const int rc = s.op == Next ? t.file.next() : t.file.previous();
        if (s.arg == 0) {
          EXPECT_EQ(rc, files::kRecordNotAvailable);
        } else {
          ASSERT_EQ(rc, 0) << files::file_error();
          EXPECT_EQ(t.file.pointer(), s.arg);
        }
        break;
      }
    }
  }
}

TEST(ReaderPositioning, SparsePointersOfOneTableInAFileOfSeveral) {
  QM_NEEDS_SAMPLES();
  // LINES holds rows 88, 97, 100, 101, 102; the other tables hold numbers between.
  Table t(sample("vendor-examples/BizRules/RulesDemo.TPS\\!LINES"));
  ASSERT_EQ(t.file.open(0), 0);
  struct Case { const char* what; std::vector<Step> steps; };
  const Case cases[] = {
      {"from the start", {{Set}, {Next, 88}, {Next, 97}, {Next, 100}, {Next, 101}, {Next, 102}, {Next, 0}, {Next, 0}}},
      {"from the end", {{Set}, {Prev, 102}, {Prev, 101}, {Prev, 100}, {Prev, 97}, {Prev, 88}, {Prev, 0}}},
      {"at a pointer it has", {{SetAt, 97}, {Next, 97}, {Next, 100}}},
      {"backwards from a pointer it has", {{SetAt, 97}, {Prev, 97}, {Prev, 88}, {Prev, 0}}},
      {"a pointer between rows, forwards", {{SetAt, 98}, {Next, 100}}},
      {"a pointer between rows, backwards", {{SetAt, 98}, {Prev, 97}}},
      {"a pointer below every row", {{SetAt, 1}, {Next, 88}, {SetAt, 1}, {Prev, 0}}},
      {"a pointer above every row", {{SetAt, 5000}, {Next, 0}, {SetAt, 5000}, {Prev, 102}}},
      {"the largest pointer", {{SetAt, -1}, {Prev, 102}, {SetAt, -1}, {Next, 0}}},
      {"a change of direction", {{Set}, {Next, 88}, {Next, 97}, {Prev, 88}, {Next, 97}}},
      {"SET again after the end", {{Set}, {Prev, 102}, {Next, 0}, {Set}, {Next, 88}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    run(t, c.steps);
  }
}

TEST(ReaderPositioning, ReadsNeedAnOpenTableAndOpenTwiceIsRefused) {
  QM_NEEDS_SAMPLES();
  Table t(sample("vendor-examples/Tutor/CUSTOMER.TPS"));
  EXPECT_EQ(t.file.next(), files::kFileNotOpen);
  EXPECT_EQ(t.file.close(), files::kFileNotOpen);
  EXPECT_EQ(t.file.property(tps::prop::kFields, 0), "");
  EXPECT_EQ(t.file.records(), 0);
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.open(0), files::kFileAlreadyOpen);
  EXPECT_EQ(t.file.close(), 0);
  // The name is read again at every open.
  t.name = sample("vendor-examples/Tutor/ORDERS.TPS");
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.property(tps::prop::kName, 1), "ORD:CUSTNUMBER");
}

TEST(ReaderPositioning, MissingFilesAndPaths) {
  QM_NEEDS_SAMPLES();
  struct Case { std::string name; int code; };
  const Case cases[] = {
      {sample("vendor-examples/Tutor/NOSUCH.TPS"), files::kFileNotFound},
      {sample("vendor-examples/NoSuchDir/CUSTOMER.TPS"), files::kPathNotFound},
      {"", files::kInvalidFilename},
      {sample("vendor-examples/Tutor"), files::kAccessDenied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Table t(c.name);
    EXPECT_EQ(t.file.open(0), c.code);
    EXPECT_EQ(files::error_code(), c.code);
    EXPECT_FALSE(t.file.is_open());
  }
}

TEST(ReaderPositioning, RuntimePathSeparatorsAndTrailingBlanks) {
  QM_NEEDS_SAMPLES();
  std::string name = sample("vendor-examples\\Tutor\\CUSTOMER.TPS   ");
  Table t(name);
  ASSERT_EQ(t.file.open(0), 0);
  EXPECT_EQ(t.file.records(), 7);
}

}  // namespace
