// Files written by the builder, read back through the reader: every type,
// arrays, GROUP and OVER, MEMOs and BLOBs, keys, several tables in one file,
// empty and large tables; the header and the order of records as the driver
// lays them out; and what the builder refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/declaration.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/fixture.h"
#include "platform/tps/format.h"
#include "writer_support.h"

namespace {

namespace fs = std::filesystem;
using tps::fixture::DUP;
using tps::fixture::File;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::PRIMARY;
using tps::fixture::Type;
using writer_test::hex;
using writer_test::read_records;
using writer_test::ScratchDir;
using writer_test::unhex;

std::string file_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t u32le(const std::string& b, std::size_t at) { return tps::bytes::u32le(b.data() + at); }

// A declaration over a file, with its own record storage.
struct Opened {
  explicit Opened(std::string n) : name(std::move(n)), storage(tps::Declaration::kRecordStorage) {}
  std::string name;
  std::vector<char> storage;
  tps::Declaration table{[this] { return name; }, [] { return std::string(); }, storage.data()};
  std::string record() const { return std::string(storage.data(), table.record_size()); }
};

// One table with every type of the layout language, arrays, a GROUP, an
// OVER, MEMOs and BLOBs and keys of every kind.
void every_type_layout(tps::fixture::Table& t) {
  t.field("BYTE", Type::Byte)
      .field("SHORT", Type::Short)
      .field("USHORT", Type::UShort)
      .field("LONG", Type::Long)
      .field("ULONG", Type::ULong)
      .field("SREAL", Type::SReal)
      .field("REAL", Type::Real)
      .field("AMOUNT", Type::Decimal, 9, 2)
      .field("NAME", Type::String, 20)
      .field("FIRST", Type::String, 5).over("NAME")
      .field("CITY", Type::CString, 16).picture("@s15")
      .field("CODE", Type::PString, 8)
      .field("BORN", Type::Date)
      .field("AT", Type::Time)
      .group("ACCOUNT").field("STATUS", Type::Byte).field("RATING", Type::Byte).end()
      .field("SCORES", Type::Short).dim(2, 3)
      .field("TAGS", Type::String, 3).dim(4)
      .memo("NOTES", 2000)
      .blob("PHOTO").binary()
      .memo("RAW", 0).binary()
      .key("BYLONG", "LONG", PRIMARY)
      .key("BYNAME", "NAME,-BORN", DUP | NOCASE)
      .key("BYCITY", "CITY", DUP | OPT | NOCASE);
}

void fill_every_type(tps::fixture::Table& t, int i) {
  t.row()
      .set("BYTE", 200 + i)
      .set("SHORT", -1000 * i)
      .set("USHORT", 60000)
      .set("LONG", 100 - i)
      .set("ULONG", std::int64_t{4000000000})
      .set("SREAL", 1.5 * i)
      .set("REAL", -2.25 * i)
      .set("AMOUNT", i % 2 ? "-1234.56" : "7.05")
      .set("NAME", i % 2 ? "Smith" : "jones")
      .set("CITY", i % 3 ? "Paris" : "")
      .set("CODE", "ab")
      .set_date("BORN", 6, 2, 1990 + i)
      .set_time("AT", 11, 57, 8, 75)
      .set("STATUS", 1)
      .set("RATING", 9)
      .set("SCORES[1]", 1)
      .set("SCORES[6]", -6)
      .set("TAGS[3]", "xyz")
      .set("NOTES", std::string(300 + 7 * i, static_cast<char>('a' + i)))
      .set("PHOTO", std::string(i * 100, '\xFF'));
  if (i == 1) t.set("RAW", std::string("\0\x01\x02", 3));
}

TEST(WriterBuilder, EveryTypeArraysGroupsMemosAndBlobsReadBackIdentically) {
  ScratchDir dir;
  File file;
  auto& t = file.table("ALL");
  every_type_layout(t);
  std::vector<std::string> rows;
  std::vector<std::vector<std::string>> memos;
  for (int i = 0; i < 5; ++i) {
    fill_every_type(t, i);
    rows.push_back(t.record());
    memos.push_back({std::string(300 + 7 * i, static_cast<char>('a' + i)),
                     std::string(i * 100, '\xFF'),
                     i == 1 ? std::string("\0\x01\x02", 3) : std::string()});
  }
  const fs::path path = dir / "ALL.TPS";
  file.write(path);

  Opened in(path.string());
  ASSERT_EQ(in.table.open(0x40), 0) << files::file_error();
  EXPECT_EQ(in.table.definition(), t.definition());
  EXPECT_EQ(in.table.records(), 5);
  in.table.set();
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(in.table.next(), 0) << files::file_error();
    EXPECT_EQ(in.table.pointer(), 2 + i) << "record numbers are issued from 2 up";
    EXPECT_EQ(hex(in.record()), hex(rows[i]));
    for (int m = 1; m <= 3; ++m) {
      const std::string& want = memos[i][m - 1];
      EXPECT_EQ(in.table.blob_size(m), static_cast<std::int64_t>(want.size()));
      EXPECT_EQ(in.table.blob_read(m, 0, static_cast<std::int64_t>(want.size()) - 1), want);
    }
  }
  EXPECT_EQ(in.table.next(), files::kRecordNotAvailable);
}

