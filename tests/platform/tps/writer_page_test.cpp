// Run-length coding and page building as the driver does them: the coded bytes
// for known inputs, long runs and literals beyond one count, the choice between
// a raw and a coded body, shared record prefixes, and node pages.
#include <gtest/gtest.h>

#include <string>

#include "platform/tps/format.h"
#include "platform/tps/page_builder.h"
#include "platform/tps/page_read.h"
#include "platform/tps/rle_write.h"
#include "writer_support.h"

namespace {

using writer_test::hex;
using writer_test::unhex;

struct RleCase {
  const char* what;
  std::string plain;
  const char* coded;  // hex, or nullptr when only the round trip is checked
};

TEST(WriterRle, CodesAsTheDriverDoesAndDecodesBack) {
  const RleCase cases[] = {
      {"no runs", "abc", "03 616263"},
      {"three equal bytes stay literal", "aaab", "04 61616162"},
      {"a run of four is one literal and a repeat", "xaaaay", "02 7861 03 01 79"},
      {"a run at the end is followed by an empty literal", "ab" + std::string(10, 'c'),
       "03 616263 09 00"},
      {"a repeat of 128 takes two count bytes", "a" + std::string(129, 'b'), "02 6162 80 01 00"},
      {"runs back to back", "aaaabbbb", "01 61 03 01 62 03 00"},
      {"empty body", "", "00"},
      {"a run longer than one count", std::string(40000, 'z'), nullptr},
      {"a literal longer than one count", [] {
         std::string s;
         for (int i = 0; i < 40000; ++i) s.push_back(static_cast<char>(i % 251));
         return s;
       }(), nullptr},
  };
  for (const RleCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string coded = tps::rle_encode(c.plain);
    if (c.coded) {
      EXPECT_EQ(hex(coded), hex(unhex(c.coded)));
    }
    std::string back;
    ASSERT_TRUE(tps::rle_decode(coded, c.plain.size(), back));
    EXPECT_EQ(back, c.plain);
    // A literal never holds four equal bytes in a row, so nothing is left to code.
    EXPECT_LE(coded.size(), c.plain.size() + c.plain.size() / 100 + 2);
  }
}

// The page as the reader sees it, decoded from bytes placed at `offset`.
tps::DecodedPage decode(const std::string& page, std::uint64_t offset) {
  std::string file(offset, '\0');
  file += page;
  file.resize(file.size() + 0x100, '\0');
  tps::MemorySource source(file);
  tps::DecodedPage decoded;
  std::string why;
  EXPECT_TRUE(tps::read_page(source, offset, 0x200, file.size(), decoded, why)) << why;
  return decoded;
}

TEST(WriterPage, SharesPrefixesAndWritesLengthsOnlyWhenTheyChange) {
  tps::PageBuilder page;
  page.add(unhex("00000001 f3 00000002"), "row two");
  page.add(unhex("00000001 f3 00000003"), "row 333");
  page.add(unhex("00000001 f6 f3"), unhex("02000000 00000000"));
  EXPECT_EQ(page.plain_size(), 13u + (5 + 16) + (5 + 16) + (5 + 14));
  const std::string bytes = page.finish(0x300);
  // Small pages stay raw: coding would not save a unit.
  EXPECT_EQ(bytes.size(), 13u + (5 + 16) + (1 + 8) + (5 + 10));
  EXPECT_EQ(hex(bytes.substr(13)),
            hex(unhex("c0 1000 0900 00000001f300000002 726f772074776f"
                      "08 03 726f7720333333"  // shares "tn F3 000000"
                      "c4 0e00 0600 f6f3 0200000000000000")));  // shares tn
  const tps::DecodedPage decoded = decode(bytes, 0x300);
  ASSERT_EQ(decoded.records.size(), 3u);
  EXPECT_EQ(decoded.data(1), "row 333");
  EXPECT_EQ(hex(decoded.header(2)), "00000001f6f3");
}

TEST(WriterPage, CodesTheBodyOnlyWhenThatSavesAUnit) {
  struct Case {
    const char* what;
    std::size_t blank_bytes;
    bool coded;
  };
  const Case cases[] = {
      {"a short run saves bytes but no unit", 40, false},
      {"a long run saves units", 2000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tps::PageBuilder page;
    page.add(unhex("00000001 f3 00000002"), std::string(c.blank_bytes, ' ') + "end");
    const std::string bytes = page.finish(0x200);
    const std::uint16_t disk = static_cast<std::uint16_t>(
        static_cast<unsigned char>(bytes[4]) | static_cast<unsigned char>(bytes[5]) << 8);
    const std::uint16_t decoded_size = static_cast<std::uint16_t>(
        static_cast<unsigned char>(bytes[6]) | static_cast<unsigned char>(bytes[7]) << 8);
    EXPECT_EQ(disk, bytes.size());
    EXPECT_EQ(disk < decoded_size, c.coded);
    EXPECT_EQ(decode(bytes, 0x200).data(0), std::string(c.blank_bytes, ' ') + "end");
  }
}

TEST(WriterPage, NodePagesCarryRawChildUnitsBeforeTheKeys) {
  tps::PageBuilder node(2);
  node.add("", "", 7);
  node.add(unhex("00000001 f3 00000040"), "", 9);
  const std::string bytes = node.finish(0x500);
  EXPECT_EQ(bytes[tps::format::kPgLevel], 2);
  EXPECT_EQ(hex(bytes.substr(13, 8)), "0700000009000000");
  const tps::DecodedPage decoded = decode(bytes, 0x500);
  ASSERT_EQ(decoded.children.size(), 2u);
  EXPECT_EQ(decoded.children[1], 9u);
  EXPECT_EQ(decoded.header(0), "");
  EXPECT_EQ(hex(decoded.header(1)), "00000001f300000040");
}

TEST(WriterPage, RefusesRecordsThatCanNeverFit) {
  tps::PageBuilder page;
  EXPECT_TRUE(page.can_take(9, 60000));
  EXPECT_FALSE(page.can_take(9, 65530));
  page.add(unhex("00000001 f3 00000002"), std::string(60000, 'x'));
  EXPECT_FALSE(page.can_take(9, 6000));
}

}  // namespace
