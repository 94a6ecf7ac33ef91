// The large tables that the benchmarks read and export, written by our writer
// into a scratch folder of the process's own under the system's temporary
// folder, removed at exit. Each table is written in a child process, so that
// the writer's memory never counts as the measured work's.
#pragma once

#include <cstdint>
#include <filesystem>

namespace bench {

// The scratch folder, made at the first call.
const std::filesystem::path& scratch_dir();

// Ten fields, 100 bytes a record: NUMBER LONG, NAME STRING(20), a DATE,
// AT TIME, BALANCE DECIMAL(9,2), CITY CSTRING(30), VISITS SHORT, RATE REAL,
// STATUS BYTE, NOTE STRING(22). Record i has NUMBER i; the other fields
// cycle through values of their own, a NOTE in every seventh record.
struct LargeTable {
  const char* prefix;      // the table's prefix; the file is <prefix><rows>.TPS
  const char* date_label;  // the DATE field's label
  int first_year;          // the dates fall in `years` years from this one
  int years;
};

// The file of the table with `rows` records, written at the first call for
// it. A table that cannot be written ends the process, since no figure can
// be had without it.
const std::filesystem::path& large_table(const LargeTable& table, std::uint32_t rows);

}  // namespace bench
