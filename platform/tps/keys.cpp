#include "platform/tps/keys.h"

#include <algorithm>

#include "platform/tps/format.h"
#include "platform/tps/put_bytes.h"

namespace tps {

namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_text(std::uint8_t type) {
  return type == format::kTypeString || type == format::kTypeCString ||
         type == format::kTypePString;
}

std::size_t element_length(const FieldDef& f) {
  const std::size_t elements = f.elements == 0 ? 1 : f.elements;
  return f.length / elements;
}

// The key bytes of one element, before descending inversion.
void append_element(const FieldDef& f, std::string_view v, bool nocase, std::string& out) {
  const std::size_t start = out.size();
  switch (f.type) {
    case format::kTypeByte:
    case format::kTypeUShort:
    case format::kTypeULong:
    case format::kTypeDate:
    case format::kTypeTime:
      out.append(v.rbegin(), v.rend());
      break;
    case format::kTypeShort:
    case format::kTypeLong:
      out.append(v.rbegin(), v.rend());
      if (out.size() > start) out[start] = static_cast<char>(out[start] ^ 0x80);
      break;
    case format::kTypeSReal:
    case format::kTypeReal: {
      out.append(v.rbegin(), v.rend());
      if (out.size() == start) break;
      const bool negative = (static_cast<unsigned char>(out[start]) & 0x80) != 0;
      if (negative) {
        for (std::size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
      } else {
        out[start] = static_cast<char>(out[start] ^ 0x80);
      }
      break;
    }
    case format::kTypeDecimal: {
      out.append(v);
      if (out.size() == start) break;
      const bool negative = (static_cast<unsigned char>(out[start]) & 0xF0) != 0;
      if (negative) {
        for (std::size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
      } else {
        out[start] = static_cast<char>(static_cast<unsigned char>(out[start]) + 0x80);
      }
      break;
    }
    case format::kTypeString:
      out.append(v);
      break;
    case format::kTypeCString: {
      const std::size_t n = std::min(v.find('\0'), v.size());
      out.append(v.substr(0, n));
      out.append(v.size() - n, '\0');
      break;
    }
    case format::kTypePString: {
      // The length byte says how much of the rest is text.
      std::size_t n = v.empty() ? 0 : static_cast<unsigned char>(v[0]);
      n = std::min(n, v.size() > 0 ? v.size() - 1 : 0);
      out.append(v.substr(1, n));
      out.append(v.size() - n, '\0');
      break;
    }
    default:
      out.append(v);
      break;
  }
  if (nocase && is_text(f.type)) {
    for (std::size_t i = start; i < out.size(); ++i) out[i] = ascii_lower(out[i]);
  }
}

bool element_blank(const FieldDef& f, std::string_view v) {
  switch (f.type) {
    case format::kTypeString:
      return std::all_of(v.begin(), v.end(), [](char c) { return c == ' ' || c == '\0'; });
    case format::kTypeCString:
      return v.empty() || v[0] == '\0';
    case format::kTypePString:
      return v.empty() || v[0] == '\0' ||
             std::all_of(v.begin() + 1, v.begin() + 1 + std::min<std::size_t>(
                                                             static_cast<unsigned char>(v[0]),
                                                             v.size() - 1),
                         [](char c) { return c == ' '; });
    case format::kTypeDecimal:
    case format::kTypePDecimal: {
      // Zero whatever its sign nibble says.
      for (std::size_t i = 0; i < v.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(v[i]);
        if (f.type == format::kTypeDecimal && i == 0) b &= 0x0F;
        if (f.type == format::kTypePDecimal && i + 1 == v.size()) b &= 0xF0;
        if (b != 0) return false;
      }
      return true;
    }
    case format::kTypeSReal:
    case format::kTypeReal:
      // +0 and -0 alike.
      for (std::size_t i = 0; i < v.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(v[i]);
        if (i + 1 == v.size()) b &= 0x7F;
        if (b != 0) return false;
      }
      return true;
    case format::kTypeGroup:
      return std::all_of(v.begin(), v.end(), [](char c) { return c == ' ' || c == '\0'; });
    default:
      return std::all_of(v.begin(), v.end(), [](char c) { return c == '\0'; });
  }
}

std::string_view field_bytes(const FieldDef& f, std::string_view record) {
  if (f.offset >= record.size()) return {};
  return record.substr(f.offset, std::min<std::size_t>(f.length, record.size() - f.offset));
}

}  // namespace

std::size_t key_bytes_length(const TableDef& def, std::size_t key) {
  std::size_t n = 0;
  for (const KeyComponent& c : def.keys.at(key).components) {
    if (c.field < def.fields.size()) n += def.fields[c.field].length;
  }
  return n;
}

std::string key_bytes(const TableDef& def, std::size_t key, std::string_view record) {
  const KeyDef& k = def.keys.at(key);
  const bool nocase = (k.flags & format::kKeyNocase) != 0;
  std::string out;
  for (const KeyComponent& c : k.components) {
    if (c.field >= def.fields.size()) continue;
    const FieldDef& f = def.fields[c.field];
    const std::string_view bytes = field_bytes(f, record);
    const std::size_t start = out.size();
    const std::size_t each = element_length(f);
    if (each == 0) continue;
    for (std::size_t at = 0; at + each <= bytes.size(); at += each) {
      append_element(f, bytes.substr(at, each), nocase, out);
    }
    // A row shorter than the layout still gives a key of the declared length.
    out.resize(start + f.length, '\0');
    if (c.flags & format::kComponentDescending) {
      for (std::size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
    }
  }
  return out;
}

bool key_leaves_out(const TableDef& def, std::size_t key, std::string_view record) {
  const KeyDef& k = def.keys.at(key);
  if (!(k.flags & format::kKeyOpt)) return false;
  for (const KeyComponent& c : k.components) {
    if (c.field >= def.fields.size()) continue;
    const FieldDef& f = def.fields[c.field];
    const std::string_view bytes = field_bytes(f, record);
    const std::size_t each = element_length(f);
    for (std::size_t at = 0; each > 0 && at + each <= bytes.size(); at += each) {
      if (!element_blank(f, bytes.substr(at, each))) return false;
    }
  }
  return true;
}

bool key_entry(const TableDef& def, std::size_t key, std::uint32_t table_number,
               std::string_view record, std::uint32_t record_number, std::string& header,
               std::string& data) {
  const KeyDef& k = def.keys.at(key);
  if (k.components.empty() || key_leaves_out(def, key, record)) return false;
  header.clear();
  data.clear();
  put::u32be(header, table_number);
  put::u8(header, static_cast<std::uint8_t>(key));
  header += key_bytes(def, key, record);
  if (k.flags & format::kKeyDup) {
    put::u32be(header, record_number);
  } else {
    put::u32be(data, record_number);
  }
  return true;
}

}  // namespace tps
