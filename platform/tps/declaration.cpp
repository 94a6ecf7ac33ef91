#include "platform/tps/declaration.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/tps/format.h"

namespace tps {

namespace {

std::string clip(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

const char* type_name(std::uint8_t type) {
  switch (type) {
    case format::kTypeByte: return "BYTE";
    case format::kTypeShort: return "SHORT";
    case format::kTypeUShort: return "USHORT";
    case format::kTypeDate: return "DATE";
    case format::kTypeTime: return "TIME";
    case format::kTypeLong: return "LONG";
    case format::kTypeULong: return "ULONG";
    case format::kTypeSReal: return "SREAL";
    case format::kTypeReal: return "REAL";
    case format::kTypeDecimal: return "DECIMAL";
    case format::kTypePDecimal: return "PDECIMAL";
    case format::kTypeBFloat4: return "BFLOAT4";
    case format::kTypeBFloat8: return "BFLOAT8";
    case format::kTypeString: return "STRING";
    case format::kTypeCString: return "CSTRING";
    case format::kTypePString: return "PSTRING";
    case format::kTypeGroup: return "GROUP";
    default: return "";
  }
}

std::size_t element_size(const FieldDef& f) {
  return f.elements > 1 ? f.length / f.elements : f.length;
}

// OVER is not stored; it shows as a field that shares bytes with an earlier
// field of the same level (the same enclosing GROUP), GROUP members excepted.
std::vector<int> over_numbers(const std::vector<FieldDef>& fields) {
  std::vector<int> over(fields.size(), 0);
  std::vector<std::size_t> parent(fields.size(), SIZE_MAX);
  std::vector<std::size_t> open_groups;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    while (!open_groups.empty()) {
      const FieldDef& g = fields[open_groups.back()];
      if (f.offset >= g.offset && std::size_t{f.offset} + f.length <= std::size_t{g.offset} + g.length &&
          !(f.length == 0 && f.offset == std::size_t{g.offset} + g.length && g.length != 0))
        break;
      open_groups.pop_back();
    }
    parent[i] = open_groups.empty() ? SIZE_MAX : open_groups.back();
    for (std::size_t j = 0; j < i; ++j) {
      if (parent[j] != parent[i]) continue;
      const FieldDef& e = fields[j];
      if (f.offset >= e.offset && f.offset < std::size_t{e.offset} + e.length) {
        over[i] = static_cast<int>(j + 1);
        break;
      }
    }
    if (f.type == format::kTypeGroup) open_groups.push_back(i);
  }
  return over;
}

}  // namespace

Declaration::Declaration(TextSource name, TextSource owner, char* storage)
    : name_(std::move(name)), owner_(std::move(owner)), storage_(storage) {}

Declaration::~Declaration() = default;

int Declaration::report(const Fault& f) {
  if (!f) {
    files::clear_error();
    return 0;
  }
  files::set_driver_error(f.code, f.driver_code, f.text);
  return f.code;
}

int Declaration::open(int) { return open_named(nullptr); }

int Declaration::open_with_key(int, const Key& key) { return open_named(&key); }

int Declaration::open_bytes(std::unique_ptr<Source> bytes, const std::string& table_name) {
  if (open_) {
    files::set_error(files::kFileAlreadyOpen);
    return files::kFileAlreadyOpen;
  }
  return attach(std::move(bytes), table_name, nullptr);
}

int Declaration::open_named(const Key* given_key) {
  if (open_) {
    files::set_error(files::kFileAlreadyOpen);
    return files::kFileAlreadyOpen;
  }
  std::string name = clip(name_ ? name_() : std::string());
  std::string table_name;
  if (const auto bang = name.find("\\!"); bang != std::string::npos) {
    table_name = clip(name.substr(bang + 2));
    name.resize(bang);
  }
  if (name.empty()) {
    files::set_error(files::kInvalidFilename);
    return files::kInvalidFilename;
  }
  const std::filesystem::path path = files::os_path(name);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    const auto parent = path.parent_path();
    const int code = parent.empty() || std::filesystem::is_directory(parent, ec)
                         ? files::kFileNotFound : files::kPathNotFound;
    files::set_error(code);
    return code;
  }
  auto plain = std::make_unique<FileSource>();
  if (!plain->open(path)) {
    files::set_error(files::kAccessDenied);
    return files::kAccessDenied;
  }
  return attach(std::move(plain), table_name, given_key);
}

