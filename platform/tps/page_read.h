// Decoding one page of a TopSpeed file: the 13-byte page header, the
// run-length coded body and the record stream with its shared prefixes. A page
// that breaks any rule is refused as a whole, with a reason; nothing is read
// outside the page's bytes.
//
// What the decoder insists on (true of every page the driver writes):
//   - the page header's self offset equals the page's offset;
//   - 13 <= size on disk <= decoded size, and the page lies inside a block;
//   - on a node page the child units (4 per child, raw) come first;
//   - the run-length stream decodes to exactly decoded size - 13 - 4 x children
//     bytes, and no repeat comes before the first byte;
//   - the record stream holds exactly `count` records (count >= 1), each sharing
//     at most the previous record's length, header length <= record length,
//     and consumes the body to its last byte;
//   - the plain size (+8) equals 13 + sum(5 + record length) [+ 4 per child];
//   - records (keys on a node page) stand in ascending header order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tps/source.h"

namespace tps {

struct PageRecord {
  std::uint32_t start = 0;   // in DecodedPage::bytes
  std::uint16_t length = 0;  // record length
  std::uint16_t header = 0;  // header length
};

struct DecodedPage {
  std::uint64_t offset = 0;
  std::uint8_t level = 0;
  std::vector<std::uint32_t> children;  // node pages: child units
  std::vector<PageRecord> records;      // leaf records, or node keys
  std::string bytes;                    // the records, rebuilt whole, back to back
  std::string body;                     // scratch: the body as stored
  std::string unpacked;                 // scratch: the body after run-length decoding

  std::string_view record(std::size_t i) const {
    return std::string_view(bytes).substr(records[i].start, records[i].length);
  }
  std::string_view header(std::size_t i) const {
    return std::string_view(bytes).substr(records[i].start, records[i].header);
  }
  std::string_view data(std::size_t i) const {
    return std::string_view(bytes).substr(records[i].start + records[i].header,
                                          records[i].length - records[i].header);
  }
};

// Decodes run-length coded `in` into `out`, which must come out exactly
// `expected` bytes long. False when the stream is malformed.
bool rle_decode(std::string_view in, std::size_t expected, std::string& out);

// Unsigned byte order of record headers, the order of the tree.
int compare_headers(std::string_view a, std::string_view b);

// Reads and decodes the page at byte offset `offset`, which must lie inside
// [block_begin, block_end). On failure returns false and says why.
bool read_page(Source& source, std::uint64_t offset, std::uint64_t block_begin,
               std::uint64_t block_end, DecodedPage& page, std::string& why);

}  // namespace tps