TEST(WriterBuilder, FixtureLayoutGivesTheDeclaredOffsetsAndSizes) {
  File file;
  auto& t = file.table("ALL");
  every_type_layout(t);
  struct Want {
    const char* name;
    std::uint16_t offset, length, elements;
  };
  const Want want[] = {
      {"ALL:BYTE", 0, 1, 1},     {"ALL:SHORT", 1, 2, 1},     {"ALL:USHORT", 3, 2, 1},
      {"ALL:LONG", 5, 4, 1},     {"ALL:ULONG", 9, 4, 1},     {"ALL:SREAL", 13, 4, 1},
      {"ALL:REAL", 17, 8, 1},    {"ALL:AMOUNT", 25, 5, 1},   {"ALL:NAME", 30, 20, 1},
      {"ALL:FIRST", 30, 5, 1},   {"ALL:CITY", 50, 16, 1},    {"ALL:CODE", 66, 8, 1},
      {"ALL:BORN", 74, 4, 1},    {"ALL:AT", 78, 4, 1},       {"ALL:ACCOUNT", 82, 2, 1},
      {"ALL:STATUS", 82, 1, 1},  {"ALL:RATING", 83, 1, 1},   {"ALL:SCORES", 84, 12, 6},
      {"ALL:TAGS", 96, 12, 4},
  };
  const tps::TableDef& def = t.definition();
  ASSERT_EQ(def.fields.size(), std::size(want));
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    SCOPED_TRACE(want[i].name);
    EXPECT_EQ(def.fields[i].name, want[i].name);
    EXPECT_EQ(def.fields[i].offset, want[i].offset);
    EXPECT_EQ(def.fields[i].length, want[i].length);
    EXPECT_EQ(def.fields[i].elements, want[i].elements);
    EXPECT_EQ(def.fields[i].number, i);
  }
  EXPECT_EQ(def.fields[7].places, 2);
  EXPECT_EQ(def.fields[7].element_bytes, 5);
  EXPECT_EQ(def.fields[10].picture, "@s15");
  EXPECT_EQ(def.memos[1].flags, tps::format::kMemoFlagBlob | tps::format::kMemoFlagBinary);
  EXPECT_EQ(def.keys[1].components[1].flags, tps::format::kComponentDescending);
  t.row();  // the layout is complete once rows begin
  EXPECT_EQ(t.definition().record_length, 108);
}

TEST(WriterBuilder, SeveralTablesShareOneFileAndItsRecordNumbers) {
  ScratchDir dir;
  File file;
  auto& cus = file.table("CUS", "CUSTOMER");
  cus.field("NAME", Type::String, 10).key("BYNAME", "NAME");
  auto& ord = file.table("ORD", "ORDERS");
  ord.field("QTY", Type::Long);
  auto& empty = file.table("EMP", "EMPTY");
  empty.field("X", Type::Byte);
  cus.row().set("NAME", "Ann");
  ord.row().set("QTY", 3);
  cus.row().set("NAME", "Bob");
  ord.row().set("QTY", 4);
  const fs::path path = dir / "SUPER.TPS";
  file.write(path);

  struct Want {
    const char* table;
    std::vector<std::int32_t> pointers;
  };
  // Record numbers are file-wide, in the order the rows were begun.
  const Want want[] = {{"CUSTOMER", {2, 4}}, {"ORDERS", {3, 5}}, {"EMPTY", {}}, {"", {2, 4}}};
  for (const Want& w : want) {
    SCOPED_TRACE(w.table);
    Opened in(path.string() + (*w.table ? std::string("\\!") + w.table : std::string()));
    ASSERT_EQ(in.table.open(0x40), 0) << files::file_error();
    std::vector<std::int32_t> got;
    in.table.set();
    while (in.table.next() == 0) got.push_back(in.table.pointer());
    EXPECT_EQ(got, w.pointers);
    EXPECT_EQ(in.table.records(), static_cast<std::int32_t>(w.pointers.size()));
  }
  // Name records come last, in name order, each naming its table's number.
  const auto records = read_records(path);
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(records[records.size() - 3].first, "\xFE" "CUSTOMER");
  EXPECT_EQ(hex(records[records.size() - 3].second), "00000001");
  EXPECT_EQ(records[records.size() - 2].first, "\xFE" "EMPTY");
  EXPECT_EQ(hex(records[records.size() - 2].second), "00000003");
  EXPECT_EQ(records.back().first, "\xFE" "ORDERS");
}

