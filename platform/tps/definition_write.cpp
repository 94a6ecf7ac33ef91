// serialize_definition: the definition bytes in the driver's own layout, so a
// definition read from a real table comes back byte for byte.
#include "platform/tps/definition.h"
#include "platform/tps/format.h"
#include "platform/tps/put_bytes.h"

namespace tps {

namespace {

bool has_string_part(std::uint8_t type) {
  return type == format::kTypeString || type == format::kTypeCString ||
         type == format::kTypePString;
}

bool has_decimal_part(std::uint8_t type) {
  return type == format::kTypeDecimal || type == format::kTypePDecimal;
}

// External names are followed by a mark byte only when they are empty.
void external_name(std::string& out, const std::string& name) {
  put::zstring(out, name);
  if (name.empty()) put::u8(out, format::kEmptyExternalNameMark);
}

}  // namespace

std::string serialize_definition(const TableDef& def) {
  std::string out;
  put::u16le(out, def.driver_version);
  put::u16le(out, def.record_length);
  put::u16le(out, static_cast<std::uint16_t>(def.fields.size()));
  put::u16le(out, static_cast<std::uint16_t>(def.memos.size()));
  put::u16le(out, static_cast<std::uint16_t>(def.keys.size()));

  for (const FieldDef& f : def.fields) {
    put::u8(out, f.type);
    put::u16le(out, f.offset);
    put::zstring(out, f.name);
    put::u16le(out, f.elements);
    put::u16le(out, f.length);
    put::u16le(out, f.flags);
    put::u16le(out, f.number);
    if (has_decimal_part(f.type)) {
      put::u8(out, f.places);
      put::u8(out, f.element_bytes);
    } else if (has_string_part(f.type)) {
      put::u16le(out, f.string_length);
      put::zstring(out, f.picture);
      if (f.picture.empty()) put::u8(out, format::kEmptyPictureMark);
    }
  }
  for (const MemoDef& m : def.memos) {
    external_name(out, m.external_name);
    put::zstring(out, m.name);
    put::u16le(out, m.max_length);
    put::u16le(out, m.flags);
  }
  for (const KeyDef& k : def.keys) {
    external_name(out, k.external_name);
    put::zstring(out, k.name);
    put::u8(out, k.flags);
    put::u16le(out, static_cast<std::uint16_t>(k.components.size()));
    for (const KeyComponent& c : k.components) {
      put::u16le(out, c.field);
      put::u16le(out, c.flags);
    }
  }
  return out;
}

}  // namespace tps
