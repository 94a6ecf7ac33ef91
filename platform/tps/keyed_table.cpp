#include "platform/tps/keyed_table.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/file_builder.h"
#include "platform/tps/format.h"
#include "platform/tps/keys.h"
#include "platform/tps/source.h"
#include "platform/tps/table_read.h"
#include "platform/tps/tps_file.h"

namespace tps {

namespace {

constexpr char kWriteFault[] = "TPS-WRITE";

std::string upper_ascii(std::string_view s) {
  std::string u(s);
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}

bool is_integer(std::uint8_t type) {
  return type == format::kTypeByte || type == format::kTypeShort || type == format::kTypeUShort ||
         type == format::kTypeLong || type == format::kTypeULong;
}

bool is_signed(std::uint8_t type) {
  return type == format::kTypeShort || type == format::kTypeLong;
}

std::int64_t read_integer(const FieldDef& f, std::string_view record) {
  const std::size_t n = std::min<std::size_t>(f.length, 4);
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) {
    v |= static_cast<std::uint64_t>(static_cast<unsigned char>(record[f.offset + i])) << (8 * i);
  }
  if (is_signed(f.type) && n > 0 && (v >> (8 * n - 1)) & 1) {
    return static_cast<std::int64_t>(v) - (std::int64_t{1} << (8 * n));
  }
  return static_cast<std::int64_t>(v);
}

// Writes the file beside its final place and renames it over the old one, so
// a failed write leaves the old table whole.
bool write_replacing(FileBuilder& builder, const std::filesystem::path& path) {
  std::random_device random;
  std::filesystem::path temp = path;
  temp += ".~" + std::to_string(random());
  if (!builder.write(temp)) return false;
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

// A rewrite builds the whole file in memory. Left to its defaults, the C
// library returns those large blocks to the system after every write, and the
// next write pays a page fault for each page again: on a virtual machine the
// greater part of a save. Freed memory is kept for reuse instead.
void keep_freed_memory() {
#if defined(__GLIBC__)
  static const bool once = [] {
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    return true;
  }();
  (void)once;
#endif
}

int write_failed(const FileBuilder& builder, const std::filesystem::path& path) {
  const std::string why = builder.error().empty() ? "cannot replace " + path.string()
                                                   : builder.error();
  files::set_driver_error(files::kFileSystemError, kWriteFault, why);
  return files::kFileSystemError;
}

// The tables of this thread that are open, and per file the number of times
// one of them has written it: a table that has seen fewer writes than there
// were rereads the file.
// A table destroyed at thread end after the registry is gone finds none.
thread_local bool registry_gone = false;

struct Registry {
  std::vector<KeyedTable*> open;
  std::map<std::filesystem::path, std::uint64_t> writes;
  ~Registry() { registry_gone = true; }
};

Registry* registry() {
  if (registry_gone) return nullptr;
  thread_local Registry r;
  return &r;
}

std::uint64_t* writes_of(const std::filesystem::path& identity) {
  Registry* r = registry();
  return r ? &r->writes[identity] : nullptr;
}

std::filesystem::path identity_of(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) p = path;
  return p.lexically_normal();
}

}  // namespace

KeyedTable::~KeyedTable() {
  if (open_) close();
  delist();
}

void KeyedTable::enlist() {
  Registry* r = registry();
  if (!r) return;
  auto& open = r->open;
  if (std::find(open.begin(), open.end(), this) == open.end()) open.push_back(this);
}