int Declaration::attach(std::unique_ptr<Source> source, const std::string& table_name,
                        const Key* given_key) {
  unsigned char head[format::kHeaderSize];
  const bool whole_header = source->size() >= sizeof head && source->read(0, sizeof head, head);
  // A plain header starts with four zero bytes; an enciphered one almost never does.
  const bool enciphered = whole_header && (head[0] | head[1] | head[2] | head[3]) != 0 &&
                          source->size() % format::kUnit == 0;
  if (enciphered) {
    std::optional<Key> key;
    if (given_key) key = *given_key;
    else key = key_from_password(owner_ ? clip(owner_()) : std::string());
    // Without a key an enciphered header reads as noise, and so does any
    // file that is no table at all: nothing tells the two apart.
    if (!key)
      return report({files::kFileSystemError, fault::kHeader,
                     "The file is not a TopSpeed table, or it is a table encrypted with an owner "
                     "password, whose key cannot be derived from a password yet"});
    source = std::make_unique<DecryptingSource>(std::move(source), *key);
    if (!source->read(0, sizeof head, head) || !TpsFile::has_plain_marks(head))
      return report({files::kInvalidDataFile, fault::kEncrypted,
                     "The owner password does not open this table"});
  }
  if (Fault f = file_.open(std::move(source)); f) return report(f);

  std::vector<TableEntry> tables;
  Fault f = list_tables(file_, tables);
  if (!f && tables.empty()) f = {files::kInvalidDataFile, fault::kTable, "the file holds no table"};
  if (f) {
    file_.close();
    return report(f.code == files::kFileSystemError
                      ? Fault{files::kInvalidDataFile, f.driver_code, f.text} : f);
  }
  const TableEntry* chosen = nullptr;
  for (const auto& t : tables) {
    if (table_name.empty() ? (chosen == nullptr || t.number < chosen->number)
                           : same_name(t.name, table_name))
      chosen = &t;
    if (!table_name.empty() && chosen) break;
  }
  if (chosen == nullptr) {
    file_.close();
    return report({files::kFileNotFound, fault::kTable,
                   "The file holds no table named " + table_name});
  }
  table_ = chosen->number;
  f = read_definition(file_, table_, def_);
  if (!f && def_.record_length > kRecordStorage)
    f = {files::kInvalidRecordDeclaration, fault::kRecordSize,
         "The table's record of " + std::to_string(def_.record_length) +
             " bytes is longer than the record storage of " + std::to_string(kRecordStorage) +
             " bytes"};
  std::optional<std::uint32_t> counted;
  if (!f) f = read_counter(file_, table_, format::kCounterRows, counted);
  if (f) {
    file_.close();
    def_ = TableDef{};
    return report(f.code == files::kFileSystemError
                      ? Fault{files::kInvalidDataFile, f.driver_code, f.text} : f);
  }
  cursor_ = std::make_unique<TreeCursor>(file_);
  memos_ = std::make_unique<MemoReader>(file_);
  if (counted) {
    records_ = *counted;
  } else {
    records_ = 0;
    const std::string rows = table_prefix(table_, format::kKindRow);
    if (cursor_->seek(rows))
      for (; cursor_->valid() && cursor_->header().substr(0, rows.size()) == rows; ++records_)
        if (!cursor_->next()) break;
  }
  over_ = over_numbers(def_.fields);
  open_ = true;
  position_ = Position::Start;
  have_row_ = false;
  nomemo_ = false;
  pointer_ = 0;
  files::clear_error();
  return 0;
}

int Declaration::close() {
  if (!open_) {
    files::set_error(files::kFileNotOpen);
    return files::kFileNotOpen;
  }
  cursor_.reset();
  memos_.reset();
  file_.close();
  def_ = TableDef{};
  over_.clear();
  open_ = false;
  have_row_ = false;
  files::clear_error();
  return 0;
}

std::size_t Declaration::record_size() const { return open_ ? def_.record_length : 0; }

std::int32_t Declaration::records() const {
  return open_ ? static_cast<std::int32_t>(records_) : 0;
}

void Declaration::set() {
  position_ = Position::Start;
  have_row_ = false;
}

void Declaration::set(std::int32_t pointer) {
  position_ = Position::Pointer;
  target_ = static_cast<std::uint32_t>(pointer);
  have_row_ = false;
}

int Declaration::next() { return read(+1); }
int Declaration::previous() { return read(-1); }

