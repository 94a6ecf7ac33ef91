// Key entries: the key bytes of every type (so that byte order is value
// order), NOCASE, descending components, OPT leaving out all-blank rows only,
// and where the record number goes for DUP and unique keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/tps/fixture.h"
#include "platform/tps/keys.h"
#include "writer_support.h"

namespace {

using tps::fixture::DUP;
using tps::fixture::File;
using tps::fixture::NOCASE;
using tps::fixture::OPT;
using tps::fixture::Type;
using writer_test::hex;
using writer_test::unhex;

struct KeyCase {
  const char* what;
  Type type;
  std::uint16_t size;
  std::uint8_t places;
  std::uint8_t flags;
  std::function<void(tps::fixture::Table&)> fill;
  const char* key;  // hex
};

TEST(WriterKeys, EveryTypeGivesBytesInValueOrder) {
  const KeyCase cases[] = {
      {"BYTE", Type::Byte, 0, 0, 0, [](auto& t) { t.set("V", 200); }, "c8"},
      {"SHORT positive", Type::Short, 0, 0, 0, [](auto& t) { t.set("V", 1); }, "8001"},
      {"SHORT negative", Type::Short, 0, 0, 0, [](auto& t) { t.set("V", -1); }, "7fff"},
      {"USHORT", Type::UShort, 0, 0, 0, [](auto& t) { t.set("V", 0x1234); }, "1234"},
      {"LONG", Type::Long, 0, 0, 0, [](auto& t) { t.set("V", 1); }, "80000001"},
      {"LONG negative", Type::Long, 0, 0, 0, [](auto& t) { t.set("V", -2); }, "7ffffffe"},
      {"ULONG", Type::ULong, 0, 0, 0, [](auto& t) { t.set("V", 0x01020304); }, "01020304"},
      {"DATE is year, month, day", Type::Date, 0, 0, 0, [](auto& t) { t.set_date("V", 6, 2, 2002); },
       "07d20206"},
      {"TIME is hours ... hundredths", Type::Time, 0, 0, 0,
       [](auto& t) { t.set_time("V", 11, 57, 8, 75); }, "0b39084b"},
      {"REAL positive", Type::Real, 0, 0, 0, [](auto& t) { t.set("V", 95.0); }, "c057c00000000000"},
      {"REAL negative", Type::Real, 0, 0, 0, [](auto& t) { t.set("V", -95.0); }, "3fa83fffffffffff"},
      {"SREAL positive", Type::SReal, 0, 0, 0, [](auto& t) { t.set("V", 1.0); }, "bf800000"},
      {"DECIMAL positive", Type::Decimal, 7, 2, 0, [](auto& t) { t.set("V", "199.00"); }, "80019900"},
      {"DECIMAL negative", Type::Decimal, 7, 2, 0, [](auto& t) { t.set("V", "-199.00"); },
       "0ffe66ff"},
      {"STRING keeps its blanks", Type::String, 6, 0, 0, [](auto& t) { t.set("V", "Ab"); },
       "416220202020"},
      {"STRING NOCASE lower-cases", Type::String, 6, 0, NOCASE, [](auto& t) { t.set("V", "AbZ"); },
       "61627a202020"},
      {"CSTRING drops what lies after the NUL", Type::CString, 6, 0, 0,
       [](auto& t) { t.set_raw("V", std::string("ab\0xyz", 6)); }, "616200000000"},
      {"CSTRING NOCASE", Type::CString, 6, 0, NOCASE, [](auto& t) { t.set("V", "QMX"); },
       "716d78000000"},
      {"PSTRING is its text", Type::PString, 5, 0, 0, [](auto& t) { t.set("V", "ab"); },
       "6162000000"},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.what);
    File file;
    auto& t = file.table("T");
    t.field("V", c.type, c.size, c.places).key("K", "V", c.flags);
    t.row();
    c.fill(t);
    EXPECT_EQ(hex(tps::key_bytes(t.definition(), 0, t.record())), c.key);
    EXPECT_EQ(tps::key_bytes_length(t.definition(), 0), t.definition().fields[0].length);
  }
}