void KeyedTable::delist() {
  Registry* r = registry();
  if (!r) return;
  auto& open = r->open;
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

void KeyedTable::declare(TableDef def) {
  declaration_ = std::move(def);
  declared_ = true;
  if (!open_) clear();
}

bool KeyedTable::matches_declaration() const {
  if (!declared_) return true;
  const TableDef& d = table().def;
  if (d.record_length != declaration_.record_length || d.fields.size() != declaration_.fields.size() ||
      d.memos.size() != declaration_.memos.size() || d.keys.size() != declaration_.keys.size()) {
    return false;
  }
  for (std::size_t i = 0; i < d.fields.size(); ++i) {
    const FieldDef& a = d.fields[i];
    const FieldDef& b = declaration_.fields[i];
    if (a.type != b.type || a.offset != b.offset || a.length != b.length) return false;
  }
  for (std::size_t k = 0; k < d.keys.size(); ++k) {
    if (d.keys[k].components != declaration_.keys[k].components ||
        d.keys[k].flags != declaration_.keys[k].flags) {
      return false;
    }
  }
  return true;
}

int KeyedTable::defer_writes(bool on) {
  defer_ = on;
  return on ? 0 : flush();
}

int KeyedTable::flush() {
  if (!dirty_) return 0;
  if (const int rc = save(); rc != 0) return rc;
  dirty_ = false;
  return 0;
}

int KeyedTable::commit() {
  if (defer_) {
    dirty_ = true;
    return 0;
  }
  return save();
}

int KeyedTable::done(int code) {
  if (code == 0) {
    files::clear_error();
  } else {
    files::set_error(code);
  }
  return code;
}

int KeyedTable::create(const std::filesystem::path& path, const TableDef& def, std::string name) {
  FileBuilder builder;
  builder.add_table(def, std::move(name));
  if (!write_replacing(builder, path)) return write_failed(builder, path);
  // Whatever a table kept of the file before is no longer its content.
  if (std::uint64_t* w = writes_of(identity_of(path))) ++*w;
  return done(0);
}

int KeyedTable::open(const std::filesystem::path& path, std::string_view table) {
  if (open_) return done(files::kFileAlreadyOpen);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    // A directory of that name cannot be opened as a file, as on Windows.
    return done(std::filesystem::exists(path, ec) ? files::kAccessDenied : files::kFileNotFound);
  }
  const std::filesystem::path identity = identity_of(path);
  // The rows kept from the last close serve when the file is as it was left.
  const bool reuse =
      kept_ && identity == identity_ && table == wanted_table_ && probe() == OnDisk::Unchanged;
  kept_ = false;
  path_ = path;
  identity_ = identity;
  wanted_table_ = std::string(table);
  if (!reuse) {
    if (const int rc = load(); rc != 0) return rc;
  }
  if (!matches_declaration()) {
    tables_.clear();
    return done(files::kInvalidRecordDeclaration);
  }
  open_ = true;
  dirty_ = false;
  enlist();
  // OPEN leaves a declared record buffer alone, as the driver does.
  if (!declared_ || buffer_.size() != tables_[selected_].def.record_length) {
    clear();
  } else {
    blobs_.resize(tables_[selected_].def.memos.size());
  }
  current_ = 0;
  set();
  return done(0);
}

int KeyedTable::close() {
  if (!open_) return done(files::kFileNotOpen);
  const int rc = flush();
  open_ = false;
  dirty_ = false;
  delist();
  // The rows stay in memory, so that opening the unchanged file again costs
  // no reading; rows the file does not hold are dropped.
  kept_ = rc == 0;
  if (!kept_) tables_.clear();
  current_ = 0;
  return rc != 0 ? rc : done(0);
}

