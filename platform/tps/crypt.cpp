#include "platform/tps/crypt.h"

#include "platform/tps/bytes.h"

namespace tps {

void decrypt_block(unsigned char* block, const Key& key) {
  std::uint32_t d[16];
  for (int i = 0; i < 16; ++i) d[i] = bytes::u32le(block + 4 * i);
  for (int i = 15; i >= 0; --i) {
    const std::uint32_t m = key[i];
    const int j = static_cast<int>(m & 15);
    if (j == i) {
      d[i] -= m;
    } else {
      const std::uint32_t a = d[i] - m;
      const std::uint32_t b = d[j] - m;
      d[i] = (a & m) | (b & ~m);
      d[j] = (b & m) | (a & ~m);
    }
  }
  for (int i = 0; i < 16; ++i) bytes::store_u32le(block + 4 * i, d[i]);
}

std::optional<Key> key_from_password(std::string_view) { return std::nullopt; }

}  // namespace tps
