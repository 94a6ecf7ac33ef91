// Owner-password encryption of a TopSpeed file. The whole file, header
// included, is enciphered in independent 64-byte blocks (16 u32 LE words),
// each with the same 16-word key; decrypting is a separate step under the
// byte source that the reader reads through (source.h).
//
// Enciphering one block d[0..15] with key k[0..15], i from 0 to 15,
// j = k[i] & 15, m = k[i] (arithmetic modulo 2^32):
//   j == i:  d[i] += k[i]
//   else:    a = d[i], b = d[j];
//            d[i] = ((a & m) | (b & ~m)) + k[i];  d[j] = ((b & m) | (a & ~m)) + k[i]
// Deciphering undoes the steps from i = 15 down to 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tps {

using Key = std::array<std::uint32_t, 16>;

inline constexpr std::size_t kCryptBlock = 64;

// Deciphers `block` (64 bytes) in place.
void decrypt_block(unsigned char* block, const Key& key);

// The key the driver derives from an owner password. How the driver turns the
// password into its key words is not known yet, so there is no key for any
// password; this is the one place to change once it is.
std::optional<Key> key_from_password(std::string_view password);

}  // namespace tps