#ifndef _WIN32
namespace {

KeyedTable::FileStamp stamp_of(const struct stat& st) {
  KeyedTable::FileStamp stamp;
  stamp.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  stamp.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  return stamp;
}

// Reads n bytes from `offset`, going on after a short read.
bool read_fully(int fd, char* out, std::size_t n, off_t offset) {
  while (n > 0) {
    const ssize_t got = ::pread(fd, out, n, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    n -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

}  // namespace

bool KeyedTable::read_whole(const std::filesystem::path& path, std::string& bytes, FileStamp& stamp) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    stamp = stamp_of(st);
    bytes.resize(static_cast<std::size_t>(st.st_size));
    ok = read_fully(fd, bytes.data(), bytes.size(), 0);
  }
  ::close(fd);
  return ok;
}

// Before every operation: one open, one status and one read of the header,
// so that a read costs a few system calls however large the table.
KeyedTable::OnDisk KeyedTable::probe() const {
  const std::uint64_t* writes = writes_of(identity_);
  if (writes && *writes != seen_generation_) return OnDisk::Changed;
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? OnDisk::Missing : OnDisk::Changed;
  char header[format::kHeaderSize];
  struct stat st {};
  const bool same = ::fstat(fd, &st) == 0 && stamp_of(st) == stamp_ &&
                    read_fully(fd, header, sizeof header, 0) &&
                    bytes::u32le(header + format::kHdrChanges) == changes_ &&
                    bytes::u32le(header + format::kHdrFileLength) == file_length_;
  ::close(fd);
  return same ? OnDisk::Unchanged : OnDisk::Changed;
}

namespace {
KeyedTable::FileStamp stamp_of(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? stamp_of(st) : KeyedTable::FileStamp{};
}
}  // namespace
#else
namespace {
KeyedTable::FileStamp stamp_of(const std::filesystem::path& path) {
  std::error_code ec;
  KeyedTable::FileStamp stamp;
  const auto time = std::filesystem::last_write_time(path, ec);
  if (ec) return stamp;
  stamp.seconds = 0;
  stamp.nanoseconds = static_cast<std::int64_t>(time.time_since_epoch().count());
  stamp.size = std::filesystem::file_size(path, ec);
  return stamp;
}
}  // namespace

bool KeyedTable::read_whole(const std::filesystem::path& path, std::string& bytes, FileStamp& stamp) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  stamp = stamp_of(path);
  bytes.resize(static_cast<std::size_t>(stamp.size));
  return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

KeyedTable::OnDisk KeyedTable::probe() const {
  const std::uint64_t* writes = writes_of(identity_);
  if (writes && *writes != seen_generation_) return OnDisk::Changed;
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return OnDisk::Missing;
  if (stamp_of(path_) != stamp_) return OnDisk::Changed;
  std::ifstream in(path_, std::ios::binary);
  char header[format::kHeaderSize];
  if (!in.read(header, sizeof header)) return OnDisk::Changed;
  return bytes::u32le(header + format::kHdrChanges) == changes_ &&
                 bytes::u32le(header + format::kHdrFileLength) == file_length_
             ? OnDisk::Unchanged
             : OnDisk::Changed;
}
#endif

int KeyedTable::load() {
  // The file is read whole with one read, not a seek and a read per page.
  std::string bytes;
  FileStamp stamp;
  if (!read_whole(path_, bytes, stamp)) return done(files::kAccessDenied);
  auto source = std::make_unique<MemorySource>(bytes);
  TpsFile file;
  auto report = [](const Fault& f) {
    files::set_driver_error(f.code, f.driver_code, f.text);
    return f.code;
  };
  if (const Fault f = file.open(std::move(source)); f) return report(f);
  std::vector<TableEntry> entries;
  if (const Fault f = list_tables(file, entries); f) return report(f);
  std::sort(entries.begin(), entries.end(),
            [](const TableEntry& a, const TableEntry& b) { return a.number < b.number; });

  std::vector<Table> tables;
  std::size_t selected = entries.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Table t;
    t.name = entries[i].name;
    t.number = entries[i].number;
    if (const Fault f = read_definition(file, t.number, t.def); f) return report(f);
    if (const int rc = read_rows(file, t); rc != 0) return rc;
    if (selected == entries.size() &&
        (wanted_table_.empty() || upper_ascii(t.name) == upper_ascii(wanted_table_))) {
      selected = i;
    }
    tables.push_back(std::move(t));
  }
  if (selected == tables.size()) return done(files::kFileNotFound);
  tables_ = std::move(tables);
  selected_ = selected;
  if (std::uint64_t* w = writes_of(identity_)) seen_generation_ = *w;
  last_number_ = file.header().last_record;
  changes_ = file.header().changes;
  file_length_ = file.header().file_length;
  stamp_ = stamp;
  return 0;
}

