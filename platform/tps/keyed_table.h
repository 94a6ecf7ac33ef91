// A TopSpeed table with its keys, for a program's own small tables (the
// saved-query store): create, open, ADD, PUT, DELETE with every key kept in
// step, GET by key, SET and NEXT/PREVIOUS in physical or key order, BLOB
// writes and sizes, and auto-numbering. The whole file is held in memory
// and written anew, through a temporary file renamed over the old one, after
// every change, with the header's change counter one higher; before every
// operation the counter on disk is compared, so a change made through another
// KeyedTable on the same file is seen.
//
// Keys compare by their key bytes (keys.h): NOCASE and descending components
// come with them. A key without DUP admits a key value once (ADD or PUT that
// would repeat it fails with 40, Creates Duplicate Key, and changes nothing);
// OPT leaves rows whose key fields are all blank or zero out of the key, so
// they neither clash nor are found through it.
//
// Deferred writes (defer_writes): while on, ADD, PUT and DELETE change the
// table in memory only and the file is written once, at flush() or close(),
// still through a temporary file, so a crash at any point leaves either the
// old or the new table whole. Tables of one thread over the same file stay in
// step: before any operation a table first has the others' pending changes
// written, and it rereads the file when another has written it.
//
// A layout given with declare() is the record buffer's before the file is
// opened, and the file must match it: open() refuses a table of another
// layout with 47 (Invalid Record Declaration).
//
// Loading reads the file with one read and walks its rows, their MEMOs and
// BLOBs, and builds each key from one sorted pass, so a store of thousands of
// queries opens in milliseconds. A closed table keeps its rows in memory;
// opening the same file again reads it only when its header (change counter
// and length) or its time of last writing says it has changed, which one
// open, status and header read of the file tell. The first write asks the C library to keep
// freed memory for reuse, so that every rewrite does not fault its pages in anew.
//
// Every operation sets the runtime's error state and returns its code:
// 0, 2 (no file), 5 (a directory or an unreadable file), 33 (no current
// record, or the end of the order), 35 (GET found nothing), 36 (not a table),
// 37 (not open), 40, 47, 90 (cannot be written, with the reason in FILEERROR),
// 94 (no record number left).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/tps/definition.h"

namespace tps {

class TpsFile;

class KeyedTable {
 public:
  // When and how long the file was last written, as the system reports it.
  struct FileStamp {
    std::int64_t seconds = -1;
    std::int64_t nanoseconds = 0;
    std::uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
  };

  KeyedTable() = default;
  ~KeyedTable();
  KeyedTable(const KeyedTable&) = delete;
  KeyedTable& operator=(const KeyedTable&) = delete;

  // CREATE: a file holding one empty table with this definition (an empty
  // name is "UNNAMED"); an existing file is replaced. The table is not opened.
  int create(const std::filesystem::path& path, const TableDef& def, std::string name = {});
  // OPEN: loads the file; `table` names one of several tables (empty: the
  // table with the lowest number). Every table of the file is kept on saves.
  int open(const std::filesystem::path& path, std::string_view table = {});
  // CLOSE: pending changes are written first; when that fails the table is
  // closed all the same, the file keeps its last written state, and the write
  // error is returned.
  int close();
  bool is_open() const { return open_; }

  // The declaration's layout: the record buffer's before the file is opened,
  // and the layout the opened file must have.
  void declare(TableDef def);
  // Deferred writes on or off; off writes what is pending.
  int defer_writes(bool on);
  // Writes pending changes now (0 when there are none).
  int flush();
  bool pending() const { return dirty_; }

  const TableDef& definition() const;
  std::int32_t records() const;

  // The record buffer (record-length bytes) and its MEMOs and BLOBs.
  std::string& buffer() { return buffer_; }
  const std::string& buffer() const { return buffer_; }
  // CLEAR of the buffer: STRING fields blank, everything else zero, BLOBs empty.
  void clear();
  // MEMO or BLOB n (1-based, MEMOs and BLOBs counted together) of the buffer.
  std::int64_t blob_size(int n) const;
  std::string blob_read(int n, std::int64_t first, std::int64_t last) const;
  // Writes `bytes` from byte `first` on, growing the BLOB as needed (a gap is
  // filled with zeros).
  void blob_write(int n, std::int64_t first, std::string_view bytes);
  // Cuts or zero-extends the BLOB to `size` bytes (0 empties it).
  void blob_set_size(int n, std::int64_t size);

