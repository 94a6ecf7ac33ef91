#include <cstring>

#include "platform/tps/definition.h"
#include "platform/tps/format.h"

namespace tps {

namespace {

// Reads the definition bytes front to back; every read checks what is left.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool u8(std::uint8_t& v) {
    if (left() < 1) return false;
    v = static_cast<std::uint8_t>(bytes_[at_++]);
    return true;
  }
  bool u16(std::uint16_t& v) {
    if (left() < 2) return false;
    v = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at_]) |
                                   static_cast<unsigned char>(bytes_[at_ + 1]) << 8);
    at_ += 2;
    return true;
  }
  bool zstring(std::string& s) {
    const std::size_t end = bytes_.find('\0', at_);
    if (end == std::string_view::npos) return false;
    s.assign(bytes_.substr(at_, end - at_));
    at_ = end + 1;
    return true;
  }
  bool skip(std::size_t n) {
    if (left() < n) return false;
    at_ += n;
    return true;
  }
  std::size_t left() const { return bytes_.size() - at_; }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

bool has_string_tail(std::uint8_t type) {
  return type == format::kTypeString || type == format::kTypeCString ||
         type == format::kTypePString;
}

bool has_decimal_tail(std::uint8_t type) {
  return type == format::kTypeDecimal || type == format::kTypePDecimal;
}

bool fail(std::string* why, std::string text) {
  if (why) *why = std::move(text);
  return false;
}

}  // namespace

bool parse_definition(std::string_view bytes, TableDef& def, std::string* why) {
  Reader in(bytes);
  std::uint16_t fields = 0, memos = 0, keys = 0;
  def = TableDef{};
  if (!in.u16(def.driver_version) || !in.u16(def.record_length) || !in.u16(fields) ||
      !in.u16(memos) || !in.u16(keys))
    return fail(why, "the definition header is cut short");
  // Every entry takes several bytes, so counts beyond the bytes present are damage,
  // caught before anything is reserved for them.
  if (std::size_t{fields} + memos + keys > in.left())
    return fail(why, "the definition counts more entries than it has bytes");
  for (std::uint16_t i = 0; i < fields; ++i) {
    FieldDef f;
    if (!in.u8(f.type) || !in.u16(f.offset) || !in.zstring(f.name) || !in.u16(f.elements) ||
        !in.u16(f.length) || !in.u16(f.flags) || !in.u16(f.number))
      return fail(why, "field " + std::to_string(i + 1) + " is cut short");
    if (has_decimal_tail(f.type) && (!in.u8(f.places) || !in.u8(f.element_bytes)))
      return fail(why, "field " + std::to_string(i + 1) + " is cut short");
    if (has_string_tail(f.type)) {
      if (!in.u16(f.string_length) || !in.zstring(f.picture) || (f.picture.empty() && !in.skip(1)))
        return fail(why, "field " + std::to_string(i + 1) + " is cut short");
    }
    if (std::size_t{f.offset} + f.length > def.record_length)
      return fail(why, "field " + f.name + " lies outside the record");
    def.fields.push_back(std::move(f));
  }
  for (std::uint16_t i = 0; i < memos; ++i) {
    MemoDef m;
    if (!in.zstring(m.external_name) || (m.external_name.empty() && !in.skip(1)) ||
        !in.zstring(m.name) || !in.u16(m.max_length) || !in.u16(m.flags))
      return fail(why, "MEMO or BLOB " + std::to_string(i + 1) + " is cut short");
    def.memos.push_back(std::move(m));
  }
  for (std::uint16_t i = 0; i < keys; ++i) {
    KeyDef k;
    std::uint16_t components = 0;
    if (!in.zstring(k.external_name) || (k.external_name.empty() && !in.skip(1)) ||
        !in.zstring(k.name) || !in.u8(k.flags) || !in.u16(components))
      return fail(why, "key " + std::to_string(i + 1) + " is cut short");
    if (std::size_t{components} * 4 > in.left())
      return fail(why, "key " + k.name + " is cut short");
    for (std::uint16_t c = 0; c < components; ++c) {
      KeyComponent kc;
      in.u16(kc.field);
      in.u16(kc.flags);
      if (kc.field >= def.fields.size())
        return fail(why, "key " + k.name + " names a field the table does not have");
      k.components.push_back(kc);
    }
    def.keys.push_back(std::move(k));
  }
  if (in.left() != 0)
    return fail(why, "the definition has " + std::to_string(in.left()) + " bytes left over");
  return true;
}

}  // namespace tps