// The rows, then their MEMOs and BLOBs, each in one walk along the tree: the
// chunks of a value follow one another in (row, value, sequence) order, so no
// value needs a seek of its own. The keys are sorted once and built whole.
int KeyedTable::read_rows(TpsFile& file, Table& t) {
  auto tree_failed = [](const TreeCursor& cursor) {
    files::set_driver_error(files::kFileSystemError, fault::kTree, cursor.fault());
    return files::kFileSystemError;
  };
  TreeCursor cursor(file);
  const std::string rows_prefix = table_prefix(t.number, format::kKindRow);
  bool ok = cursor.seek(rows_prefix);
  for (; ok && cursor.valid() && cursor.header().substr(0, rows_prefix.size()) == rows_prefix;
       ok = cursor.next()) {
    if (cursor.header().size() != format::kRowHeaderLength) continue;
    Row row;
    row.record.reserve(t.def.record_length);
    row.record.assign(cursor.data().substr(0, t.def.record_length));
    row.record.resize(t.def.record_length, '\0');
    row.memos.resize(t.def.memos.size());
    t.rows.emplace_hint(t.rows.end(), bytes::u32be(cursor.header().data() + 5), std::move(row));
  }
  if (!ok) return tree_failed(cursor);

  if (!t.def.memos.empty()) {
    const std::string memo_kind = table_prefix(t.number, format::kKindMemo);
    // The value being gathered: its row, its number and the next chunk expected.
    Row* row = nullptr;
    std::uint32_t owner = 0;
    std::size_t memo = 0;
    std::uint32_t expected = 0;
    bool gathering = false;
    auto finish = [&] {
      if (!gathering) return;
      gathering = false;
      std::string& value = row->memos[memo];
      if (!t.def.memos[memo].is_blob()) return;
      // A BLOB's chunks begin with its length; one promising more than is
      // stored gives what is stored.
      if (value.size() < format::kBlobLengthPrefix) {
        value.clear();
        return;
      }
      const std::size_t declared = bytes::u32le(value.data());
      value.erase(0, format::kBlobLengthPrefix);
      if (value.size() > declared) value.resize(declared);
    };
    for (ok = cursor.seek(memo_kind);
         ok && cursor.valid() && cursor.header().substr(0, memo_kind.size()) == memo_kind;
         ok = cursor.next()) {
      const std::string_view h = cursor.header();
      if (h.size() < memo_kind.size() + 5) continue;
      const std::uint32_t o = bytes::u32be(h.data() + 5);
      const std::size_t m = static_cast<unsigned char>(h[9]);
      if (!gathering || o != owner || m != memo) {
        finish();
        const auto it = t.rows.find(o);
        if (it == t.rows.end() || m >= t.def.memos.size()) continue;  // no value of a row
        row = &it->second;
        owner = o;
        memo = m;
        expected = 0;
        gathering = true;
      }
      const std::uint32_t sequence =
          h.size() == format::kMemoHeaderLength
              ? static_cast<std::uint32_t>(static_cast<unsigned char>(h[10]) << 8 |
                                           static_cast<unsigned char>(h[11]))
              : 0xFFFFFFFFu;
      if (sequence != expected) {
        files::set_driver_error(files::kFileSystemError, fault::kMemo,
                                "MEMO or BLOB " + std::to_string(memo + 1) + " of record " +
                                    std::to_string(owner) + " is missing a part");
        return files::kFileSystemError;
      }
      ++expected;
      row->memos[memo].append(cursor.data());
    }
    if (!ok) return tree_failed(cursor);
    finish();
  }

  t.keys.assign(t.def.keys.size(), {});
  std::vector<std::pair<std::string, std::uint32_t>> entries;
  entries.reserve(t.rows.size());
  for (std::size_t k = 0; k < t.def.keys.size(); ++k) {
    if (t.def.keys[k].components.empty()) continue;
    entries.clear();
    for (const auto& [number, row] : t.rows) {
      if (!key_leaves_out(t.def, k, row.record)) {
        entries.emplace_back(key_bytes(t.def, k, row.record), number);
      }
    }
    std::sort(entries.begin(), entries.end());
    // Sorted, the entries go in at the end one after another, without a search.
    t.keys[k] = std::set<std::pair<std::string, std::uint32_t>>(
        std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
  }
  return 0;
}

int KeyedTable::save() {
  keep_freed_memory();
  FileBuilder builder;
  std::vector<std::pair<std::uint32_t, std::size_t>> order;  // record number, table
  for (std::size_t i = 0; i < tables_.size(); ++i) {
    builder.add_table(tables_[i].def, tables_[i].name, tables_[i].number);
    for (const auto& [number, row] : tables_[i].rows) order.emplace_back(number, i);
  }
  // Record numbers are file-wide: rows of all tables go in in their order.
  std::sort(order.begin(), order.end());
  for (const auto& [number, i] : order) {
    const Row& row = tables_[i].rows.at(number);
    if (builder.add_row(i, row.record, row.memos, number) == 0) break;
  }
  builder.keep_last_record_number(last_number_);
  builder.set_changes(changes_ + 1);
  if (!write_replacing(builder, path_)) return write_failed(builder, path_);
  ++changes_;
  stamp_ = stamp_of(path_);
  file_length_ = stamp_.size;
  if (std::uint64_t* w = writes_of(identity_)) seen_generation_ = ++*w;
  return 0;
}

// Another KeyedTable (another declaration of the same file) may have saved
// since this one last loaded or saved: its change counter then differs.
int KeyedTable::sync() {
  if (!open_) return done(files::kFileNotOpen);
  if (Registry* r = registry()) {
    for (KeyedTable* other : r->open) {
      if (other != this && other->dirty_ && other->identity_ == identity_) {
        if (const int rc = other->flush(); rc != 0) return rc;
      }
    }
  }
  const std::uint64_t* writes = writes_of(identity_);
  if (writes && *writes != seen_generation_) {
    // Another table of this thread wrote the file; pending changes of our
    // own cannot exist then (they would have been written first).
    if (dirty_) return 0;
    std::vector<Table> kept = std::move(tables_);
    if (const int rc = load(); rc != 0) {
      tables_ = std::move(kept);
      return rc;
    }
    return 0;
  }
  // Holding the file for a batch of changes: only this thread's tables are
  // looked at, and those were just dealt with.
  if (defer_ || dirty_) return 0;
  switch (probe()) {
    case OnDisk::Unchanged: return 0;
    case OnDisk::Missing: return done(files::kFileNotFound);
    case OnDisk::Changed: break;
  }
  std::vector<Table> kept = std::move(tables_);
  if (const int rc = load(); rc != 0) {
    tables_ = std::move(kept);
    return rc;
  }
  return 0;
}

void KeyedTable::index(Table& t, std::uint32_t number, const std::string& record, bool insert) {
  for (std::size_t k = 0; k < t.def.keys.size(); ++k) {
    if (t.def.keys[k].components.empty() || key_leaves_out(t.def, k, record)) continue;
    std::pair<std::string, std::uint32_t> entry(key_bytes(t.def, k, record), number);
    if (insert) {
      t.keys[k].insert(std::move(entry));
    } else {
      t.keys[k].erase(entry);
    }
  }
}

bool KeyedTable::clashes(std::size_t k, const std::string& record, std::uint32_t except) const {
  const Table& t = table();
  const KeyDef& key = t.def.keys[k];
  if ((key.flags & format::kKeyDup) || key.components.empty() ||
      key_leaves_out(t.def, k, record)) {
    return false;
  }
  const std::string bytes = key_bytes(t.def, k, record);
  for (auto it = t.keys[k].lower_bound({bytes, 0}); it != t.keys[k].end() && it->first == bytes;
       ++it) {
    if (it->second != except) return true;
  }
  return false;
}

bool KeyedTable::check_unique(const std::string& record, std::uint32_t except) const {
  for (std::size_t k = 0; k < table().def.keys.size(); ++k) {
    if (clashes(k, record, except)) return false;
  }
  return true;
}

bool KeyedTable::duplicate(std::size_t key, bool adding) const {
  return open_ && key < table().def.keys.size() && clashes(key, buffer_, adding ? 0 : current_);
}

const TableDef& KeyedTable::definition() const {
  static const TableDef none;
  if (open_) return table().def;
  return declared_ ? declaration_ : none;
}

std::int32_t KeyedTable::records() const {
  return open_ ? static_cast<std::int32_t>(table().rows.size()) : 0;
}

void KeyedTable::clear() {
  const TableDef& def = definition();
  buffer_.assign(def.record_length, '\0');
  for (const FieldDef& f : def.fields) {
    if (f.type == format::kTypeString) std::memset(buffer_.data() + f.offset, ' ', f.length);
  }
  blobs_.assign(def.memos.size(), std::string());
}

std::int64_t KeyedTable::blob_size(int n) const {
  if (n < 1 || static_cast<std::size_t>(n) > blobs_.size()) return 0;
  return static_cast<std::int64_t>(blobs_[n - 1].size());
}

std::string KeyedTable::blob_read(int n, std::int64_t first, std::int64_t last) const {
  if (n < 1 || static_cast<std::size_t>(n) > blobs_.size()) return {};
  const std::string& b = blobs_[n - 1];
  first = std::max<std::int64_t>(first, 0);
  last = std::min<std::int64_t>(last, static_cast<std::int64_t>(b.size()) - 1);
  if (first > last) return {};
  return b.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first + 1));
}

