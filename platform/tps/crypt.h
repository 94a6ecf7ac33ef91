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
//
// What is known of that step (from the one key at hand, "*137*" in
// encrypted/Defaults.tps): the key very likely ends with two passes of the
// block encipherment run over the 64-byte key buffer with itself as key
// (step i: m = x[i], j = m & 15; j == i: x[i] = 2m; else b = x[j],
// x[i] = (m | b) + m, x[j] = (b & m) + m). A word written as x[i] or as 2m
// comes out even, so the key's one odd word (word 1) was written last as a
// partner x[j]. The last step's partner was word 0 or word 8, never 15.
// Undoing a step has at most two choices a bit, but the choices multiply
// (80 states after undoing one step of the last pass, over 30 million after
// seven), so the buffer before the passes cannot be listed by brute force;
// a search must prune by an assumed structure of that buffer. Ruled out as
// that buffer, through one to five passes: the password repeated, padded
// with NUL, blanks, 0xFF or its length; each byte combined with its position
// (plus, minus, XOR, times, rotations, running sums and XORs); one byte per
// word; sliding four-byte windows; and any of these enciphered with another.
std::optional<Key> key_from_password(std::string_view password);

}  // namespace tps
