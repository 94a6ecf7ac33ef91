// A TopSpeed file declaration without fields: the way the export engine opens
// any table. The file name and owner password are read from their variables at
// every open; each record read lands in a caller-owned record storage of
// kRecordStorage bytes, from its first byte on. Every operation sets the
// runtime's error state (platform/files/errors.h) and returns its code.
//
// Decisions where the runtime's documentation is silent:
//   - "file\!table" picks a table of a file with several (names compared
//     without regard to case); a plain name opens the file's first table, the
//     one with the lowest table number.
//   - Record order is physical order: ascending record number (POINTER).
//     Record numbers are issued file-wide, so a table's pointers are sparse:
//     SET(pointer) with a pointer no row of the table has starts NEXT at the
//     first row above it and PREVIOUS at the last row below it.
//   - RECORDS is the table's row counter; a table without one is counted.
//   - A table whose record is longer than the record storage is refused at
//     OPEN with error 47 rather than read past the storage.
//   - A file whose first four bytes are not zero (a plain header's are) and
//     whose size fits an enciphered file is taken to be enciphered: until the driver's way from
//     password to key is known, it fails with 90 and says so. Deciphered with
//     a key, a header without the marks means a wrong password: 36.
//   - Damage found while opening (header, table list, definition) gives 36;
//     damage found while reading (pages, tree, rows, MEMO chunks) gives 90.
//     FILEERRORCODE/FILEERROR carry the reader's own code and what was wrong.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/name_source.h"
#include "platform/tps/crypt.h"
#include "platform/tps/definition.h"
#include "platform/tps/table_read.h"
#include "platform/tps/tps_file.h"

namespace tps {

// The property numbers the declaration answers (file{PROP:x, index}).
namespace prop {
inline constexpr int kBlobs = 0x7310;
inline constexpr int kMemos = 0x7311;
inline constexpr int kFields = 0x7312;
inline constexpr int kName = 0x7316;
inline constexpr int kLabel = 0x7317;
inline constexpr int kBinary = 0x7321;
inline constexpr int kPlaces = 0x7322;
inline constexpr int kDim = 0x7323;
inline constexpr int kOver = 0x7324;
inline constexpr int kType = 0x7C01;
inline constexpr int kSize = 0x7CB9;
}  // namespace prop

class Declaration {
 public:
  using TextSource = files::NameSource;
  static constexpr std::size_t kRecordStorage = 65520;

  // `storage` must hold kRecordStorage bytes and outlive the declaration.
  Declaration(TextSource name, TextSource owner, char* storage);
  ~Declaration();
  Declaration(const Declaration&) = delete;
  Declaration& operator=(const Declaration&) = delete;

  int open(int access_mode);
  // Test entry point: opens an enciphered file with its key words given.
  int open_with_key(int access_mode, const Key& key);
  // Test and fuzzing entry point: opens table `table_name` (empty: the first)
  // of a file whose bytes are already at hand.
  int open_bytes(std::unique_ptr<Source> bytes, const std::string& table_name);
  int close();
  bool is_open() const { return open_; }

  // file{PROP:number, index}: index n > 0 record field n, -n the n-th MEMO or
  // BLOB (counted together in table order), 0 the table. Empty when the table
  // has no answer.
  std::string property(int number, int index) const;
  std::size_t record_size() const;
  std::int32_t records() const;

  void set();
  void set(std::int32_t pointer);
  int next();
  int previous();
  std::int32_t pointer() const { return static_cast<std::int32_t>(pointer_); }
  void nomemo() { nomemo_ = true; }

  // MEMO/BLOB number n (1-based) of the record just read; each posts its
  // outcome to the error state (90 with the reader's text on damage).
  std::int64_t blob_size(int n) const;
  std::string blob_read(int n, std::int64_t first, std::int64_t last) const;

  // The open table's definition (empty when closed).
  const TableDef& definition() const { return def_; }

 private:
  enum class Position { Start, Pointer, Current, Off };

  int open_named(const Key* key);
  int attach(std::unique_ptr<Source> source, const std::string& table_name, const Key* key);
  int read(int direction);
  static int report(const Fault& f);
  const MemoDef* memo(int n) const;

  TextSource name_;
  TextSource owner_;
  char* storage_;

  bool open_ = false;
  TpsFile file_;
  std::unique_ptr<TreeCursor> cursor_;
  std::unique_ptr<MemoReader> memos_;
  std::uint32_t table_ = 0;
  TableDef def_;
  std::vector<int> over_;  // OVER of each field (1-based field number, 0 none)
  std::uint32_t records_ = 0;

  Position position_ = Position::Start;
  std::uint32_t target_ = 0;
  std::uint32_t pointer_ = 0;
  bool have_row_ = false;
  bool memos_loaded_ = false;
  bool nomemo_ = false;
};

}  // namespace tps