void KeyedTable::blob_write(int n, std::int64_t first, std::string_view bytes) {
  if (n < 1 || static_cast<std::size_t>(n) > blobs_.size() || first < 0) return;
  std::string& b = blobs_[n - 1];
  const std::size_t at = static_cast<std::size_t>(first);
  if (b.size() < at + bytes.size()) b.resize(at + bytes.size(), '\0');
  b.replace(at, bytes.size(), bytes);
}

void KeyedTable::blob_set_size(int n, std::int64_t size) {
  if (n < 1 || static_cast<std::size_t>(n) > blobs_.size() || size < 0) return;
  blobs_[n - 1].resize(static_cast<std::size_t>(size), '\0');
}

int KeyedTable::add() {
  if (const int rc = sync(); rc != 0) return rc;
  buffer_.resize(table().def.record_length, '\0');
  if (!check_unique(buffer_, 0)) return done(files::kCreatesDuplicateKey);
  if (last_number_ == 0xFFFFFFFFu) return done(files::kRecordLimitExceeded);
  const std::uint32_t number = ++last_number_;
  table().rows[number] = Row{buffer_, blobs_};
  index(table(), number, buffer_, true);
  if (const int rc = commit(); rc != 0) {
    index(table(), number, buffer_, false);
    table().rows.erase(number);
    --last_number_;
    return rc;
  }
  current_ = number;
  return done(0);
}