TEST(WriterBuilder, HeaderAndRecordOrderFollowTheDriver) {
  ScratchDir dir;
  File file;
  auto& t = file.table("DEP");
  t.field("ID", Type::Long).field("NAME", Type::String, 8).memo("NOTE", 100)
      .key("BYID", "ID", PRIMARY).key("BYNAME", "NAME", DUP | NOCASE);
  t.row().set("ID", 1).set("NAME", "Sales").set("NOTE", "first");
  t.row().set("ID", 2).set("NAME", "Admin");
  const fs::path path = dir / "DEP.TPS";
  file.write(path);

  const std::string b = file_bytes(path);
  ASSERT_EQ(b.size() % 0x100, 0u);
  EXPECT_EQ(u32le(b, 0), 0u);
  EXPECT_EQ(b[4], 0);
  EXPECT_EQ(b[5], 2);
  EXPECT_EQ(u32le(b, 6), b.size());
  EXPECT_EQ(u32le(b, 0x0A), b.size());
  EXPECT_EQ(b.substr(0x0E, 4), "tOpS");
  EXPECT_EQ(hex(b.substr(0x14, 4)), "00000003") << "last issued record number, big-endian";
  EXPECT_EQ(u32le(b, 0x1C), 0u) << "the root lies on unit 0";
  const std::uint32_t end = static_cast<std::uint32_t>((b.size() - 0x200) / 0x100);
  for (std::uint32_t i = 0; i < 60; ++i) {
    SCOPED_TRACE(i);
    const std::uint32_t start = u32le(b, 0x20 + 4 * i), stop = u32le(b, 0x110 + 4 * i);
    if (i < end) {
      EXPECT_EQ(start, 0u);
      EXPECT_EQ(stop, 0u);
    } else if (i == end) {
      EXPECT_EQ(start, 0u) << "the one block, under the pair of its own size";
      EXPECT_EQ(stop, end);
    } else {
      EXPECT_EQ(start, end);
      EXPECT_EQ(stop, end);
    }
  }

  std::vector<std::string> headers;
  for (const auto& [h, d] : read_records(path)) headers.push_back(hex(h));
  const std::vector<std::string> want = {
      "",
      "00000001" "00" "80000001",                          // BYID, unique: number in the data
      "00000001" "00" "80000002",
      "00000001" "01" "61646d696e202020" "00000003",      // BYNAME, DUP: number in the header
      "00000001" "01" "73616c6573202020" "00000002",
      "00000001" "f3" "00000002",
      "00000001" "f3" "00000003",
      "00000001" "f6" "00",
      "00000001" "f6" "01",
      "00000001" "f6" "f3",
      "00000001" "fa" "0000",
      "00000001" "fb" "01",
      "00000001" "fc" "00000002" "00" "0000",
      "fe" + hex("UNNAMED"),
  };
  EXPECT_EQ(headers, want);
}

TEST(WriterBuilder, EmptyTableHoldsItsDefinitionAndZeroCounters) {
  ScratchDir dir;
  File file;
  file.table("E").field("A", Type::Long).key("K", "A");
  const fs::path path = dir / "EMPTY.TPS";
  file.write(path);
  const std::string b = file_bytes(path);
  EXPECT_EQ(hex(b.substr(0x14, 4)), "00000001");
  Opened in(path.string());
  ASSERT_EQ(in.table.open(0x40), 0) << files::file_error();
  EXPECT_EQ(in.table.records(), 0);
  in.table.set();
  EXPECT_EQ(in.table.next(), files::kRecordNotAvailable);
  for (const auto& [h, d] : read_records(path)) {
    if (h.size() == 6 && static_cast<unsigned char>(h[4]) == tps::format::kKindCounter) {
      EXPECT_EQ(hex(d), "0000000000000000");
    }
  }
}

