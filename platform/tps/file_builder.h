// Writes a whole TopSpeed file from table definitions and their rows, laid out
// as the driver lays out its own files: a 0x200-byte header, then one block of
// pages holding one B+tree with every record of every table: the empty first
// record; per table (by table number) the entries of each key, the rows, a
// counter per key and one for the rows, the definition in fragments of at most
// 512 bytes, the letter tables, the MEMO and BLOB chunks; then one name record
// per table. Record numbers are issued file-wide from 2 up.
//
// Rows are streamed: they wait in a spool (memory, then a temporary file) for
// their place after the key entries, which are sorted in memory, so a table of
// a million rows is written without holding its pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tps/definition.h"

namespace tps {

class FileBuilder {
 public:
  FileBuilder();
  ~FileBuilder();
  FileBuilder(const FileBuilder&) = delete;
  FileBuilder& operator=(const FileBuilder&) = delete;

  // Declares a table and returns its index for add_row. An empty name is the
  // driver's "UNNAMED"; number 0 takes the lowest number above those in use
  // (1 for the first table). A definition the file cannot hold, a name or a
  // number used twice, sets error() and makes write() fail.
  std::size_t add_table(const TableDef& def, std::string name = {}, std::uint32_t number = 0);

  // Adds a row to table `table`: `record` is the row (exactly the record
  // length), `memos` the MEMO and BLOB contents in table order (missing ones
  // are empty). Number 0 issues the next record number; any other number must
  // lie above every number issued so far. Returns the record number, or 0 when
  // the row is refused (error() says why).
  std::uint32_t add_row(std::size_t table, std::string_view record,
                        std::span<const std::string> memos = {}, std::uint32_t number = 0);

  // Keeps the header's "last issued record number" at least `n`, as the driver
  // does after the last rows were deleted.
  void keep_last_record_number(std::uint32_t n);
  std::uint32_t last_record_number() const;
  // The header's change counter (3 more than the rows unless set): a table
  // rewritten after a change carries the old count plus one.
  void set_changes(std::uint32_t changes);

  // Writes the file (replacing one that is there). False, with error(), when
  // anything went wrong before or during writing.
  bool write(const std::filesystem::path& path);

  const std::string& error() const;
  // Bytes of pages in the written file (its length less the header).
  std::uint64_t page_bytes() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The letter tables record (FB) the driver writes in most files: a zero byte,
// two identity maps, the case-swap map and the character classes of the ASCII
// letters and digits, then 128 zero bytes.
std::string collation_tables();

}  // namespace tps
