// Key entries: the bytes a table's key holds for one row, built so that plain
// unsigned byte order is the key's order.
//
// Key bytes per component
//   BYTE USHORT ULONG DATE TIME   the value's bytes reversed (big-endian)
//   SHORT LONG                     big-endian with the sign bit inverted
//   SREAL REAL                     big-endian IEEE; the sign bit inverted for
//                                  positives, every bit inverted for negatives
//   DECIMAL                        the packed bytes, 0x80 added to the first byte
//                                  of a positive value, every byte inverted for
//                                  a negative one
//   STRING                         the bytes, blank-padded
//   CSTRING PSTRING                the text, then 0x00 up to the field's length
//                                  (bytes after a CSTRING's NUL are not kept)
//   GROUP and anything else        the raw bytes
// NOCASE lower-cases the ASCII letters of text components (the letter tables
// this writer stores pair only those). A descending component has all its key
// bytes inverted. Array fields contribute every element in turn.
//
// Entry: header = table number (BE), key number, key bytes, and for a DUP key
// the record number (BE); data = the record number (BE) for a unique key,
// nothing for a DUP key. OPT leaves out a row whose components are all blank or
// zero; a key without components (a dynamic index) holds no entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/tps/definition.h"

namespace tps {

// Bytes of the key part (the components) of key `key`.
std::size_t key_bytes_length(const TableDef& def, std::size_t key);

// The key bytes of `record` for key `key` (no table number, key number or
// record number). `record` must hold the whole row.
std::string key_bytes(const TableDef& def, std::size_t key, std::string_view record);

// True when OPT leaves the row out of key `key`: the key is OPT and every
// component is blank (texts) or zero (numbers).
bool key_leaves_out(const TableDef& def, std::size_t key, std::string_view record);

// Builds the entry of `record` in key `key`. False when the key holds no entry
// for it (OPT, or a key without components); header and data are then untouched.
bool key_entry(const TableDef& def, std::size_t key, std::uint32_t table_number,
               std::string_view record, std::uint32_t record_number, std::string& header,
               std::string& data);

}  // namespace tps
