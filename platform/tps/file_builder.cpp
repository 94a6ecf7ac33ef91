#include "platform/tps/file_builder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <numeric>
#include <optional>
#include <set>

#include "platform/tps/bytes.h"
#include "platform/tps/format.h"
#include "platform/tps/keys.h"
#include "platform/tps/put_bytes.h"
#include "platform/tps/record_spool.h"
#include "platform/tps/table_read.h"
#include "platform/tps/tree_writer.h"

namespace tps {

namespace {

constexpr std::size_t kChunk = 256;
constexpr std::size_t kLargeChunk = 10240;
constexpr std::size_t kMaxChunks = 0x10000;  // sequence numbers are u16
constexpr std::size_t kMaxRecordLength =
    PageBuilder::kMaxPageSize - format::kPageHeaderSize - format::kRecordOverhead -
    format::kRowHeaderLength;
constexpr std::size_t kMaxTableName = 1000;
constexpr std::size_t kMaxMemos = 256;  // the memo number is one byte

// Entries of one key, kept as fixed-size slots (header, then data) and sorted
// when the file is written.
struct KeyStore {
  bool holds_entries = false;
  bool unique = false;
  std::size_t header_length = 0;
  std::size_t slot = 0;
  std::string bytes;

  std::size_t count() const { return slot ? bytes.size() / slot : 0; }
};

struct Table {
  TableDef def;
  std::string name;
  std::uint32_t number = 0;
  std::vector<KeyStore> keys;
  RecordSpool rows;
  RecordSpool memos;
  std::uint32_t row_count = 0;
};

std::string check_definition(const TableDef& def) {
  if (def.record_length > kMaxRecordLength) return "the record is too long for a page";
  for (const FieldDef& f : def.fields) {
    if (static_cast<std::size_t>(f.offset) + f.length > def.record_length) {
      return "field " + f.name + " lies outside the record";
    }
  }
  if (def.memos.size() > kMaxMemos) return "too many MEMOs and BLOBs";
  if (def.keys.size() > format::kMaxKeys) return "too many keys";
  for (const KeyDef& k : def.keys) {
    for (const KeyComponent& c : k.components) {
      if (c.field >= def.fields.size()) return "key " + k.name + " names a field that is not there";
    }
  }
  return {};
}

}  // namespace

std::string collation_tables() {
  std::string t(1 + 4 * 256 + 128, '\0');
  for (int i = 0; i < 256; ++i) {
    t[1 + i] = static_cast<char>(i);
    t[1 + 256 + i] = static_cast<char>(i);
  }
  char* swap = t.data() + 1 + 2 * 256;
  char* kind = t.data() + 1 + 3 * 256;
  for (int c = 'A'; c <= 'Z'; ++c) {
    swap[c] = static_cast<char>(c - 'A' + 'a');
    swap[c - 'A' + 'a'] = static_cast<char>(c);
    kind[c] = 1;
    kind[c - 'A' + 'a'] = 2;
  }
  for (int c = '0'; c <= '9'; ++c) kind[c] = 4;
  return t;
}

struct FileBuilder::Impl {
  std::vector<Table> tables;
  std::uint32_t last_number = 1;  // the first row gets 2
  std::optional<std::uint32_t> changes;
  std::string error;
  std::uint64_t page_bytes = 0;

  bool fail(std::string why) {
    if (error.empty()) error = std::move(why);
    return false;
  }

  bool add_memo_chunks(Table& t, std::uint32_t number, std::size_t memo, std::string_view value) {
    const MemoDef& m = t.def.memos[memo];
    if (value.empty()) return true;
    if (!m.is_blob() && m.max_length > 0 && value.size() > m.max_length) {
      return fail("MEMO " + m.name + " is longer than its declared length");
    }
    std::string whole;
    if (m.is_blob()) {
      put::u32le(whole, static_cast<std::uint32_t>(value.size()));
    }
    // Chunks are 256 bytes (the first of a BLOB 4 more, for its byte count);
    // values too large for that many sequence numbers get larger chunks.
    std::size_t chunk = kChunk;
    if ((value.size() + kChunk - 1) / kChunk > kMaxChunks) chunk = kLargeChunk;
    if ((value.size() + chunk - 1) / chunk > kMaxChunks) return fail(m.name + " is too large");
    std::uint16_t sequence = 0;
    for (std::size_t at = 0; at < value.size(); at += chunk, ++sequence) {
      std::string header = memo_prefix(t.number, number, static_cast<std::uint8_t>(memo));
      put::u16be(header, sequence);
      whole.append(value.substr(at, chunk));
      if (!t.memos.push(header, whole)) return fail("the temporary spool cannot be written");
      whole.clear();
    }
    return true;
  }