int KeyedTable::put() {
  if (const int rc = sync(); rc != 0) return rc;
  auto it = table().rows.find(current_);
  if (current_ == 0 || it == table().rows.end()) return done(files::kRecordNotAvailable);
  buffer_.resize(table().def.record_length, '\0');
  if (!check_unique(buffer_, current_)) return done(files::kCreatesDuplicateKey);
  Row old = std::move(it->second);
  index(table(), current_, old.record, false);
  it->second = Row{buffer_, blobs_};
  index(table(), current_, buffer_, true);
  if (const int rc = commit(); rc != 0) {
    index(table(), current_, buffer_, false);
    it->second = std::move(old);
    index(table(), current_, it->second.record, true);
    return rc;
  }
  return done(0);
}

int KeyedTable::erase() {
  if (const int rc = sync(); rc != 0) return rc;
  auto it = table().rows.find(current_);
  if (current_ == 0 || it == table().rows.end()) return done(files::kRecordNotAvailable);
  Row old = std::move(it->second);
  index(table(), current_, old.record, false);
  table().rows.erase(it);
  if (const int rc = commit(); rc != 0) {
    index(table(), current_, old.record, true);
    table().rows.emplace(current_, std::move(old));
    return rc;
  }
  current_ = 0;
  return done(0);
}

int KeyedTable::read_row(std::uint32_t number) {
  const Row& row = table().rows.at(number);
  buffer_ = row.record;
  blobs_ = row.memos;
  blobs_.resize(table().def.memos.size());
  current_ = number;
  return done(0);
}

int KeyedTable::fetch(std::size_t key) {
  if (const int rc = sync(); rc != 0) return rc;
  const Table& t = table();
  if (key >= t.def.keys.size() || t.def.keys[key].components.empty() ||
      key_leaves_out(t.def, key, buffer_)) {
    return done(files::kRecordNotFound);
  }
  const std::string bytes = key_bytes(t.def, key, buffer_);
  const auto it = t.keys[key].lower_bound({bytes, 0});
  if (it == t.keys[key].end() || it->first != bytes) return done(files::kRecordNotFound);
  order_ = Order::Key;
  order_key_ = key;
  at_start_ = false;
  inclusive_ = false;
  position_ = *it;
  return read_row(it->second);
}

void KeyedTable::set() {
  order_ = Order::Physical;
  at_start_ = true;
  inclusive_ = false;
}

void KeyedTable::set_key(std::size_t key) {
  order_ = Order::Key;
  order_key_ = key;
  at_start_ = true;
  inclusive_ = false;
}

void KeyedTable::set_key_from(std::size_t key) {
  set_key(key);
  if (!open_ || key >= table().def.keys.size()) return;
  const std::string bytes = key_bytes(table().def, key, buffer_);
  at_start_ = false;
  inclusive_ = true;
  low_ = {bytes, 0};
  high_ = {bytes, 0xFFFFFFFFu};
}

