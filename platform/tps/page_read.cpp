#include "platform/tps/page_read.h"

#include <cstring>

#include "platform/tps/bytes.h"
#include "platform/tps/format.h"

namespace tps {

namespace {

std::string hex(std::uint64_t v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[v & 15]);
    v >>= 4;
  } while (v != 0);
  return s + "h";
}

// A count of the run-length stream: one byte, or two when the high bit is set.
bool read_count(std::string_view in, std::size_t& at, std::size_t& count) {
  if (at >= in.size()) return false;
  const auto b = static_cast<unsigned char>(in[at++]);
  if ((b & 0x80) == 0) {
    count = b;
    return true;
  }
  if (at >= in.size()) return false;
  count = (b & 0x7Fu) + static_cast<std::size_t>(static_cast<unsigned char>(in[at++])) * 128;
  return true;
}

// Splits the decoded body into `count` records, rebuilding each whole.
bool parse_records(std::string_view body, std::size_t count, DecodedPage& page,
                   std::size_t& plain, std::string& why) {
  page.records.clear();
  page.bytes.clear();
  page.bytes.reserve(body.size() + 64 * count);
  std::size_t at = 0;
  std::uint16_t length = 0, header = 0;
  std::size_t previous_start = 0, previous_length = 0;
  plain = 0;
  for (std::size_t r = 0; r < count; ++r) {
    if (at >= body.size()) {
      why = "the record stream ends after " + std::to_string(r) + " of " +
            std::to_string(count) + " records";
      return false;
    }
    const auto flags = static_cast<unsigned char>(body[at++]);
    if (flags & format::kRecHasLength) {
      if (body.size() - at < 2) { why = "a record length runs past the page"; return false; }
      length = bytes::u16le(body.data() + at);
      at += 2;
    }
    if (flags & format::kRecHasHeaderLength) {
      if (body.size() - at < 2) { why = "a header length runs past the page"; return false; }
      header = bytes::u16le(body.data() + at);
      at += 2;
    }
    const std::size_t copy = flags & format::kRecCopyMask;
    if (copy > previous_length || copy > length) {
      why = "record " + std::to_string(r) + " shares " + std::to_string(copy) +
            " bytes of a shorter record";
      return false;
    }
    if (header > length) {
      why = "record " + std::to_string(r) + " has a header longer than itself";
      return false;
    }
    const std::size_t tail = length - copy;
    if (body.size() - at < tail) {
      why = "record " + std::to_string(r) + " runs past the page";
      return false;
    }
    const std::size_t start = page.bytes.size();
    page.bytes.append(page.bytes, previous_start, copy);
    page.bytes.append(body.data() + at, tail);
    at += tail;
    page.records.push_back({static_cast<std::uint32_t>(start), length, header});
    if (r > 0 && compare_headers(page.header(r - 1), page.header(r)) > 0) {
      why = "record " + std::to_string(r) + " is out of order";
      return false;
    }
    previous_start = start;
    previous_length = length;
    plain += format::kRecordOverhead + length;
  }
  if (at != body.size()) {
    why = "the record stream has " + std::to_string(body.size() - at) + " bytes left over";
    return false;
  }
  return true;
}

}  // namespace

bool rle_decode(std::string_view in, std::size_t expected, std::string& out) {
  out.clear();
  out.reserve(expected);
  std::size_t at = 0;
  while (at < in.size()) {
    std::size_t skip = 0;
    if (!read_count(in, at, skip)) return false;
    if (skip > in.size() - at || skip > expected - out.size()) return false;
    out.append(in.data() + at, skip);
    at += skip;
    if (at >= in.size()) break;
    std::size_t repeat = 0;
    if (!read_count(in, at, repeat)) return false;
    if (repeat > expected - out.size()) return false;
    if (repeat != 0) {
      if (out.empty()) return false;
      out.append(repeat, out.back());
    }
  }
  return out.size() == expected;
}

int compare_headers(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool read_page(Source& source, std::uint64_t offset, std::uint64_t block_begin,
               std::uint64_t block_end, DecodedPage& page, std::string& why) {
  const std::string where = "page at " + hex(offset) + ": ";
  unsigned char h[format::kPageHeaderSize];
  if (offset < block_begin || offset + sizeof h > block_end || !source.read(offset, sizeof h, h)) {
    why = where + "lies outside the file's blocks";
    return false;
  }
  const std::uint32_t self = bytes::u32le(h + format::kPgSelf);
  const std::size_t disk = bytes::u16le(h + format::kPgDiskSize);
  const std::size_t decoded = bytes::u16le(h + format::kPgDecodedSize);
  const std::size_t plain_size = bytes::u16le(h + format::kPgPlainSize);
  const std::size_t count = bytes::u16le(h + format::kPgCount);
  const std::uint8_t level = h[format::kPgLevel];
  if (self != offset) { why = where + "its self offset reads " + hex(self); return false; }
  if (disk < format::kPageHeaderSize || disk > decoded) {
    why = where + "its sizes do not fit together";
    return false;
  }
  if (offset + disk > block_end) { why = where + "runs past its block"; return false; }
  if (count == 0) { why = where + "holds no records"; return false; }
  const std::size_t pointers = level > 0 ? count * format::kChildSize : 0;
  if (format::kPageHeaderSize + pointers > disk) {
    why = where + "its child pointers run past the page";
    return false;
  }
  std::string& raw = page.body;
  raw.resize(disk - format::kPageHeaderSize);
  if (!source.read(offset + format::kPageHeaderSize, raw.size(), raw.data())) {
    why = where + "cannot be read";
    return false;
  }
  page.offset = offset;
  page.level = level;
  page.children.clear();
  for (std::size_t c = 0; c < count && level > 0; ++c)
    page.children.push_back(bytes::u32le(raw.data() + 4 * c));

  const std::size_t expected = decoded - format::kPageHeaderSize - pointers;
  std::string_view stream = std::string_view(raw).substr(pointers);
  std::string_view body;
  if (disk == decoded) {
    body = stream;
  } else {
    if (!rle_decode(stream, expected, page.unpacked)) {
      why = where + "its run-length coding is damaged";
      return false;
    }
    body = page.unpacked;
  }
  std::size_t plain = 0;
  std::string reason;
  if (!parse_records(body, count, page, plain, reason)) {
    why = where + reason;
    return false;
  }
  if (format::kPageHeaderSize + plain + pointers != plain_size) {
    why = where + "its record sizes do not add up";
    return false;
  }
  return true;
}

}  // namespace tps
