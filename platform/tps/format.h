// The byte layout of a TopSpeed table file: every offset, size and code the
// reader and the writer share. Nothing here reads or writes a file; it only
// names the bytes, so both halves agree on them in one place.
//
// File header (the first 0x200 bytes; LE = little-endian, BE = big-endian)
//
//   offset size  meaning
//   00     4     u32 LE  offset of this header: 0 in a plain file (else encrypted)
//   04     2     u16 LE  header size, 0x0200
//   06     4     u32 LE  file length in bytes
//   0A     4     u32 LE  file length again
//   0E     4     "tOpS"  signature
//   12     2     u16     0
//   14     4     u32 BE  last issued record number (record numbers are file-wide)
//   18     4     u32 LE  change counter
//   1C     4     u32 LE  root page, as a unit number
//   20     0xF0  60 x u32 LE  block start units
//   110    0xF0  60 x u32 LE  block end units; block i covers units [start, end)
//
// A unit is 0x100 bytes; unit u lies at byte offset 0x200 + u * 0x100.
//
// Page header (13 bytes at the start of every page)
//
//   +0  4  u32 LE  the page's own byte offset (a self-check)
//   +4  2  u16 LE  size on disk, header included
//   +6  2  u16 LE  size after run-length decoding, header included
//   +8  2  u16 LE  size with neither run-length coding nor prefix sharing
//   +A  2  u16 LE  records (leaf) or children (node)
//   +C  1  u8      level: 0 leaf, 1.. node
//
// A node page body holds `count` u32 LE child units, always stored raw, then the
// (possibly run-length coded) stream of `count` keys, each the header of the first
// record of that child's subtree. The body is raw when the two sizes are equal.
//
// Run-length coding of a page body: a count (one byte; when its high bit is set,
// (b & 0x7F) + next * 128) of literal bytes, copied; then, unless the input ended,
// a count of repeats of the last byte written; again.
//
// Record stream of a decoded page
//
//   size  meaning
//   1     flags: 0x80 record length follows, 0x40 header length follows,
//         low 6 bits = bytes shared with the previous record of this page
//   2     u16 LE record length (when 0x80), else the previous record's
//   2     u16 LE header length (when 0x40), else the previous record's
//   n     record length - shared bytes of the record's own tail
//
// Record headers (tn = table number, u32 BE); the tree is sorted by these bytes
//
//   bytes                                   kind               header  data
//   (none)                                  empty, first of tree  0     none
//   tn F3 number(u32 BE)                    data row              9     the row
//   tn F6 s                                 counter               6     u32 LE count + 4 zero bytes
//   tn FA fragment(u16 LE)                  definition fragment   7     <= 512 bytes
//   tn FB 01                                collation tables      6     1153 bytes
//   tn FC owner(u32 BE) memo(u8) seq(u16 BE) MEMO/BLOB chunk      12    the chunk
//   tn key(u8) key bytes [number(u32 BE)]   key entry          5+len[+4] number or nothing
//   FE name                                 table name          1+len   u32 BE table number
//   FF                                      transaction note      1     u32 + zstring path
#pragma once

#include <cstddef>
#include <cstdint>

