// Hand-made TopSpeed bytes for the damage tests: records laid into raw
// (uncompressed) pages exactly as the format describes, so that a test can
// break one rule at a time and show what the reader does with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reader_craft {

struct Rec {
  std::string header;
  std::string data;
};

inline void u16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v));
  s.push_back(static_cast<char>(v >> 8));
}
inline void u32(std::string& s, std::uint32_t v) {
  u16(s, v & 0xFFFF);
  u16(s, v >> 16);
}
inline std::string be32(std::uint32_t v) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) s.push_back(static_cast<char>(v >> shift));
  return s;
}

// A record stream with no shared prefixes, every length given.
inline std::string stream(const std::vector<Rec>& recs) {
  std::string s;
  for (const auto& r : recs) {
    s.push_back(static_cast<char>(0xC0));
    u16(s, static_cast<std::uint32_t>(r.header.size() + r.data.size()));
    u16(s, static_cast<std::uint32_t>(r.header.size()));
    s += r.header + r.data;
  }
  return s;
}

inline std::size_t plain_size(const std::vector<Rec>& recs) {
  std::size_t n = 13;
  for (const auto& r : recs) n += 5 + r.header.size() + r.data.size();
  return n;
}

// A raw page at `offset`: leaf when `children` is empty, else a node whose keys
// are the records' headers.
inline std::string page(std::uint32_t offset, const std::vector<Rec>& recs,
                        const std::vector<std::uint32_t>& children = {}, std::uint8_t level = 0) {
  std::string body;
  for (auto c : children) u32(body, c);
  body += stream(recs);
  std::string p;
  u32(p, offset);
  u16(p, static_cast<std::uint32_t>(13 + body.size()));
  u16(p, static_cast<std::uint32_t>(13 + body.size()));
  u16(p, static_cast<std::uint32_t>(plain_size(recs) + 4 * children.size()));
  u16(p, static_cast<std::uint32_t>(recs.size()));
  p.push_back(static_cast<char>(level));
  return p + body;
}

// Pads to the next unit boundary.
inline void pad(std::string& file) {
  while ((file.size() - 0x200) % 0x100 != 0 || file.size() < 0x200) file.push_back('\0');
}

// A file of the given pages (each placed at the next unit), one block, root at `root_unit`.
inline std::string file(const std::vector<std::string>& pages, std::uint32_t root_unit = 0) {
  std::string f(0x200, '\0');
  for (const auto& p : pages) {
    f += p;
    pad(f);
  }
  const auto length = static_cast<std::uint32_t>(f.size());
  const std::uint32_t units = (length - 0x200) / 0x100;
  std::string h;
  u32(h, 0);
  u16(h, 0x200);
  u32(h, length);
  u32(h, length);
  h += "tOpS";
  u16(h, 0);
  h += be32(1000);
  u32(h, 1);
  u32(h, root_unit);
  // Block 0 carries nothing; block 1 is the whole file; the rest are empty at the end.
  std::string starts, ends;
  for (int i = 0; i < 60; ++i) {
    u32(starts, i == 0 ? 0 : i == 1 ? 0 : units);
    u32(ends, i == 0 ? 0 : units);
  }
  h += starts + ends;
  f.replace(0, h.size(), h);
  return f;
}

// A BLOB chunk of a row: its owner's record number, its sequence number and
// its bytes (the first chunk begins with the value's 4-byte length).
struct Chunk {
  std::uint32_t owner;
  std::uint16_t sequence;
  std::string data;
};

// A minimal one-table file: table 1 "UNNAMED", one LONG field, the given rows
// (record number, 4 data bytes), all in one leaf. With `chunks` the table also
// declares one BLOB, and the chunks follow the definition in header order.
inline std::vector<Rec> table_records(const std::vector<std::pair<std::uint32_t, std::string>>& rows,
                                      std::uint16_t record_length = 4,
                                      const std::vector<Chunk>& chunks = {}) {
  std::vector<Rec> recs;
  recs.push_back({"", ""});
  for (const auto& [number, data] : rows) recs.push_back({be32(1) + "\xF3" + be32(number), data});
  std::string counter;
  u32(counter, static_cast<std::uint32_t>(rows.size()));
  u32(counter, 0);
  recs.push_back({be32(1) + "\xF6\xF3", counter});
  std::string def;
  u16(def, 1);
  u16(def, record_length);
  u16(def, 1);
  u16(def, chunks.empty() ? 0 : 1);
  u16(def, 0);
  def.push_back('\x06');
  u16(def, 0);
  def += std::string("T:N") + '\0';
  u16(def, 1);
  u16(def, 4);
  u16(def, 0);
  u16(def, 0);
  if (!chunks.empty()) {
    def += std::string("\0\0", 2) + "T:B" + '\0';  // no external name
    u16(def, 0);
    u16(def, 0x04);  // BLOB
  }
  recs.push_back({be32(1) + "\xFA" + std::string("\0\0", 2), def});
  for (const Chunk& c : chunks) {
    std::string header = be32(1) + "\xFC" + be32(c.owner) + '\0';
    header.push_back(static_cast<char>(c.sequence >> 8));
    header.push_back(static_cast<char>(c.sequence));
    recs.push_back({header, c.data});
  }
  recs.push_back({"\xFEUNNAMED", be32(1)});
  return recs;
}

}  // namespace reader_craft