  bool write_table(TreeWriter& tree, Table& t) {
    auto add = [&](std::string_view h, std::string_view d) {
      return tree.add(h, d) || fail(tree.error());
    };
    std::vector<std::uint32_t> key_counts(t.keys.size(), 0);
    for (std::size_t k = 0; k < t.keys.size(); ++k) {
      KeyStore& ks = t.keys[k];
      if (!ks.holds_entries) continue;
      const std::size_t n = ks.count();
      key_counts[k] = static_cast<std::uint32_t>(n);
      std::vector<std::uint32_t> order(n);
      std::iota(order.begin(), order.end(), 0u);
      const char* base = ks.bytes.data();
      const std::size_t slot = ks.slot;
      std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::memcmp(base + a * slot, base + b * slot, slot) < 0;
      });
      for (std::size_t i = 0; i < n; ++i) {
        const std::string_view entry(base + order[i] * slot, slot);
        if (i > 0 && ks.unique &&
            std::memcmp(base + order[i - 1] * slot, entry.data(), ks.header_length) == 0) {
          return fail("key " + t.def.keys[k].name + " holds a value twice but allows no duplicates");
        }
        if (!add(entry.substr(0, ks.header_length), entry.substr(ks.header_length))) return false;
      }
      ks.bytes.clear();
      ks.bytes.shrink_to_fit();
    }
    if (!t.rows.replay(add)) return fail(error.empty() ? "the row spool cannot be read" : error);

    auto counter = [&](std::uint8_t selector, std::uint32_t count) {
      std::string h = table_prefix(t.number, format::kKindCounter);
      put::u8(h, selector);
      std::string d;
      put::u32le(d, count);
      put::u32le(d, 0);
      return add(h, d);
    };
    for (std::size_t k = 0; k < t.keys.size(); ++k) {
      if (t.keys[k].holds_entries &&
          !counter(static_cast<std::uint8_t>(k), key_counts[k])) {
        return false;
      }
    }
    if (!counter(format::kCounterRows, t.row_count)) return false;

    const std::string definition = serialize_definition(t.def);
    std::uint16_t fragment = 0;
    for (std::size_t at = 0; at == 0 || at < definition.size();
         at += format::kDefinitionFragmentMax, ++fragment) {
      std::string h = table_prefix(t.number, format::kKindDefinition);
      put::u16le(h, fragment);
      if (!add(h, std::string_view(definition).substr(at, format::kDefinitionFragmentMax))) {
        return false;
      }
    }
    std::string fb = table_prefix(t.number, format::kKindCollation);
    put::u8(fb, 1);
    if (!add(fb, collation_tables())) return false;

    if (!t.memos.replay(add)) return fail(error.empty() ? "the MEMO spool cannot be read" : error);
    return true;
  }

  bool write(const std::filesystem::path& path) {
    if (!error.empty()) return false;
    if (write_file(path)) return true;
    // A failed write leaves no half-written table behind.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
  }

  bool write_file(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create " + path.string());
    std::string header(format::kHeaderSize, '\0');
    out.write(header.data(), static_cast<std::streamsize>(header.size()));

    TreeWriter tree(out);
    if (!tree.add({}, {})) return fail(tree.error());
    std::vector<Table*> by_number;
    for (Table& t : tables) by_number.push_back(&t);
    std::sort(by_number.begin(), by_number.end(),
              [](const Table* a, const Table* b) { return a->number < b->number; });
    for (Table* t : by_number) {
      if (!write_table(tree, *t)) return false;
    }
    std::map<std::string, std::uint32_t> names;
    for (const Table& t : tables) names.emplace(t.name, t.number);
    for (const auto& [name, number] : names) {
      std::string h;
      put::u8(h, format::kKindTableName);
      h += name;
      std::string d;
      put::u32be(d, number);
      if (!tree.add(h, d)) return fail(tree.error());
    }
    std::uint32_t root = 0;
    std::uint32_t end = 0;
    if (!tree.finish(root, end)) return fail(tree.error());
    page_bytes = tree.page_bytes();

    const std::uint64_t length = format::unit_offset(end);
    if (length > 0xFFFFFFFFull) return fail("the file grows beyond 4 GB");
    std::uint32_t rows = 0;
    for (const Table& t : tables) rows += t.row_count;
    char* h = header.data();
    bytes::store_u32le(h + format::kHdrOffset, 0);
    put::store_u16le(h + format::kHdrSize, static_cast<std::uint16_t>(format::kHeaderSize));
    bytes::store_u32le(h + format::kHdrFileLength, static_cast<std::uint32_t>(length));
    bytes::store_u32le(h + format::kHdrFileLength2, static_cast<std::uint32_t>(length));
    std::memcpy(h + format::kHdrSignature, format::kSignature, sizeof format::kSignature);
    put::store_u32be(h + format::kHdrLastRecord, last_number);
    // The driver counts its changes here; a fresh file with no rows shows 3.
    bytes::store_u32le(h + format::kHdrChanges, changes ? *changes : 3 + rows);
    bytes::store_u32le(h + format::kHdrRoot, root);
    // One block over every unit. The driver files its single block under the
    // pair whose index is the block's size in units; pairs before it are (0,0),
    // pairs after it (end,end).
    const std::size_t used = std::min<std::size_t>(end, format::kBlockPairs - 1);
    for (std::size_t i = 0; i < format::kBlockPairs; ++i) {
      const std::uint32_t start = i <= used ? 0 : end;
      const std::uint32_t stop = i < used ? 0 : end;
      bytes::store_u32le(h + format::kHdrBlockStarts + 4 * i, start);
      bytes::store_u32le(h + format::kHdrBlockEnds + 4 * i, stop);
    }
    out.seekp(0);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.close();
    if (!out) return fail("writing " + path.string() + " failed");
    return true;
  }
};

