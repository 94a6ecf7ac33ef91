// Bad input: damaged, truncated or foreign bytes end in error 36, 47 or 90
// with the reader's own code and text, never in a crash, a hang or a read
// outside the bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/tps/page_read.h"
#include "platform/tps/source.h"
#include "platform/tps/tps_file.h"
#include "reader_craft.h"
#include "reader_support.h"

namespace {

using namespace reader_craft;
using reader_test::sample;

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Opened {
  std::vector<char> storage = std::vector<char>(tps::Declaration::kRecordStorage);
  tps::Declaration file{nullptr, nullptr, storage.data()};
  std::string bytes;
  int open_code = 0;
  int read_code = 0;
  int rows = 0;

  // Opens the bytes and reads every row with its MEMOs, then backwards.
  explicit Opened(std::string b, const std::string& table = {}) : bytes(std::move(b)) {
    open_code = file.open_bytes(std::make_unique<tps::MemorySource>(bytes), table);
    if (open_code != 0) return;
    file.set();
    while ((read_code = file.next()) == 0) {
      ++rows;
      for (int m = 1; m <= static_cast<int>(file.definition().memos.size()); ++m)
        file.blob_read(m, 0, file.blob_size(m));
    }
    file.set();
    while (file.previous() == 0) {}
  }
};

TEST(ReaderDamage, RunLengthStreams) {
  struct Case { const char* what; std::string in; std::size_t expected; bool ok; std::string out; };
  const Case cases[] = {
      {"a literal", "\x03" "abc", 3, true, "abc"},
      {"a literal and a repeat", "\x01" "a\x03", 4, true, "aaaa"},
      {"two-byte counts", std::string("\x81\x01", 2) + std::string(129, 'x') + "\x80\x01", 257, true,
       std::string(257, 'x')},
      {"an empty literal after a repeat", std::string("\x01" "a\x02\x00", 4), 3, true, "aaa"},
      {"a repeat before any byte", std::string("\x00\x03", 2), 3, false, ""},
      {"a literal past the input", "\x05" "ab", 5, false, ""},
      {"more output than the page holds", "\x03" "abc", 2, false, ""},
      {"a repeat past the page", "\x01" "a\x09", 4, false, ""},
      {"less output than the page holds", "\x02" "ab", 3, false, ""},
      {"a count cut short", "\x81", 1, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string out;
    EXPECT_EQ(tps::rle_decode(c.in, c.expected, out), c.ok);
    if (c.ok) {
      EXPECT_EQ(out, c.out);
    }
  }
}

TEST(ReaderDamage, TheHandMadeFileReads) {
  const auto recs = table_records({{2, be32(7)}, {5, be32(9)}});
  Opened t(file({page(0x200, recs)}));
  ASSERT_EQ(t.open_code, 0) << files::file_error();
  EXPECT_EQ(t.rows, 2);
  EXPECT_EQ(t.read_code, files::kRecordNotAvailable);
}

TEST(ReaderDamage, BrokenPagesAndRecordStreams) {
  const auto recs = table_records({{2, be32(7)}});
  const std::string good = page(0x200, recs);
  auto patched = [&](std::size_t at, std::string bytes) {
    std::string p = good;
    p.replace(at, bytes.size(), bytes);
    return p;
  };
  std::string s16;
  struct Case { const char* what; std::string page; };
  const Case cases[] = {
      {"a wrong self offset", patched(0, std::string("\x00\x03\x00\x00", 4))},
      {"a disk size below the header", patched(4, std::string("\x05\x00", 2))},
      {"a disk size above the decoded size", patched(4, std::string("\xFF\x0F", 2))},
      {"a record count above the stream", patched(10, std::string("\x09\x00", 2))},
      {"no records at all", patched(10, std::string("\x00\x00", 2))},
      {"a plain size that does not add up", patched(8, std::string("\x01\x01", 2))},
      // The second record (after the empty one) shares 3 bytes of a 0-byte record.
      {"a prefix longer than the previous record", patched(13 + 5, std::string("\xC3", 1))},
      {"a header longer than its record", patched(13 + 5 + 3, std::string("\x30\x00", 2))},
      {"a record running past the page", patched(13 + 5 + 1, std::string("\x00\x10", 2))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Opened t(file({c.page}));
    EXPECT_EQ(t.open_code, files::kInvalidDataFile);
    EXPECT_FALSE(files::file_error().empty());
    EXPECT_FALSE(t.file.is_open());
  }
}

TEST(ReaderDamage, HeadersThatAreNotTopSpeed) {
  const std::string good = file({page(0x200, table_records({{2, be32(7)}}))});
  auto patched = [&](std::size_t at, std::string bytes) {
    std::string f = good;
    f.replace(at, bytes.size(), bytes);
    return f;
  };
  struct Case { const char* what; std::string bytes; int code; };
  const Case cases[] = {
      {"no bytes", "", files::kInvalidDataFile},
      {"a text file", "CustNumber,Company\r\n1,Acme\r\n", files::kInvalidDataFile},
      {"cut inside the header", good.substr(0, 0x100), files::kInvalidDataFile},
      {"cut after the header", good.substr(0, 0x200), files::kInvalidDataFile},
      {"a wrong signature", patched(0x0E, "tOpX"), files::kInvalidDataFile},
      {"a wrong header size", patched(0x04, std::string("\x00\x01", 2)), files::kInvalidDataFile},
      {"two lengths that differ", patched(0x0A, std::string("\x00\x04\x00\x00", 4)), files::kInvalidDataFile},
      {"a block past the end", patched(0x110 + 4, std::string("\x40\x00\x00\x00", 4)), files::kInvalidDataFile},
      {"a root outside the blocks", patched(0x1C, std::string("\x09\x00\x00\x00", 4)), files::kInvalidDataFile},
      // Offset 0 not zero and a whole number of units: the file can only be enciphered.
      {"offset 0 not zero", patched(0, std::string("\x01", 1)), files::kFileSystemError},
      {"offset 0 not zero, part of a unit", patched(0, std::string("\x01", 1)) + "x", files::kInvalidDataFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Opened t(c.bytes);
    EXPECT_EQ(t.open_code, c.code);
    EXPECT_EQ(files::error_code(), c.code);
  }
}

TEST(ReaderDamage, TreesThatLoopOrRepeat) {
  const auto recs = table_records({{2, be32(7)}, {3, be32(8)}});
  const std::string leaf = page(0x300, recs);
  struct Case { const char* what; std::string node; };
  const std::vector<Rec> two_keys = {{"", ""}, {recs[2].header, ""}};
  const Case cases[] = {
      {"a node whose child is itself", page(0x200, two_keys, {0, 1}, 1)},
      {"a node whose children are one leaf twice", page(0x200, two_keys, {1, 1}, 1)},
      {"a node one level too high", page(0x200, two_keys, {1, 1}, 2)},
      {"a child beyond the file", page(0x200, two_keys, {1, 90}, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = file({c.node, leaf});
    tps::TpsFile f;
    ASSERT_FALSE(f.open(std::make_unique<tps::MemorySource>(bytes)));
    tps::TreeCursor cursor(f);
    bool ok = cursor.first();
    std::size_t records = 0;
    while (ok && cursor.valid() && records < 1000) {
      ++records;
      ok = cursor.next();
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(cursor.fault().empty());
    EXPECT_LE(records, recs.size());
    // The declaration over the same bytes fails plainly, or reads the rows it
    // can reach before the damage.
    Opened t(bytes);
    EXPECT_TRUE(t.open_code == files::kInvalidDataFile || t.read_code == files::kFileSystemError ||
                t.read_code == files::kRecordNotAvailable)
        << t.open_code << " " << t.read_code;
  }
}

TEST(ReaderDamage, RecordsThatDoNotFitTheirTable) {
  // A row shorter than the table's record.
  Opened short_row(file({page(0x200, table_records({{2, be32(7)}, {3, "ab"}}))}));
  ASSERT_EQ(short_row.open_code, 0);
  EXPECT_EQ(short_row.rows, 1);
  EXPECT_EQ(short_row.read_code, files::kFileSystemError);
  // A record longer than the record storage is refused at open.
  Opened huge(file({page(0x200, table_records({}, 65521))}));
  EXPECT_EQ(huge.open_code, files::kInvalidRecordDeclaration);
  EXPECT_EQ(files::file_error_code(), tps::fault::kRecordSize);
  EXPECT_NE(files::file_error().find("65520"), std::string::npos);
  EXPECT_FALSE(huge.file.is_open());
}

TEST(ReaderDamage, EveryCutOfARealDefinitionIsRefused) {
  QM_NEEDS_SAMPLES();
  tps::TableDef def;
  reader_test::Table t(sample("small-app/Neurons.tps"));
  ASSERT_EQ(t.file.open(0), 0);
  // Rebuild the stored bytes through the file: the definition fragments, joined.
  tps::TpsFile f;
  auto src = std::make_unique<tps::FileSource>();
  ASSERT_TRUE(src->open(sample("small-app/Neurons.tps")));
  ASSERT_FALSE(f.open(std::move(src)));
  tps::TreeCursor c(f);
  std::string bytes;
  ASSERT_TRUE(c.first());
  for (; c.valid(); c.next())
    if (c.header().size() == 7 && static_cast<unsigned char>(c.header()[4]) == 0xFA) bytes += c.data();
  ASSERT_TRUE(tps::parse_definition(bytes, def));
  EXPECT_EQ(def, t.file.definition());
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    tps::TableDef cut;
    std::string why;
    EXPECT_FALSE(tps::parse_definition(bytes.substr(0, n), cut, &why)) << n;
    EXPECT_FALSE(why.empty());
  }
  std::string why;
  EXPECT_FALSE(tps::parse_definition(bytes + "x", def, &why));
  EXPECT_NE(why.find("left over"), std::string::npos);
}

TEST(ReaderDamage, EveryByteOfARealTableFlipped) {
  QM_NEEDS_SAMPLES();
  // Whatever byte is damaged, the table opens and reads, or fails with one of
  // the driver's error numbers; nothing else happens.
  for (const char* name : {"vendor-examples/Tutor/CUSTOMER.TPS", "vendor-examples/DFD/Memos/Department.tps"}) {
    SCOPED_TRACE(name);
    const std::string good = file_bytes(sample(name));
    ASSERT_FALSE(good.empty());
    for (std::size_t at = 0; at < good.size(); ++at) {
      for (unsigned char flip : {0x01, 0x80, 0xFF}) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ flip);
        Opened t(bad);
        const int code = t.open_code != 0 ? t.open_code : t.read_code;
        ASSERT_TRUE(code == files::kInvalidDataFile || code == files::kFileSystemError ||
                    code == files::kRecordNotAvailable || code == files::kInvalidRecordDeclaration)
            << "byte " << at << " code " << code;
      }
    }
  }
}

TEST(ReaderDamage, EveryTruncationOfARealTable) {
  QM_NEEDS_SAMPLES();
  const std::string good = file_bytes(sample("vendor-examples/DFD/Memos/Department.tps"));
  for (std::size_t n = 0; n < good.size(); n += 7) {
    Opened t(good.substr(0, n));
    EXPECT_EQ(t.open_code, files::kInvalidDataFile) << n;
  }
}

}  // namespace