std::string KeyedTable::position() const {
  if (at_start_ || inclusive_ || current_ == 0) return {};
  std::string p(1, order_ == Order::Key ? 'K' : 'P');
  if (order_ == Order::Key) p += static_cast<char>(order_key_);
  for (int i = 3; i >= 0; --i) p += static_cast<char>((position_.second >> (8 * i)) & 0xFF);
  p += position_.first;
  return p;
}

void KeyedTable::reset(std::string_view p) {
  const std::size_t head = !p.empty() && p[0] == 'K' ? 2 : 1;
  if (p.size() < head + 4 || (p[0] != 'K' && p[0] != 'P')) {
    if (order_ == Order::Key) set_key(order_key_); else set();
    return;
  }
  order_ = p[0] == 'K' ? Order::Key : Order::Physical;
  if (order_ == Order::Key) order_key_ = static_cast<unsigned char>(p[1]);
  std::uint32_t number = 0;
  for (std::size_t i = 0; i < 4; ++i) number = (number << 8) | static_cast<unsigned char>(p[head + i]);
  at_start_ = false;
  inclusive_ = true;
  low_ = high_ = {std::string(p.substr(head + 4)), number};
}

int KeyedTable::next() {
  if (const int rc = sync(); rc != 0) return rc;
  const Table& t = table();
  const bool inclusive = inclusive_;
  inclusive_ = false;
  if (order_ == Order::Physical) {
    const auto it = at_start_   ? t.rows.begin()
                    : inclusive ? t.rows.lower_bound(low_.second)
                                : t.rows.upper_bound(position_.second);
    if (it == t.rows.end()) return done(files::kRecordNotAvailable);
    at_start_ = false;
    position_ = {std::string(), it->first};
    return read_row(it->first);
  }
  if (order_key_ >= t.keys.size()) return done(files::kRecordNotAvailable);
  const auto& entries = t.keys[order_key_];
  const auto it = at_start_   ? entries.begin()
                  : inclusive ? entries.lower_bound(low_)
                              : entries.upper_bound(position_);
  if (it == entries.end()) return done(files::kRecordNotAvailable);
  at_start_ = false;
  position_ = *it;
  return read_row(it->second);
}

int KeyedTable::previous() {
  if (const int rc = sync(); rc != 0) return rc;
  const Table& t = table();
  const bool inclusive = inclusive_;
  inclusive_ = false;
  if (order_ == Order::Physical) {
    auto it = at_start_   ? t.rows.end()
              : inclusive ? t.rows.upper_bound(high_.second)
                          : t.rows.lower_bound(position_.second);
    if (it == t.rows.begin()) return done(files::kRecordNotAvailable);
    --it;
    at_start_ = false;
    position_ = {std::string(), it->first};
    return read_row(it->first);
  }
  if (order_key_ >= t.keys.size()) return done(files::kRecordNotAvailable);
  const auto& entries = t.keys[order_key_];
  auto it = at_start_   ? entries.end()
            : inclusive ? entries.upper_bound(high_)
                        : entries.lower_bound(position_);
  if (it == entries.begin()) return done(files::kRecordNotAvailable);
  --it;
  at_start_ = false;
  position_ = *it;
  return read_row(it->second);
}

std::int64_t KeyedTable::auto_number(std::size_t key) {
  if (const int rc = sync(); rc != 0) return 0;
  const Table& t = table();
  if (key >= t.def.keys.size() || t.def.keys[key].components.size() != 1) {
    done(files::kFunctionNotSupported);
    return 0;
  }
  const KeyComponent& c = t.def.keys[key].components[0];
  const FieldDef& f = t.def.fields[c.field];
  if (!is_integer(f.type)) {
    done(files::kFunctionNotSupported);
    return 0;
  }
  std::int64_t highest = 0;
  const auto& entries = t.keys[key];
  if (!entries.empty()) {
    // The highest value ends an ascending key and starts a descending one.
    const std::uint32_t holder = (c.flags & format::kComponentDescending)
                                     ? entries.begin()->second
                                     : entries.rbegin()->second;
    highest = read_integer(f, t.rows.at(holder).record);
  }
  const std::int64_t value = highest + 1;
  const std::size_t n = std::min<std::size_t>(f.length, 4);
  for (std::size_t i = 0; i < n; ++i) {
    buffer_[f.offset + i] = static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
  }
  done(0);
  return value;
}

}  // namespace tps