// Byte order of the key bytes follows the values, across signs.
TEST(WriterKeys, OrderFollowsValuesAcrossSigns) {
  struct Series {
    Type type;
    std::uint16_t size;
    std::uint8_t places;
    std::vector<const char*> ascending;
  };
  const Series series[] = {
      {Type::Long, 0, 0, {"-70000", "-1", "0", "1", "65536"}},
      {Type::Short, 0, 0, {"-300", "-2", "0", "5", "300"}},
      {Type::Real, 0, 0, {"-1000.5", "-0.25", "0", "0.125", "3e10"}},
      {Type::Decimal, 9, 2, {"-500.25", "-3.10", "0", "0.01", "2.00", "1234.56"}},
  };
  for (const Series& s : series) {
    File file;
    auto& t = file.table("T");
    t.field("V", s.type, s.size, s.places).key("K", "V");
    std::string previous;
    for (const char* v : s.ascending) {
      SCOPED_TRACE(v);
      t.row();
      if (s.type == Type::Decimal) {
        t.set("V", v);
      } else {
        t.set("V", std::stod(v));
      }
      const std::string key = tps::key_bytes(t.definition(), 0, t.record());
      if (!previous.empty()) {
        EXPECT_LT(previous, key);
      }
      previous = key;
    }
  }
}

TEST(WriterKeys, DescendingComponentsAreInvertedAndComponentsJoin) {
  File file;
  auto& t = file.table("T");
  t.field("A", Type::Byte).field("B", Type::Short).key("K", "A,-B");
  t.row().set("A", 1).set("B", 1);
  EXPECT_EQ(hex(tps::key_bytes(t.definition(), 0, t.record())), "01" "7ffe");
}

TEST(WriterKeys, OptLeavesOutOnlyRowsWhoseComponentsAreAllBlank) {
  struct Case {
    const char* what;
    const char* name;
    int tag;
    bool left_out;
  };
  const Case cases[] = {
      {"all blank", "", 0, true},
      {"text set", "x", 0, false},
      {"number set", "", 1, false},
      {"blanks only count as blank", "   ", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    File file;
    auto& t = file.table("T");
    t.field("NAME", Type::String, 5).field("TAG", Type::Byte).key("K", "NAME,TAG", OPT)
        .key("PLAIN", "NAME,TAG");
    t.row().set("NAME", c.name).set("TAG", c.tag);
    std::string header, data;
    EXPECT_EQ(tps::key_leaves_out(t.definition(), 0, t.record()), c.left_out);
    EXPECT_EQ(tps::key_entry(t.definition(), 0, 1, t.record(), 2, header, data), !c.left_out);
    EXPECT_TRUE(tps::key_entry(t.definition(), 1, 1, t.record(), 2, header, data))
        << "a key without OPT holds every row";
  }
}

TEST(WriterKeys, RecordNumberEndsTheHeaderOfDupKeysAndIsTheDataOfUniqueOnes) {
  File file;
  auto& t = file.table("T");
  t.field("V", Type::Byte).key("UNIQUE", "V").key("DUPS", "V", DUP).key("DYNAMIC", "");
  t.row().set("V", 5);
  std::string header, data;
  ASSERT_TRUE(tps::key_entry(t.definition(), 0, 0x11, t.record(), 0x42, header, data));
  EXPECT_EQ(hex(header), "00000011" "00" "05");
  EXPECT_EQ(hex(data), "00000042");
  ASSERT_TRUE(tps::key_entry(t.definition(), 1, 0x11, t.record(), 0x42, header, data));
  EXPECT_EQ(hex(header), "00000011" "01" "05" "00000042");
  EXPECT_EQ(data, "");
  EXPECT_FALSE(tps::key_entry(t.definition(), 2, 0x11, t.record(), 0x42, header, data))
      << "a key without components holds no entries";
}

}  // namespace