  // ADD: the buffer as a new row with the next record number.
  int add();
  // PUT: the buffer over the row last read or added.
  int put();
  // DELETE: removes the row last read or added.
  int erase();
  // GET(file, key): the first row whose key `key` (0-based) equals the
  // buffer's key fields. On 35 the buffer is unchanged.
  int fetch(std::size_t key);
  // SET(file): physical order (record numbers). SET(key): key order.
  void set();
  void set_key(std::size_t key);
  // SET(key, key): key order from the buffer's key value: NEXT reads the
  // first row at or after it, PREVIOUS the last row at or before it.
  void set_key_from(std::size_t key);
  // POSITION: where the row last read stands in the current order (empty
  // before any row is read); RESET: NEXT and PREVIOUS go on from that row
  // itself (or from where it stood, if it has gone since). A browse pages
  // through the table with them.
  std::string position() const;
  void reset(std::string_view position);
  int next();
  int previous();
  // POINTER: the record number of the row last read or added.
  std::uint32_t pointer() const { return current_; }

  // DUPLICATE(key): true when the buffer's value of key `key` (without DUP)
  // is already held by another row than the current one (by any row when the
  // buffer is being added).
  bool duplicate(std::size_t key, bool adding = false) const;

  // Auto-numbering of key `key` (one integer component): the highest value
  // the key holds plus one, 1 when it holds none, put into the buffer's
  // field. Returns the number, 0 when the key cannot be numbered (error 80).
  std::int64_t auto_number(std::size_t key);

 private:
  struct Row {
    std::string record;
    std::vector<std::string> memos;
  };
  struct Table {
    std::string name;
    std::uint32_t number = 0;
    TableDef def;
    std::map<std::uint32_t, Row> rows;
    // Per key: (key bytes, record number) in key order.
    std::vector<std::set<std::pair<std::string, std::uint32_t>>> keys;
  };

  enum class OnDisk { Unchanged, Changed, Missing };

  int load();
  int read_rows(TpsFile& file, Table& t);
  static bool read_whole(const std::filesystem::path& path, std::string& bytes, FileStamp& stamp);
  OnDisk probe() const;
  int save();
  int commit();  // save now, or mark pending while writes are deferred
  int sync();
  int done(int code);
  bool clashes(std::size_t key, const std::string& record, std::uint32_t except) const;
  Table& table() { return tables_[selected_]; }
  const Table& table() const { return tables_[selected_]; }
  void index(Table& t, std::uint32_t number, const std::string& record, bool insert);
  bool matches_declaration() const;
  void enlist();
  void delist();
  bool check_unique(const std::string& record, std::uint32_t except) const;
  int read_row(std::uint32_t number);

  std::filesystem::path path_;
  std::string wanted_table_;
  bool open_ = false;
  std::vector<Table> tables_;
  std::size_t selected_ = 0;
  std::uint32_t last_number_ = 1;
  std::uint32_t changes_ = 0;
  std::uint64_t file_length_ = 0;
  FileStamp stamp_;
  std::filesystem::path identity_;  // the file's absolute path, shared by tables over it
  std::uint64_t seen_generation_ = 0;
  bool defer_ = false;
  bool dirty_ = false;
  bool declared_ = false;
  bool kept_ = false;  // tables_ still hold the file as the last close left it
  TableDef declaration_;

  std::string buffer_;
  std::vector<std::string> blobs_;
  std::uint32_t current_ = 0;

  // Where NEXT/PREVIOUS go on from.
  enum class Order { Physical, Key };
  Order order_ = Order::Physical;
  std::size_t order_key_ = 0;
  bool at_start_ = true;  // SET was called: NEXT from the first, PREVIOUS from the last
  std::pair<std::string, std::uint32_t> position_;
  // Set by SET(key, key) and RESET: the next read includes the rows from
  // low_ (NEXT) or up to high_ (PREVIOUS).
  bool inclusive_ = false;
  std::pair<std::string, std::uint32_t> low_, high_;
};

}  // namespace tps
