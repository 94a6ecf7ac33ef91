#include "platform/tps/fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/tps/put_bytes.h"

namespace tps::fixture {

namespace {

[[noreturn]] void misuse(const std::string& what) { throw std::invalid_argument(what); }

std::uint8_t type_code(Type t) {
  switch (t) {
    case Type::Byte: return format::kTypeByte;
    case Type::Short: return format::kTypeShort;
    case Type::UShort: return format::kTypeUShort;
    case Type::Long: return format::kTypeLong;
    case Type::ULong: return format::kTypeULong;
    case Type::SReal: return format::kTypeSReal;
    case Type::Real: return format::kTypeReal;
    case Type::Decimal: return format::kTypeDecimal;
    case Type::String: return format::kTypeString;
    case Type::CString: return format::kTypeCString;
    case Type::PString: return format::kTypePString;
    case Type::Date: return format::kTypeDate;
    case Type::Time: return format::kTypeTime;
    case Type::Group: return format::kTypeGroup;
  }
  return 0;
}

std::size_t fixed_length(Type t) {
  switch (t) {
    case Type::Byte: return 1;
    case Type::Short:
    case Type::UShort: return 2;
    case Type::Long:
    case Type::ULong:
    case Type::SReal:
    case Type::Date:
    case Type::Time: return 4;
    case Type::Real: return 8;
    default: return 0;
  }
}

bool is_text(std::uint8_t type) {
  return type == format::kTypeString || type == format::kTypeCString ||
         type == format::kTypePString;
}

std::string upper_ascii(std::string_view s) {
  std::string u(s);
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}

void store_le(char* p, std::size_t n, std::uint64_t v) {
  for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string decimal_bytes(std::string_view text, int digits, int places) {
  const std::size_t bytes = static_cast<std::size_t>(digits / 2 + 1);
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  std::string whole;
  std::string fraction;
  const std::size_t point = t.find('.');
  whole = std::string(t.substr(0, point));
  if (point != std::string_view::npos) fraction = std::string(t.substr(point + 1));
  if (whole.empty() && fraction.empty()) misuse("not a number: " + std::string(text));
  for (char c : whole + fraction) {
    if (c < '0' || c > '9') misuse("not a number: " + std::string(text));
  }
  if (fraction.size() > static_cast<std::size_t>(places)) {
    misuse("more places than declared: " + std::string(text));
  }
  fraction.append(static_cast<std::size_t>(places) - fraction.size(), '0');
  std::string all = whole + fraction;
  all.erase(0, std::min(all.find_first_not_of('0'), all.size()));
  const std::size_t nibbles = 2 * bytes - 1;
  if (all.size() > nibbles || all.size() > static_cast<std::size_t>(digits)) {
    misuse("too many digits for DECIMAL: " + std::string(text));
  }
  all.insert(0, nibbles - all.size(), '0');
  if (all.find_first_not_of('0') == std::string::npos) negative = false;
  std::string out(bytes, '\0');
  // Nibble 0 is the sign; the digits follow, most significant first.
  for (std::size_t i = 0; i < nibbles; ++i) {
    const std::size_t nibble = i + 1;
    const unsigned d = static_cast<unsigned>(all[i] - '0');
    unsigned char& b = reinterpret_cast<unsigned char&>(out[nibble / 2]);
    b = static_cast<unsigned char>(nibble % 2 ? (b | d) : (b | (d << 4)));
  }
  if (negative) out[0] = static_cast<char>(static_cast<unsigned char>(out[0]) | 0xF0);
  return out;
}

// ---- Table: layout ----------------------------------------------------------

Table::Table(File& file, std::string prefix, std::string name)
    : file_(&file), prefix_(std::move(prefix)), name_(std::move(name)) {}

std::string Table::full_name(std::string_view label) const {
  return prefix_.empty() ? std::string(label) : prefix_ + ":" + std::string(label);
}

void Table::layout_only(const char* what) const {
  if (registered_) misuse(std::string(what) + " after the first row");
}

FieldDef& Table::last_field(const char* what) {
  layout_only(what);
  if (def_.fields.empty()) misuse(std::string(what) + " without a field");
  return def_.fields.back();
}

Table& Table::field(std::string label, Type type, std::uint16_t size, std::uint8_t places) {
  layout_only("field");
  if (type == Type::Group) return group(std::move(label));
  FieldDef f;
  f.type = type_code(type);
  f.offset = static_cast<std::uint16_t>(next_offset_);
  f.name = full_name(label);
  f.number = static_cast<std::uint16_t>(def_.fields.size());
  std::size_t length = fixed_length(type);
  if (type == Type::Decimal) {
    if (size == 0) misuse("DECIMAL " + label + " needs its digits");
    if (places > size) misuse("DECIMAL " + label + " has more places than digits");
    f.places = places;
    f.element_bytes = static_cast<std::uint8_t>(size / 2 + 1);
    length = f.element_bytes;
  } else if (is_text(f.type)) {
    if (size == 0) misuse("text field " + label + " needs its length");
    f.string_length = size;
    length = size;
  }
  f.length = static_cast<std::uint16_t>(length);
  last_offset_before_ = next_offset_;
  next_offset_ += length;
  if (next_offset_ > 0xFFFF) misuse("the record grows beyond 65535 bytes");
  def_.fields.push_back(std::move(f));
  return *this;
}

Table& Table::dim(std::uint16_t d1, std::uint16_t d2, std::uint16_t d3) {
  FieldDef& f = last_field("dim");
  if (f.type == format::kTypeGroup) misuse("DIM of a GROUP is not supported");
  const std::size_t elements = static_cast<std::size_t>(d1) * d2 * d3;
  if (elements == 0 || elements > 0xFFFF) misuse("bad DIM for " + f.name);
  const std::size_t length = static_cast<std::size_t>(f.length) * elements;
  if (f.offset + length > 0xFFFF) misuse("the record grows beyond 65535 bytes");
  next_offset_ = f.offset + length;
  f.elements = static_cast<std::uint16_t>(elements);
  f.length = static_cast<std::uint16_t>(length);
  for (std::size_t g : open_groups_) {
    FieldDef& grp = def_.fields[g];
    grp.length = static_cast<std::uint16_t>(next_offset_ - grp.offset);
  }
  return *this;
}

Table& Table::over(std::string_view label) {
  FieldDef& f = last_field("over");
  const std::string target = full_name(label);
  auto it = std::find_if(def_.fields.begin(), def_.fields.end() - 1,
                         [&](const FieldDef& g) { return g.name == target; });
  if (it == def_.fields.end() - 1) misuse("OVER names no earlier field: " + std::string(label));
  if (f.length > it->length) misuse(f.name + " is larger than the field it lies over");
  f.offset = it->offset;
  next_offset_ = last_offset_before_;
  return *this;
}

Table& Table::picture(std::string picture) {
  FieldDef& f = last_field("picture");
  if (!is_text(f.type)) misuse("a picture belongs to a text field");
  f.picture = std::move(picture);
  return *this;
}

Table& Table::group(std::string label) {
  layout_only("group");
  FieldDef f;
  f.type = format::kTypeGroup;
  f.offset = static_cast<std::uint16_t>(next_offset_);
  f.name = full_name(label);
  f.number = static_cast<std::uint16_t>(def_.fields.size());
  open_groups_.push_back(def_.fields.size());
  def_.fields.push_back(std::move(f));
  return *this;
}

Table& Table::end() {
  layout_only("end");
  if (open_groups_.empty()) misuse("end() without a group");
  FieldDef& g = def_.fields[open_groups_.back()];
  g.length = static_cast<std::uint16_t>(next_offset_ - g.offset);
  open_groups_.pop_back();
  return *this;
}

Table& Table::memo(std::string label, std::uint16_t max_length) {
  layout_only("memo");
  MemoDef m;
  m.name = full_name(label);
  m.max_length = max_length;
  def_.memos.push_back(std::move(m));
  return *this;
}

Table& Table::blob(std::string label) {
  layout_only("blob");
  MemoDef m;
  m.name = full_name(label);
  m.flags = format::kMemoFlagBlob;
  def_.memos.push_back(std::move(m));
  return *this;
}

Table& Table::binary() {
  layout_only("binary");
  if (def_.memos.empty()) misuse("BINARY without a MEMO or BLOB");
  def_.memos.back().flags |= format::kMemoFlagBinary;
  return *this;
}

Table& Table::key(std::string label, std::string_view components, std::uint8_t flags) {
  layout_only("key");
  KeyDef k;
  k.name = full_name(label);
  k.flags = flags;
  while (!components.empty()) {
    std::size_t comma = components.find(',');
    std::string_view part = components.substr(0, comma);
    components = comma == std::string_view::npos ? std::string_view{} : components.substr(comma + 1);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    KeyComponent c;
    if (!part.empty() && part.front() == '-') {
      c.flags = format::kComponentDescending;
      part.remove_prefix(1);
    } else if (!part.empty() && part.front() == '+') {
      part.remove_prefix(1);
    }
    const std::string name = full_name(part);
    auto it = std::find_if(def_.fields.begin(), def_.fields.end(),
                           [&](const FieldDef& f) { return upper_ascii(f.name) == upper_ascii(name); });
    if (it == def_.fields.end()) misuse("key " + label + " names no field " + std::string(part));
    c.field = it->number;
    k.components.push_back(c);
  }
  def_.keys.push_back(std::move(k));
  return *this;
}

Table& Table::driver_version(std::uint16_t version) {
  layout_only("driver_version");
  def_.driver_version = version;
  return *this;
}

void Table::finish_layout() {
  if (registered_) return;
  while (!open_groups_.empty()) end();
  def_.record_length = static_cast<std::uint16_t>(
      std::max<std::size_t>(next_offset_, def_.record_length));
  index_ = file_->builder_.add_table(def_, name_);
  registered_ = true;
}

// ---- Table: rows ----------------------------------------------------------------

void Table::commit() {
  if (!row_open_) return;
  row_open_ = false;
  // Trailing empty MEMOs need not be passed.
  std::size_t n = memos_.size();
  while (n > 0 && memos_[n - 1].empty()) --n;
  if (file_->builder_.add_row(index_, record_, std::span(memos_.data(), n), row_number_) == 0) {
    throw std::runtime_error("the writer refused a row: " + file_->builder_.error());
  }
}

Table& Table::row(std::uint32_t number) {
  finish_layout();
  file_->commit_pending();
  file_->pending_ = this;
  record_.assign(def_.record_length, '\0');
  for (const FieldDef& f : def_.fields) {
    if (f.type == format::kTypeString) std::memset(record_.data() + f.offset, ' ', f.length);
  }
  memos_.assign(def_.memos.size(), std::string());
  row_number_ = number;
  row_open_ = true;
  return *this;
}

Table::Slot Table::find(std::string_view label) const {
  if (!row_open_) misuse("set() before row()");
  std::size_t element = 0;
  std::string_view base = label;
  if (const std::size_t open = label.find('['); open != std::string_view::npos) {
    const std::size_t close = label.find(']', open);
    if (close == std::string_view::npos) misuse("bad element in " + std::string(label));
    element = 0;
    for (char c : label.substr(open + 1, close - open - 1)) {
      if (c < '0' || c > '9') misuse("bad element in " + std::string(label));
      element = element * 10 + static_cast<std::size_t>(c - '0');
    }
    if (element == 0) misuse("elements count from 1: " + std::string(label));
    base = label.substr(0, open);
  }
  const std::string wanted = upper_ascii(base);
  for (const FieldDef& f : def_.fields) {
    const std::string name = upper_ascii(f.name);
    if (name == wanted || name == upper_ascii(full_name(base))) {
      const std::size_t elements = f.elements == 0 ? 1 : f.elements;
      const std::size_t each = f.length / elements;
      if (element == 0) return Slot{f.offset, f.length, each, &f};
      if (element > elements) misuse("element beyond the DIM: " + std::string(label));
      return Slot{f.offset + (element - 1) * each, each, each, &f};
    }
  }
  misuse("no field " + std::string(label));
}

int Table::find_memo(std::string_view label) const {
  const std::string wanted = upper_ascii(label);
  for (std::size_t i = 0; i < def_.memos.size(); ++i) {
    const std::string name = upper_ascii(def_.memos[i].name);
    if (name == wanted || name == upper_ascii(full_name(label))) return static_cast<int>(i);
  }
  return -1;
}

Table& Table::set(std::string_view label, std::int64_t value) {
  if (find_memo(label) >= 0) misuse("a number for MEMO " + std::string(label));
  const Slot s = find(label);
  char* p = record_.data() + s.offset;
  switch (s.field->type) {
    case format::kTypeByte:
    case format::kTypeShort:
    case format::kTypeUShort:
    case format::kTypeLong:
    case format::kTypeULong:
      store_le(p, s.element, static_cast<std::uint64_t>(value));
      return *this;
    case format::kTypeSReal:
    case format::kTypeReal:
    case format::kTypeDecimal:
      return set(label, static_cast<double>(value));
    default:
      misuse("a number for " + s.field->name);
  }
}

Table& Table::set(std::string_view label, double value) {
  const Slot s = find(label);
  char* p = record_.data() + s.offset;
  switch (s.field->type) {
    case format::kTypeSReal: {
      const float f = static_cast<float>(value);
      std::memcpy(p, &f, 4);
      return *this;
    }
    case format::kTypeReal:
      std::memcpy(p, &value, 8);
      return *this;
    case format::kTypeDecimal: {
      char text[64];
      std::snprintf(text, sizeof text, "%.*f", s.field->places, value);
      return set(label, std::string_view(text));
    }
    case format::kTypeByte:
    case format::kTypeShort:
    case format::kTypeUShort:
    case format::kTypeLong:
    case format::kTypeULong:
      return set(label, static_cast<std::int64_t>(std::trunc(value)));
    default:
      misuse("a number for " + s.field->name);
  }
}

Table& Table::set(std::string_view label, std::string_view text) {
  if (const int m = find_memo(label); m >= 0) {
    if (!row_open_) misuse("set() before row()");
    memos_[static_cast<std::size_t>(m)] = std::string(text);
    return *this;
  }
  const Slot s = find(label);
  char* p = record_.data() + s.offset;
  switch (s.field->type) {
    case format::kTypeString:
    case format::kTypeGroup: {
      const std::size_t n = std::min(text.size(), s.element);
      std::memcpy(p, text.data(), n);
      std::memset(p + n, ' ', s.element - n);
      return *this;
    }
    case format::kTypeCString: {
      const std::size_t n = std::min(text.size(), s.element - 1);
      std::memcpy(p, text.data(), n);
      std::memset(p + n, 0, s.element - n);
      return *this;
    }
    case format::kTypePString: {
      const std::size_t n = std::min({text.size(), s.element - 1, std::size_t{255}});
      p[0] = static_cast<char>(n);
      std::memcpy(p + 1, text.data(), n);
      std::memset(p + 1 + n, 0, s.element - 1 - n);
      return *this;
    }
    case format::kTypeDecimal: {
      const int digits = std::min(2 * s.field->element_bytes - 1, 31);
      const std::string bytes = decimal_bytes(text, digits, s.field->places);
      std::memcpy(p, bytes.data(), std::min(bytes.size(), s.element));
      return *this;
    }
    default:
      misuse("a text for " + s.field->name);
  }
}

Table& Table::set_date(std::string_view label, int day, int month, int year) {
  const Slot s = find(label);
  if (s.field->type != format::kTypeDate) misuse(s.field->name + " is not a DATE");
  char* p = record_.data() + s.offset;
  p[0] = static_cast<char>(day);
  p[1] = static_cast<char>(month);
  store_le(p + 2, 2, static_cast<std::uint64_t>(year));
  return *this;
}

Table& Table::set_time(std::string_view label, int hours, int minutes, int seconds,
                       int hundredths) {
  const Slot s = find(label);
  if (s.field->type != format::kTypeTime) misuse(s.field->name + " is not a TIME");
  char* p = record_.data() + s.offset;
  p[0] = static_cast<char>(hundredths);
  p[1] = static_cast<char>(seconds);
  p[2] = static_cast<char>(minutes);
  p[3] = static_cast<char>(hours);
  return *this;
}

Table& Table::set_raw(std::string_view label, std::string_view bytes) {
  if (const int m = find_memo(label); m >= 0) return set(label, bytes);
  const Slot s = find(label);
  char* p = record_.data() + s.offset;
  const std::size_t n = std::min(bytes.size(), s.length);
  std::memcpy(p, bytes.data(), n);
  std::memset(p + n, 0, s.length - n);
  return *this;
}

// ---- File ---------------------------------------------------------------------------

File::File() = default;
File::~File() = default;

Table& File::table(std::string prefix, std::string name) {
  tables_.push_back(std::unique_ptr<Table>(new Table(*this, std::move(prefix), std::move(name))));
  return *tables_.back();
}

void File::commit_pending() {
  if (pending_) pending_->commit();
  pending_ = nullptr;
}

void File::write(const std::filesystem::path& path) {
  commit_pending();
  for (auto& t : tables_) t->finish_layout();
  if (!builder_.write(path)) throw std::runtime_error("the writer failed: " + builder_.error());
}

}  // namespace tps::fixture
