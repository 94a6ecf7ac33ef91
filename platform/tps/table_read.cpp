#include "platform/tps/table_read.h"

#include <algorithm>

#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/format.h"

namespace tps {

namespace {

void put_u32be(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v >> 24));
  s.push_back(static_cast<char>(v >> 16));
  s.push_back(static_cast<char>(v >> 8));
  s.push_back(static_cast<char>(v));
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

Fault tree_fault(const TreeCursor& c) {
  return Fault{files::kFileSystemError, fault::kTree, c.fault()};
}

}  // namespace

std::string table_prefix(std::uint32_t table, std::uint8_t kind) {
  std::string s;
  put_u32be(s, table);
  s.push_back(static_cast<char>(kind));
  return s;
}

std::string row_header(std::uint32_t table, std::uint32_t record_number) {
  std::string s = table_prefix(table, format::kKindRow);
  put_u32be(s, record_number);
  return s;
}

std::string memo_prefix(std::uint32_t table, std::uint32_t owner, std::uint8_t memo) {
  std::string s = table_prefix(table, format::kKindMemo);
  put_u32be(s, owner);
  s.push_back(static_cast<char>(memo));
  return s;
}

std::uint32_t read_u32be(std::string_view b) { return bytes::u32be(b.data()); }

std::uint32_t read_u32le(std::string_view b) { return bytes::u32le(b.data()); }

Fault list_tables(TpsFile& file, std::vector<TableEntry>& tables) {
  tables.clear();
  TreeCursor c(file);
  const std::string prefix(1, static_cast<char>(format::kKindTableName));
  if (!c.seek(prefix)) return tree_fault(c);
  for (; c.valid() && starts_with(c.header(), prefix); ) {
    if (c.data().size() != 4)
      return Fault{files::kInvalidDataFile, fault::kTable, "a table name record is damaged"};
    tables.push_back({std::string(c.header().substr(1)), read_u32be(c.data())});
    if (!c.next()) return tree_fault(c);
  }
  return {};
}

Fault read_definition(TpsFile& file, std::uint32_t table, TableDef& def) {
  TreeCursor c(file);
  const std::string prefix = table_prefix(table, format::kKindDefinition);
  if (!c.seek(prefix)) return tree_fault(c);
  std::vector<std::pair<std::uint16_t, std::string>> fragments;
  for (; c.valid() && starts_with(c.header(), prefix);) {
    const std::string_view h = c.header();
    if (h.size() != format::kDefinitionHeaderLength)
      return Fault{files::kInvalidDataFile, fault::kDefinition, "a definition fragment is damaged"};
    const auto number = static_cast<std::uint16_t>(static_cast<unsigned char>(h[5]) |
                                                   static_cast<unsigned char>(h[6]) << 8);
    fragments.emplace_back(number, std::string(c.data()));
    if (!c.next()) return tree_fault(c);
  }
  if (fragments.empty())
    return Fault{files::kInvalidDataFile, fault::kDefinition, "the table has no definition"};
  std::sort(fragments.begin(), fragments.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string bytes;
  for (std::size_t i = 0; i < fragments.size(); ++i) {
    if (fragments[i].first != i)
      return Fault{files::kInvalidDataFile, fault::kDefinition,
                   "a fragment of the table's definition is missing"};
    bytes += fragments[i].second;
  }
  std::string why;
  if (!parse_definition(bytes, def, &why))
    return Fault{files::kInvalidDataFile, fault::kDefinition, "the table's definition: " + why};
  return {};
}

Fault read_counter(TpsFile& file, std::uint32_t table, std::uint8_t selector,
                   std::optional<std::uint32_t>& count) {
  count.reset();
  TreeCursor c(file);
  std::string header = table_prefix(table, format::kKindCounter);
  header.push_back(static_cast<char>(selector));
  if (!c.seek(header)) return tree_fault(c);
  if (c.valid() && c.header() == header && c.data().size() >= 4) count = read_u32le(c.data());
  return {};
}

template <class Visit>
Fault MemoReader::walk(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, Visit visit) {
  const std::string prefix = memo_prefix(table, owner, memo);
  if (!cursor_.seek(prefix)) return tree_fault(cursor_);
  std::uint32_t expected = 0;
  for (; cursor_.valid() && starts_with(cursor_.header(), prefix);) {
    const std::string_view h = cursor_.header();
    const std::uint32_t sequence =
        h.size() == format::kMemoHeaderLength
            ? static_cast<std::uint32_t>(static_cast<unsigned char>(h[10]) << 8 |
                                         static_cast<unsigned char>(h[11]))
            : 0xFFFFFFFFu;
    if (sequence != expected)
      return Fault{files::kFileSystemError, fault::kMemo,
                   "MEMO or BLOB " + std::to_string(memo + 1) + " of record " +
                       std::to_string(owner) + " is missing a part"};
    if (!visit(cursor_.data())) return {};
    ++expected;
    if (!cursor_.next()) return tree_fault(cursor_);
  }
  return {};
}

Fault MemoReader::size(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, bool blob,
                       std::int64_t& size) {
  std::int64_t total = 0;
  std::int64_t declared = -1;
  std::string head;
  Fault f = walk(table, owner, memo, [&](std::string_view chunk) {
    if (blob && head.size() < format::kBlobLengthPrefix)
      head.append(chunk.substr(0, format::kBlobLengthPrefix - head.size()));
    total += static_cast<std::int64_t>(chunk.size());
    return true;
  });
  if (blob) {
    if (head.size() == format::kBlobLengthPrefix) declared = read_u32le(head);
    total = std::max<std::int64_t>(0, total - static_cast<std::int64_t>(format::kBlobLengthPrefix));
    // A length prefix that promises more than is stored gives what is stored.
    if (declared >= 0) total = std::min(total, declared);
  }
  size = total;
  return f;
}

Fault MemoReader::read(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, bool blob,
                       std::int64_t first, std::int64_t last, std::string& out) {
  out.clear();
  std::int64_t length = 0;
  if (Fault f = size(table, owner, memo, blob, length); f) return f;
  if (first < 0) first = 0;
  if (last >= length) last = length - 1;
  if (first > last) return {};
  // Positions count from the value's first byte, after a BLOB's length prefix.
  std::int64_t position = blob ? -static_cast<std::int64_t>(format::kBlobLengthPrefix) : 0;
  return walk(table, owner, memo, [&](std::string_view chunk) {
    const std::int64_t begin = position, end = position + static_cast<std::int64_t>(chunk.size());
    position = end;
    if (end <= first) return true;
    const std::int64_t from = std::max(begin, first), to = std::min(end, last + 1);
    if (from < to)
      out.append(chunk.substr(static_cast<std::size_t>(from - begin),
                              static_cast<std::size_t>(to - from)));
    return end <= last;
  });
}

}  // namespace tps
