#include "platform/queue/queue.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files/errors.h"

namespace {

using text::CString;
using text::FixedString;

struct Item {
  CString<20> NAME;
  FixedString<10> KIND;
  std::int32_t COUNT = 0;
  std::int32_t SEQ = 0;
  auto fields() { return std::tie(NAME, KIND, COUNT, SEQ); }
};

using ItemQueue = queue::Queue<Item>;

void add(ItemQueue& q, std::string_view name, std::string_view kind, int count, int seq) {
  q.buffer().NAME = name;
  q.buffer().KIND = kind;
  q.buffer().COUNT = count;
  q.buffer().SEQ = seq;
  q.add();
}

std::vector<int> sequence(ItemQueue& q) {
  std::vector<int> out;
  for (std::size_t i = 1; i <= q.records(); ++i) {
    q.get(i);
    out.push_back(q.buffer().SEQ);
  }
  return out;
}

TEST(Queue, KeyedAddGoesAfterTheEqualKeys) {
  ItemQueue q;
  const int counts[] = {3, 1, 2, 1, 3, 2, 1};
  for (int i = 0; i < 7; ++i) {
    q.buffer().COUNT = counts[i];
    q.buffer().SEQ = i;
    q.add_by<&Item::COUNT>();
    EXPECT_EQ(files::error_code(), 0);
    EXPECT_EQ(q.buffer().SEQ, i);  // the buffer is left as it was added
  }
  EXPECT_EQ(sequence(q), (std::vector<int>{1, 3, 6, 2, 5, 0, 4}));
}

TEST(Queue, KeyedAddOnTwoKeysAndItsPointer) {
  ItemQueue q;
  struct Row {
    const char* name;
    int count;
  };
  const Row rows[] = {{"b", 2}, {"a", 9}, {"b", 1}, {"a", 9}, {"a  ", 1}, {"B", 0}};
  for (int i = 0; i < 6; ++i) {
    q.buffer().NAME = rows[i].name;
    q.buffer().COUNT = rows[i].count;
    q.buffer().SEQ = i;
    q.add_by<&Item::NAME, &Item::COUNT>();
  }
  // "B" sorts before the lower-case names; "a  " equals "a" (trailing blanks).
  EXPECT_EQ(sequence(q), (std::vector<int>{5, 4, 1, 3, 2, 0}));
  q.buffer().NAME = "a";
  q.buffer().COUNT = 5;
  q.buffer().SEQ = 6;
  q.add_by<&Item::NAME, &Item::COUNT>();
  EXPECT_EQ(q.pointer(), 3u);
}

TEST(Queue, GetByPositionAndItsMisses) {
  ItemQueue q;
  add(q, "one", "x", 1, 1);
  add(q, "two", "y", 2, 2);
  EXPECT_EQ(q.pointer(), 2u);
  EXPECT_EQ(q.get(1), 0);
  EXPECT_EQ(q.buffer().NAME, "one");
  EXPECT_EQ(q.buffer().KIND.view(), "x         ");
  EXPECT_EQ(q.pointer(), 1u);

  q.buffer().NAME = "edited";
  for (std::size_t pos : {0u, 3u, 1000u}) {
    files::clear_error();
    EXPECT_EQ(q.get(pos), 30) << pos;
    EXPECT_EQ(files::error_code(), 30);
    EXPECT_EQ(files::error_text(), "Entry Not Found");
    EXPECT_EQ(q.buffer().NAME, "edited");  // a miss leaves the buffer
    EXPECT_EQ(q.pointer(), 1u);
  }
  EXPECT_EQ(q.get(2), 0);
  EXPECT_EQ(files::error_code(), 0);
}

// Both ways of finding a key: the scan of an unordered queue and the search of
// a queue that a SORT or keyed ADDs put in that key's order.
class GetByKey : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    add(q, "PRE:NAME", "S", 3, 0);
    add(q, "PRE:CODE", "L", 1, 1);
    add(q, "PRE:NAME", "S", 3, 2);
    add(q, "PRE:DATE", "D", 2, 3);
    add(q, "pre:name", "S", 4, 4);
    if (GetParam()) q.sort_by<&Item::NAME>();
  }
  ItemQueue q;
};

