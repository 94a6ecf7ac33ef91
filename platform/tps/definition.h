// A table's definition as it is stored in its FA records: the row layout
// (fields), its MEMOs and BLOBs and its keys. parse_definition reads the
// concatenated fragments; serialize_definition writes them back byte for byte.
//
// Definition bytes (all LE)
//
//   size     meaning
//   u16      driver version that wrote it (1 or 2)
//   u16      record length
//   u16      number of fields
//   u16      number of MEMOs and BLOBs
//   u16      number of keys
//   then the field entries, the MEMO/BLOB entries, the key entries:
//
//   field:   u8 type, u16 offset, zstring name, u16 elements, u16 total length,
//            u16 flags, u16 field number,
//            DECIMAL/PDECIMAL: u8 places, u8 element bytes,
//            STRING/CSTRING/PSTRING: u16 declared length, zstring picture,
//                                    and one 0x00 byte when the picture is empty
//   memo:    zstring external name, one 0x01 byte when it is empty,
//            zstring name, u16 maximum length, u16 flags (0x04 BLOB, 0x02 BINARY)
//   key:     zstring external name, one 0x01 byte when it is empty,
//            zstring name, u8 flags, u16 components,
//            per component u16 field number, u16 flags (0x01 descending)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tps {

struct FieldDef {
  std::uint8_t type = 0;           // format::kType...
  std::uint16_t offset = 0;        // inside the row
  std::string name;                // with its prefix, e.g. "CUS:NAME"
  std::uint16_t elements = 1;      // DIM, flattened; 0 in some files for a plain field
  std::uint16_t length = 0;        // total bytes of all elements
  std::uint16_t flags = 0;
  std::uint16_t number = 0;        // 0-based position in the definition
  std::uint8_t places = 0;         // DECIMAL/PDECIMAL: digits after the point
  std::uint8_t element_bytes = 0;  // DECIMAL/PDECIMAL: bytes of one element
  std::uint16_t string_length = 0; // STRING/CSTRING/PSTRING: declared length
  std::string picture;             // STRING/CSTRING/PSTRING

  bool operator==(const FieldDef&) const = default;
};

struct MemoDef {
  std::string external_name;
  std::string name;
  std::uint16_t max_length = 0;
  std::uint16_t flags = 0;  // format::kMemoFlagBlob, format::kMemoFlagBinary, 0x01

  bool is_blob() const { return (flags & 0x04) != 0; }
  bool is_binary() const { return (flags & 0x02) != 0; }
  bool operator==(const MemoDef&) const = default;
};

struct KeyComponent {
  std::uint16_t field = 0;  // index into TableDef::fields
  std::uint16_t flags = 0;  // format::kComponentDescending

  bool operator==(const KeyComponent&) const = default;
};

struct KeyDef {
  std::string external_name;
  std::string name;
  std::uint8_t flags = 0;  // format::kKeyDup, kKeyOpt, kKeyNocase, kKeyPrimary
  std::vector<KeyComponent> components;

  bool operator==(const KeyDef&) const = default;
};

struct TableDef {
  std::uint16_t driver_version = 1;
  std::uint16_t record_length = 0;
  std::vector<FieldDef> fields;
  std::vector<MemoDef> memos;  // MEMOs and BLOBs in table order
  std::vector<KeyDef> keys;

  bool operator==(const TableDef&) const = default;
};

// Reads the concatenated definition fragments of one table. The bytes must be
// consumed exactly and every field must lie inside the row; otherwise returns
// false, leaves `def` unspecified and, when `why` is given, says what was wrong.
bool parse_definition(std::string_view bytes, TableDef& def, std::string* why = nullptr);

// The definition bytes of `def`, as the driver writes them.
std::string serialize_definition(const TableDef& def);

}  // namespace tps