FileBuilder::FileBuilder() : impl_(std::make_unique<Impl>()) {}
FileBuilder::~FileBuilder() = default;

std::size_t FileBuilder::add_table(const TableDef& def, std::string name, std::uint32_t number) {
  Impl& m = *impl_;
  if (name.empty()) name = format::kUnnamedTable;
  if (name.size() > kMaxTableName) m.fail("the table name is too long");
  if (std::string why = check_definition(def); !why.empty()) m.fail(why);
  if (number == 0) {
    for (const Table& t : m.tables) number = std::max(number, t.number);
    ++number;
  }
  for (const Table& t : m.tables) {
    if (t.number == number) m.fail("table number " + std::to_string(number) + " is used twice");
    if (t.name == name) m.fail("table name " + name + " is used twice");
  }
  Table t;
  t.def = def;
  t.name = std::move(name);
  t.number = number;
  for (std::size_t k = 0; k < def.keys.size(); ++k) {
    KeyStore ks;
    const KeyDef& kd = def.keys[k];
    ks.holds_entries = !kd.components.empty();
    ks.unique = !(kd.flags & format::kKeyDup);
    ks.header_length = format::kTableNumberSize + 1 + key_bytes_length(def, k) + (ks.unique ? 0 : 4);
    ks.slot = ks.header_length + (ks.unique ? 4 : 0);
    t.keys.push_back(std::move(ks));
  }
  m.tables.push_back(std::move(t));
  return m.tables.size() - 1;
}

std::uint32_t FileBuilder::add_row(std::size_t table, std::string_view record,
                                   std::span<const std::string> memos, std::uint32_t number) {
  Impl& m = *impl_;
  if (!m.error.empty()) return 0;
  if (table >= m.tables.size()) return m.fail("no such table"), 0;
  Table& t = m.tables[table];
  if (record.size() != t.def.record_length) {
    return m.fail("a row of " + t.name + " is not " + std::to_string(t.def.record_length) +
                  " bytes long"),
           0;
  }
  if (memos.size() > t.def.memos.size()) return m.fail("more MEMO values than MEMOs"), 0;
  if (number == 0) {
    if (m.last_number == 0xFFFFFFFFu) return m.fail("no record number left"), 0;
    number = m.last_number + 1;
  } else if (number <= m.last_number) {
    return m.fail("record numbers must rise"), 0;
  }
  m.last_number = number;

  if (!t.rows.push(row_header(t.number, number), record)) return m.fail("the temporary spool cannot be written"), 0;
  ++t.row_count;

  std::string h;
  std::string d;
  for (std::size_t k = 0; k < t.keys.size(); ++k) {
    KeyStore& ks = t.keys[k];
    if (!ks.holds_entries) continue;
    if (!key_entry(t.def, k, t.number, record, number, h, d)) continue;
    ks.bytes += h;
    ks.bytes += d;
  }
  for (std::size_t i = 0; i < memos.size(); ++i) {
    if (!m.add_memo_chunks(t, number, i, memos[i])) return 0;
  }
  return number;
}

void FileBuilder::keep_last_record_number(std::uint32_t n) {
  impl_->last_number = std::max(impl_->last_number, n);
}

std::uint32_t FileBuilder::last_record_number() const { return impl_->last_number; }

void FileBuilder::set_changes(std::uint32_t changes) { impl_->changes = changes; }

bool FileBuilder::write(const std::filesystem::path& path) { return impl_->write(path); }

const std::string& FileBuilder::error() const { return impl_->error; }

std::uint64_t FileBuilder::page_bytes() const { return impl_->page_bytes; }

}  // namespace tps