TEST_P(GetByKey, FindsTheFirstExactMatch) {
  struct Case {
    const char* name;
    int seq;  // -1: no entry
  };
  const Case cases[] = {
      {"PRE:NAME", 0}, {"PRE:NAME   ", 0}, {"pre:name", 4}, {"PRE:CODE", 1}, {"PRE:DATE", 3},
      {"Pre:Name", -1}, {"PRE:NAM", -1},   {" PRE:NAME", -1}, {"", -1},      {"PRE:NAMEX", -1},
  };
  for (const Case& c : cases) {
    q.buffer().NAME = c.name;
    q.buffer().SEQ = 99;
    int rc = q.get_by<&Item::NAME>();
    if (c.seq < 0) {
      EXPECT_EQ(rc, 30) << c.name;
      EXPECT_EQ(files::error_code(), 30) << c.name;
      EXPECT_EQ(q.buffer().SEQ, 99) << c.name;
    } else {
      EXPECT_EQ(rc, 0) << c.name;
      EXPECT_EQ(files::error_code(), 0) << c.name;
      EXPECT_EQ(q.buffer().SEQ, c.seq) << c.name;
    }
  }
}

TEST_P(GetByKey, OnTwoFieldsAndAfterAPutChangedAKey) {
  q.buffer().NAME = "PRE:NAME";
  q.buffer().COUNT = 3;
  ASSERT_EQ((q.get_by<&Item::NAME, &Item::COUNT>()), 0);
  EXPECT_EQ(q.buffer().SEQ, 0);
  q.buffer().COUNT = 4;
  EXPECT_EQ((q.get_by<&Item::NAME, &Item::COUNT>()), 30);

  // Renaming an entry may take the queue out of the order a search relies on.
  q.buffer().NAME = "PRE:CODE";
  ASSERT_EQ(q.get_by<&Item::NAME>(), 0);
  q.buffer().NAME = "ZZZ";
  ASSERT_EQ(q.put(), 0);
  q.buffer().NAME = "PRE:DATE";
  EXPECT_EQ(q.get_by<&Item::NAME>(), 0);
  EXPECT_EQ(q.buffer().SEQ, 3);
  q.buffer().NAME = "ZZZ";
  EXPECT_EQ(q.get_by<&Item::NAME>(), 0);
  EXPECT_EQ(q.buffer().SEQ, 1);
}

