// Appending the format's integers to the bytes being built (the reader's
// bytes.h reads them back): little-endian everywhere except table numbers,
// record numbers and a few header fields, which are big-endian so that byte
// order equals number order in the tree.
#pragma once

#include <cstdint>
#include <string>

namespace tps::put {

inline void u8(std::string& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }
inline void u16le(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}
inline void u32le(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void u32be(std::string& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void u16be(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v & 0xFF));
}
// A zstring: the bytes and one 0x00.
inline void zstring(std::string& out, const std::string& s) {
  out += s;
  out.push_back('\0');
}

inline void store_u16le(char* p, std::uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}
inline void store_u32be(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

}  // namespace tps::put
