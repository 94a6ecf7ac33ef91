// Little- and big-endian integers inside the format's byte strings. Callers
// check that the bytes are there; these only assemble them.
#pragma once

#include <cstdint>

namespace tps::bytes {

inline std::uint16_t u16le(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t u32le(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint32_t u32be(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

inline void store_u32le(void* at, std::uint32_t v) {
  auto* p = static_cast<unsigned char*>(at);
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace tps::bytes