INSTANTIATE_TEST_SUITE_P(Unordered, GetByKey, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(Sorted, GetByKey, ::testing::Values(true));

TEST(Queue, SortIsStableOnSeveralKeys) {
  ItemQueue q;
  const std::tuple<const char*, int> rows[] = {{"b", 2}, {"a", 1}, {"b", 1}, {"a", 1}, {"b", 2}, {"a", 0}, {"b", 1}};
  int seq = 0;
  for (auto [name, count] : rows) add(q, name, "", count, seq++);
  q.sort_by<&Item::NAME, &Item::COUNT>();
  EXPECT_EQ(sequence(q), (std::vector<int>{5, 1, 3, 2, 6, 0, 4}));
  q.sort_by<&Item::COUNT>();  // stable on the order just made
  EXPECT_EQ(sequence(q), (std::vector<int>{5, 1, 3, 2, 6, 0, 4}));
  q.sort_by<&Item::SEQ>();
  EXPECT_EQ(sequence(q), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

// Enough entries that a sort which is not stable (introsort past its
// insertion-sort threshold) would mix the equal keys; equal includes texts that
// differ only in trailing blanks.
TEST(Queue, SortKeepsTheAddOrderOfEqualKeysInALargeQueue) {
  ItemQueue q;
  const char* const names[] = {"b", "a", "a  ", "c", "b ", "a "};
  std::uint32_t random = 12345;
  for (int seq = 0; seq < 600; ++seq) {
    random = random * 1103515245u + 12345u;
    add(q, names[(random >> 16) % 6], "", static_cast<int>((random >> 8) % 4), seq);
  }
  auto expect_add_order_within_equal_keys = [&q](auto key_of) {
    for (std::size_t i = 2; i <= q.records(); ++i) {
      q.get(i - 1);
      const auto previous_key = key_of(q.buffer());
      const int previous_seq = q.buffer().SEQ;
      q.get(i);
      ASSERT_LE(previous_key, key_of(q.buffer())) << i;
      if (previous_key == key_of(q.buffer())) {
        ASSERT_LT(previous_seq, q.buffer().SEQ) << i;
      }
    }
  };
  q.sort_by<&Item::COUNT>();
  expect_add_order_within_equal_keys([](const Item& r) { return r.COUNT; });
  q.sort_by<&Item::SEQ>();
  q.sort_by<&Item::NAME>();
  expect_add_order_within_equal_keys([](const Item& r) { return std::string(text::clip(r.NAME)); });
}

TEST(Queue, PutWritesOverTheEntryLastReadOrAdded) {
  ItemQueue q;
  EXPECT_EQ(q.put(), 30);  // nothing read or added yet
  add(q, "first", "", 1, 1);
  add(q, "second", "", 2, 2);
  q.buffer().NAME = "second, much longer";
  ASSERT_EQ(q.put(), 0);
  ASSERT_EQ(q.get(1), 0);
  q.buffer().COUNT = 10;
  q.buffer().NAME = "";
  ASSERT_EQ(q.put(), 0);
  EXPECT_EQ(q.records(), 2u);
  q.get(2);
  EXPECT_EQ(q.buffer().NAME, "second, much longer");
  q.get(1);
  EXPECT_EQ(q.buffer().NAME, "");
  EXPECT_EQ(q.buffer().COUNT, 10);
  q.free();
  EXPECT_EQ(q.put(), 30);
}

TEST(Queue, FreeKeepsTheBufferAndClearBlanksIt) {
  ItemQueue q;
  add(q, "kept", "kind", 7, 8);
  q.free();
  EXPECT_EQ(q.records(), 0u);
  EXPECT_EQ(q.pointer(), 0u);
  EXPECT_EQ(q.buffer().NAME, "kept");
  EXPECT_EQ(q.get(1), 30);
  q.clear();
  EXPECT_EQ(q.buffer().NAME, "");
  EXPECT_EQ(q.buffer().KIND.view(), "          ");
  EXPECT_EQ(q.buffer().COUNT, 0);
  EXPECT_EQ(q.buffer().SEQ, 0);
}

enum class Colour : std::uint8_t { Red = 1, Blue = 200 };

struct Mixed {
  CString<300> LONGTEXT;
  FixedString<5> CODE;
  std::string DYNAMIC;
  std::int8_t BYTE = 0;
  std::uint16_t USHORT = 0;
  std::int64_t BIG = 0;
  double REAL = 0;
  Colour COLOUR = Colour::Red;
  std::array<std::int32_t, 3> NUMBERS{};
  CString<8> CELLS[6];
  auto fields() { return std::tie(LONGTEXT, CODE, DYNAMIC, BYTE, USHORT, BIG, REAL, COLOUR, NUMBERS, CELLS); }
};

TEST(Queue, EveryKindOfFieldComesBackAsItWent) {
  queue::Queue<Mixed> q;
  Mixed& b = q.buffer();
  b.LONGTEXT = std::string(200, 'x') + "  ";  // a length past one byte, trailing blanks kept
  b.CODE = "ab";
  b.DYNAMIC = std::string("with\0nul", 8) + std::string(20000, 'd');
  b.BYTE = -5;
  b.USHORT = 65535;
  b.BIG = -(std::int64_t{1} << 40);
  b.REAL = -1.25e-7;
  b.COLOUR = Colour::Blue;
  b.NUMBERS = {-1, 0, 2147483647};
  const char* cells[] = {"", "", "one", "", "two2two2two", ""};
  for (int i = 0; i < 6; ++i) b.CELLS[i] = cells[i];
  q.add();
  q.clear();
  for (auto& c : b.CELLS) c = "stale";  // a GET overwrites every cell, empty ones too
  ASSERT_EQ(q.get(1), 0);
  EXPECT_EQ(b.LONGTEXT.view(), std::string(200, 'x') + "  ");
  EXPECT_EQ(b.CODE.view(), "ab   ");
  EXPECT_EQ(b.DYNAMIC, std::string("with\0nul", 8) + std::string(20000, 'd'));
  EXPECT_EQ(b.BYTE, -5);
  EXPECT_EQ(b.USHORT, 65535);
  EXPECT_EQ(b.BIG, -(std::int64_t{1} << 40));
  EXPECT_EQ(b.REAL, -1.25e-7);
  EXPECT_EQ(b.COLOUR, Colour::Blue);
  EXPECT_EQ(b.NUMBERS, (std::array<std::int32_t, 3>{-1, 0, 2147483647}));
  const char* expected[] = {"", "", "one", "", "two2two", ""};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.CELLS[i], expected[i]) << i;
}

// The preview's shape: a blank-padded first cell and 1999 NUL-terminated ones.
struct WideRow {
  FixedString<100> FIRST;
  CString<100> REST[1999];
  auto fields() { return std::tie(FIRST, REST); }
};

TEST(Queue, WideRowsTakeTheBytesOfTheirFilledCells) {
  queue::Queue<WideRow> q;
  const int rows = 1000;
  for (int r = 0; r < rows; ++r) {
    q.buffer().FIRST = "first" + std::to_string(r);
    for (int c = 0; c < 10; ++c) q.buffer().REST[c * 200 + r % 7] = "cell-" + std::to_string(r);
    q.add();
    for (int c = 0; c < 10; ++c) q.buffer().REST[c * 200 + r % 7].clear();
  }
  EXPECT_LT(q.storage_bytes() / rows, 200u);
  ASSERT_EQ(q.get(500), 0);
  EXPECT_EQ(q.buffer().FIRST.clipped(), "first499");
  for (int i = 0; i < 1999; ++i) {
    bool filled = i % 200 == 499 % 7;
    EXPECT_EQ(q.buffer().REST[i].view(), filled ? "cell-499" : "") << i;
  }
}

TEST(Queue, EntriesSurviveManyGrowingRewrites) {
  ItemQueue q;
  for (int i = 0; i < 200; ++i) add(q, "", "", i, i);
  for (int round = 1; round <= 19; ++round) {
    for (std::size_t i = 1; i <= q.records(); ++i) {
      q.get(i);
      q.buffer().NAME = std::string(static_cast<std::size_t>(round), 'a' + static_cast<char>(i % 26));
      ASSERT_EQ(q.put(), 0);
    }
  }
  for (std::size_t i = 1; i <= q.records(); ++i) {
    q.get(i);
    EXPECT_EQ(q.buffer().NAME, std::string(19, 'a' + static_cast<char>(i % 26)));
    EXPECT_EQ(q.buffer().SEQ, static_cast<int>(i) - 1);
  }
}

// A record with a compact form of its own.
struct Pair {
  std::int32_t ID = 0;
  CString<16> LABEL;
};

}  // namespace

template <>
struct queue::Codec<Pair> {
  static void encode(const Pair& p, std::string& out) {
    out.append(std::to_string(p.ID)).push_back('|');
    out.append(p.LABEL.view());
  }
  static void decode(std::string_view in, Pair& p) {
    auto bar = in.find('|');
    p.ID = std::stoi(std::string(in.substr(0, bar)));
    p.LABEL = in.substr(bar + 1);
  }
};

namespace {

TEST(Queue, ARecordWithItsOwnCodecSortsAndFindsByKey) {
  queue::Queue<Pair> q;
  const std::pair<int, const char*> rows[] = {{3, "c"}, {1, "a"}, {2, "b"}, {1, "z"}};
  for (auto [id, label] : rows) {
    q.buffer().ID = id;
    q.buffer().LABEL = label;
    q.add_by<&Pair::ID>();
  }
  std::string labels;
  for (std::size_t i = 1; i <= q.records(); ++i) {
    q.get(i);
    labels += q.buffer().LABEL.view();
  }
  EXPECT_EQ(labels, "azbc");
  q.buffer().LABEL = "b";
  ASSERT_EQ(q.get_by<&Pair::LABEL>(), 0);
  EXPECT_EQ(q.buffer().ID, 2);
  q.sort_by<&Pair::LABEL>();
  q.buffer().LABEL = "z";
  ASSERT_EQ(q.get_by<&Pair::LABEL>(), 0);
  EXPECT_EQ(q.buffer().ID, 1);
  q.clear();
  EXPECT_EQ(q.buffer().ID, 0);
  EXPECT_EQ(q.buffer().LABEL, "");
}

TEST(Queue, PeekLeavesBufferPointerAndErrorAlone) {
  ItemQueue q;
  add(q, "a", "", 1, 1);
  add(q, "b", "", 2, 2);
  q.get(1);
  files::set_error(33);
  Item other;
  EXPECT_TRUE(q.peek(2, other));
  EXPECT_EQ(other.NAME, "b");
  EXPECT_FALSE(q.peek(3, other));
  EXPECT_EQ(q.buffer().NAME, "a");
  EXPECT_EQ(q.pointer(), 1u);
  EXPECT_EQ(files::error_code(), 33);
}

}  // namespace