TEST(WriterBuilder, LargeTableBuildsSeveralLevelsAndReadsBackInOrder) {
  ScratchDir dir;
  File file;
  auto& t = file.table("BIG");
  t.field("N", Type::Long).field("TEXT", Type::String, 40).memo("M", 1000)
      .key("BYN", "N").key("BYTEXT", "TEXT", DUP);
  const int n = 30000;
  for (int i = 0; i < n; ++i) {
    t.row().set("N", i).set("TEXT", "row " + std::to_string(i * 7919 % n));
    if (i % 100 == 0) t.set("M", std::string(600, 'm'));
  }
  const fs::path path = dir / "BIG.TPS";
  file.write(path);

  const auto records = read_records(path);
  // rows, two keys' entries, 300 MEMOs of 3 chunks, and the fixed records
  EXPECT_EQ(records.size(), 1u + 3 * n + 900 + 3 + 1 + 1 + 1);
  Opened in(path.string());
  ASSERT_EQ(in.table.open(0x40), 0) << files::file_error();
  EXPECT_EQ(in.table.records(), n);
  in.table.set();
  int seen = 0;
  while (in.table.next() == 0) {
    std::int32_t v;
    std::memcpy(&v, in.storage.data(), 4);
    ASSERT_EQ(v, seen);
    ++seen;
  }
  EXPECT_EQ(seen, n);
  const std::string b = file_bytes(path);
  EXPECT_EQ(u32le(b, 0x1C), 0u);
  EXPECT_GE(static_cast<unsigned char>(b[0x200 + 12]), 2) << "the root is a node two levels up";
}

TEST(WriterBuilder, RecordsNearlyAPageLongEachTakeALeafOfTheirOwn) {
  // A record that fits a page alone but not beside the leaf's first record
  // starts a new leaf instead of being refused.
  ScratchDir dir;
  File file;
  auto& t = file.table("BIG");
  t.field("TEXT", Type::String, 63985);
  for (char c : {'a', 'b', 'c'}) t.row().set("TEXT", std::string(63985, c));
  const fs::path path = dir / "WIDE.TPS";
  file.write(path);
  Opened in(path.string());
  ASSERT_EQ(in.table.open(0x40), 0) << files::file_error();
  in.table.set();
  for (char c : {'a', 'b', 'c'}) {
    ASSERT_EQ(in.table.next(), 0) << files::file_error();
    EXPECT_EQ(std::string(in.storage.data(), 63985), std::string(63985, c));
  }
  EXPECT_EQ(in.table.next(), files::kRecordNotAvailable);
}

TEST(WriterBuilder, RefusesWhatTheFileCannotHold) {
  ScratchDir dir;
  const fs::path path = dir / "BAD.TPS";
  struct Case {
    const char* what;
    std::function<void(tps::FileBuilder&)> build;
  };
  tps::TableDef def;
  def.record_length = 2;
  tps::FieldDef f;
  f.type = tps::format::kTypeShort;
  f.name = "T:S";
  f.length = 2;
  def.fields.push_back(f);
  tps::KeyDef unique;
  unique.name = "T:K";
  unique.components.push_back({0, 0});
  tps::TableDef keyed = def;
  keyed.keys.push_back(unique);
  tps::TableDef outside = def;
  outside.fields[0].offset = 1;
  const Case cases[] = {
      {"a row of the wrong length", [&](auto& b) { b.add_row(b.add_table(def), "abc"); }},
      {"a unique key holding a value twice",
       [&](auto& b) {
         const auto t = b.add_table(keyed);
         b.add_row(t, "ab");
         b.add_row(t, "ab");
       }},
      {"a field outside the record", [&](auto& b) { b.add_table(outside); }},
      {"a table name used twice",
       [&](auto& b) {
         b.add_table(def, "T");
         b.add_table(def, "T");
       }},
      {"record numbers that do not rise",
       [&](auto& b) {
         const auto t = b.add_table(def);
         b.add_row(t, "ab", {}, 9);
         b.add_row(t, "ab", {}, 9);
       }},
      {"more MEMO values than MEMOs",
       [&](auto& b) {
         const std::string m[] = {"x"};
         b.add_row(b.add_table(def), "ab", m);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tps::FileBuilder builder;
    c.build(builder);
    EXPECT_FALSE(builder.write(path));
    EXPECT_FALSE(builder.error().empty());
    EXPECT_FALSE(fs::exists(path)) << "no half-written file is left";
  }
}

}  // namespace