int Declaration::read(int direction) {
  if (!open_) {
    files::set_error(files::kFileNotOpen);
    return files::kFileNotOpen;
  }
  const bool skip_memos = nomemo_;
  nomemo_ = false;
  TreeCursor& c = *cursor_;
  bool ok = true;
  switch (position_) {
    case Position::Start:
      ok = direction > 0 ? c.seek(table_prefix(table_, format::kKindRow))
                         : c.seek_before(table_prefix(table_, format::kKindRow + 1));
      break;
    case Position::Pointer:
      if (direction > 0) ok = c.seek(row_header(table_, target_));
      else if (target_ == 0xFFFFFFFFu) ok = c.seek_before(table_prefix(table_, format::kKindRow + 1));
      else ok = c.seek_before(row_header(table_, target_ + 1));
      break;
    case Position::Current:
      ok = direction > 0 ? c.next() : c.prev();
      break;
    case Position::Off:
      break;
  }
  have_row_ = false;
  if (!ok) {
    position_ = Position::Off;
    return report({files::kFileSystemError, fault::kTree, c.fault()});
  }
  const std::string rows = table_prefix(table_, format::kKindRow);
  if (position_ == Position::Off || !c.valid() || c.header().size() != format::kRowHeaderLength ||
      c.header().compare(0, rows.size(), rows) != 0) {
    position_ = Position::Off;
    files::set_error(files::kRecordNotAvailable);
    return files::kRecordNotAvailable;
  }
  position_ = Position::Current;
  const std::uint32_t number = read_u32be(c.header().substr(rows.size()));
  const std::string_view data = c.data();
  if (data.size() != def_.record_length)
    return report({files::kFileSystemError, fault::kRow,
                   "record " + std::to_string(number) + " holds " + std::to_string(data.size()) +
                       " bytes; the table's record has " + std::to_string(def_.record_length)});
  std::copy(data.begin(), data.end(), storage_);
  pointer_ = number;
  have_row_ = true;
  memos_loaded_ = !skip_memos;
  files::clear_error();
  return 0;
}

const MemoDef* Declaration::memo(int n) const {
  if (!open_ || n < 1 || static_cast<std::size_t>(n) > def_.memos.size()) return nullptr;
  return &def_.memos[static_cast<std::size_t>(n - 1)];
}

std::int64_t Declaration::blob_size(int n) const {
  const MemoDef* m = memo(n);
  if (!m || !have_row_ || !memos_loaded_) return 0;
  std::int64_t size = 0;
  Fault f = memos_->size(table_, pointer_, static_cast<std::uint8_t>(n - 1), m->is_blob(), size);
  report(f);
  return size;
}

std::string Declaration::blob_read(int n, std::int64_t first, std::int64_t last) const {
  const MemoDef* m = memo(n);
  std::string out;
  if (!m || !have_row_ || !memos_loaded_) return out;
  Fault f = memos_->read(table_, pointer_, static_cast<std::uint8_t>(n - 1), m->is_blob(), first,
                         last, out);
  report(f);
  return out;
}

std::string Declaration::property(int number, int index) const {
  if (!open_) return {};
  const auto& fields = def_.fields;
  if (index == 0) {
    switch (number) {
      case prop::kFields: return std::to_string(fields.size());
      case prop::kMemos:
        return std::to_string(std::count_if(def_.memos.begin(), def_.memos.end(),
                                            [](const MemoDef& m) { return !m.is_blob(); }));
      case prop::kBlobs:
        return std::to_string(std::count_if(def_.memos.begin(), def_.memos.end(),
                                            [](const MemoDef& m) { return m.is_blob(); }));
      default: return {};
    }
  }
  if (index < 0) {
    const MemoDef* m = memo(-index);
    if (!m) return {};
    switch (number) {
      case prop::kBinary: return m->is_binary() ? "1" : "0";
      case prop::kDim: return "0";
      case prop::kLabel:
      case prop::kName: return m->name;
      case prop::kOver: return "0";
      case prop::kPlaces: return "0";
      case prop::kSize: return m->is_blob() ? std::string() : std::to_string(m->max_length);
      case prop::kType: return m->is_blob() ? "BLOB" : "MEMO";
      default: return {};
    }
  }
  if (static_cast<std::size_t>(index) > fields.size()) return {};
  const std::size_t i = static_cast<std::size_t>(index - 1);
  const FieldDef& f = fields[i];
  switch (number) {
    case prop::kFields: {
      if (f.type != format::kTypeGroup) return "1";
      // A GROUP counts the fields inside its bytes that follow it.
      std::size_t members = 0;
      for (std::size_t j = i + 1; j < fields.size(); ++j) {
        const FieldDef& m = fields[j];
        if (m.offset < f.offset || std::size_t{m.offset} + m.length > std::size_t{f.offset} + f.length)
          break;
        ++members;
      }
      return std::to_string(members);
    }
    case prop::kBinary: return "0";
    case prop::kDim: return std::to_string(f.elements > 1 ? f.elements : 0);
    case prop::kLabel: {
      const auto colon = f.name.find(':');
      return colon == std::string::npos ? f.name : f.name.substr(colon + 1);
    }
    case prop::kName: return f.name;
    case prop::kOver: return std::to_string(over_[i]);
    case prop::kPlaces:
      return std::to_string(f.type == format::kTypeDecimal || f.type == format::kTypePDecimal
                                ? f.places : 0);
    case prop::kSize:
      if (f.type == format::kTypeDecimal) {
        const std::size_t bytes = f.element_bytes != 0 ? f.element_bytes : element_size(f);
        return std::to_string(bytes == 0 ? 0 : 2 * bytes - 1);
      }
      return std::to_string(element_size(f));
    case prop::kType: return type_name(f.type);
    default: return {};
  }
}

}  // namespace tps
