// The tables of an open TopSpeed file: their names and numbers, definitions,
// counters, rows and MEMO/BLOB values, each found by seeking the tree to the
// header prefix of its kind (format.h).
//
// Learnt from the tables themselves:
//   - a table's definition fragments are numbered 0, 1, 2 ... (u16 LE) and are
//     joined in that order; a gap in the numbers is damage;
//   - a MEMO or BLOB value is the chunks of (table, owner row, memo number) in
//     sequence order 0, 1, 2 ...; a BLOB's chunks start with its u32 LE length;
//   - chunk sizes differ between files (256, 10240 ...): nothing assumes one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tps/definition.h"
#include "platform/tps/tps_file.h"

namespace tps {

// Header prefixes: the table number (BE) and the kind byte, then the kind's own bytes.
std::string table_prefix(std::uint32_t table, std::uint8_t kind);
std::string row_header(std::uint32_t table, std::uint32_t record_number);
std::string memo_prefix(std::uint32_t table, std::uint32_t owner, std::uint8_t memo);

std::uint32_t read_u32be(std::string_view bytes);
std::uint32_t read_u32le(std::string_view bytes);

struct TableEntry {
  std::string name;
  std::uint32_t number = 0;
};

// The tables named in the file, in the order of their name records.
Fault list_tables(TpsFile& file, std::vector<TableEntry>& tables);

// The definition of table `table`; 36 when it is missing or damaged.
Fault read_definition(TpsFile& file, std::uint32_t table, TableDef& def);

// The counter `selector` of a table (format::kCounterRows or a key number);
// empty when the table has none.
Fault read_counter(TpsFile& file, std::uint32_t table, std::uint8_t selector,
                   std::optional<std::uint32_t>& count);

// Reads one MEMO or BLOB value of one row through its own cursor, chunk by chunk.
class MemoReader {
 public:
  explicit MemoReader(TpsFile& file) : cursor_(file) {}

  // The value's size in bytes (a BLOB's without its length prefix). A value
  // whose chunks break off counts up to the gap, and the fault says so.
  Fault size(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, bool blob,
             std::int64_t& size);
  // Bytes first..last (0-based, inclusive) of the value, cut to what it holds.
  Fault read(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, bool blob,
             std::int64_t first, std::int64_t last, std::string& out);

 private:
  // Calls visit(chunk bytes) for each chunk in order; stops at a gap.
  template <class Visit>
  Fault walk(std::uint32_t table, std::uint32_t owner, std::uint8_t memo, Visit visit);

  TreeCursor cursor_;
};

}  // namespace tps