namespace tps::format {

// --- units and the file header --------------------------------------------
inline constexpr std::uint32_t kUnit = 0x100;
inline constexpr std::uint32_t kHeaderSize = 0x200;

inline constexpr std::size_t kHdrOffset = 0x00;
inline constexpr std::size_t kHdrSize = 0x04;
inline constexpr std::size_t kHdrFileLength = 0x06;
inline constexpr std::size_t kHdrFileLength2 = 0x0A;
inline constexpr std::size_t kHdrSignature = 0x0E;
inline constexpr std::size_t kHdrZero = 0x12;
inline constexpr std::size_t kHdrLastRecord = 0x14;  // big-endian
inline constexpr std::size_t kHdrChanges = 0x18;
inline constexpr std::size_t kHdrRoot = 0x1C;
inline constexpr std::size_t kHdrBlockStarts = 0x20;
inline constexpr std::size_t kHdrBlockEnds = 0x110;
inline constexpr std::size_t kBlockPairs = 60;

inline constexpr char kSignature[4] = {'t', 'O', 'p', 'S'};

// Byte offset of a unit number.
constexpr std::uint64_t unit_offset(std::uint32_t unit) {
  return kHeaderSize + static_cast<std::uint64_t>(unit) * kUnit;
}

// --- pages ------------------------------------------------------------------
inline constexpr std::size_t kPageHeaderSize = 13;
inline constexpr std::size_t kPgSelf = 0;
inline constexpr std::size_t kPgDiskSize = 4;
inline constexpr std::size_t kPgDecodedSize = 6;
inline constexpr std::size_t kPgPlainSize = 8;
inline constexpr std::size_t kPgCount = 10;
inline constexpr std::size_t kPgLevel = 12;
inline constexpr std::size_t kChildSize = 4;    // one child unit on a node page
inline constexpr std::size_t kRecordOverhead = 5;  // flags + two lengths, per record in +8

// --- record streams -----------------------------------------------------------
inline constexpr std::uint8_t kRecHasLength = 0x80;
inline constexpr std::uint8_t kRecHasHeaderLength = 0x40;
inline constexpr std::uint8_t kRecCopyMask = 0x3F;
inline constexpr std::size_t kMaxShared = 63;

// --- record kinds (the byte after the table number) ---------------------------
inline constexpr std::uint8_t kKindRow = 0xF3;
inline constexpr std::uint8_t kKindCounter = 0xF6;
inline constexpr std::uint8_t kKindDefinition = 0xFA;
inline constexpr std::uint8_t kKindCollation = 0xFB;
inline constexpr std::uint8_t kKindMemo = 0xFC;
inline constexpr std::uint8_t kKindTableName = 0xFE;   // first byte of the header
inline constexpr std::uint8_t kKindTransaction = 0xFF; // first byte of the header

inline constexpr std::size_t kTableNumberSize = 4;
inline constexpr std::size_t kRowHeaderLength = 9;
inline constexpr std::size_t kCounterHeaderLength = 6;
inline constexpr std::size_t kCounterDataLength = 8;
inline constexpr std::size_t kDefinitionHeaderLength = 7;
inline constexpr std::size_t kDefinitionFragmentMax = 512;
inline constexpr std::size_t kCollationHeaderLength = 6;
inline constexpr std::size_t kMemoHeaderLength = 12;
// Key numbers stay below the first record kind so a table's keys sort first.
inline constexpr std::size_t kMaxKeys = 240;
inline constexpr std::uint8_t kCounterRows = kKindRow;  // counter selector for rows

// A MEMO chunk header: tn(4) FC owner(4, BE) memo(1) sequence(2, BE).
inline constexpr std::size_t kMemoOwner = 5;
inline constexpr std::size_t kMemoNumber = 9;
inline constexpr std::size_t kMemoSequence = 10;
// A BLOB value starts with its u32 LE byte count.
inline constexpr std::size_t kBlobLengthPrefix = 4;

// --- definitions -----------------------------------------------------------------
// Field type codes.
inline constexpr std::uint8_t kTypeByte = 0x01;
inline constexpr std::uint8_t kTypeShort = 0x02;
inline constexpr std::uint8_t kTypeUShort = 0x03;
inline constexpr std::uint8_t kTypeDate = 0x04;
inline constexpr std::uint8_t kTypeTime = 0x05;
inline constexpr std::uint8_t kTypeLong = 0x06;
inline constexpr std::uint8_t kTypeULong = 0x07;
inline constexpr std::uint8_t kTypeSReal = 0x08;
inline constexpr std::uint8_t kTypeReal = 0x09;
inline constexpr std::uint8_t kTypeDecimal = 0x0A;
inline constexpr std::uint8_t kTypePDecimal = 0x0B;
inline constexpr std::uint8_t kTypeBFloat4 = 0x0D;
inline constexpr std::uint8_t kTypeBFloat8 = 0x0E;
inline constexpr std::uint8_t kTypeString = 0x12;
inline constexpr std::uint8_t kTypeCString = 0x13;
inline constexpr std::uint8_t kTypePString = 0x14;
inline constexpr std::uint8_t kTypeGroup = 0x16;

// MEMO/BLOB entry flags.
inline constexpr std::uint16_t kMemoFlagBinary = 0x02;
inline constexpr std::uint16_t kMemoFlagBlob = 0x04;

// Key entry flags and key component flags.
inline constexpr std::uint8_t kKeyDup = 0x01;
inline constexpr std::uint8_t kKeyOpt = 0x02;
inline constexpr std::uint8_t kKeyNocase = 0x04;
inline constexpr std::uint8_t kKeyPrimary = 0x10;
inline constexpr std::uint16_t kComponentDescending = 0x01;

// The byte the driver writes after an empty picture (STRING, CSTRING, PSTRING)
// and after an empty MEMO or key external name.
inline constexpr std::uint8_t kEmptyPictureMark = 0x00;
inline constexpr std::uint8_t kEmptyExternalNameMark = 0x01;

// The name of a table that was created without "\!name".
inline constexpr char kUnnamedTable[] = "UNNAMED";

}  // namespace tps::format
