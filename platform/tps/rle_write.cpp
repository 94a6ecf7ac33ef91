#include "platform/tps/rle_write.h"

#include <algorithm>
#include <cstddef>

namespace tps {

namespace {

// A count takes one byte below 128, else two (low 7 bits with the high bit set,
// then the rest), so it tops out at 32767.
constexpr std::size_t kMaxCount = 0x7FFF;
constexpr std::size_t kMinRun = 4;

void put_count(std::string& out, std::size_t n) {
  if (n < 0x80) {
    out.push_back(static_cast<char>(n));
  } else {
    out.push_back(static_cast<char>((n & 0x7F) | 0x80));
    out.push_back(static_cast<char>(n >> 7));
  }
}

// Literal bytes, then a repeat count. Literals longer than a count can say are
// cut into pieces joined by empty repeats.
void put_literal(std::string& out, std::string_view bytes) {
  while (bytes.size() > kMaxCount) {
    put_count(out, kMaxCount);
    out.append(bytes.substr(0, kMaxCount));
    put_count(out, 0);
    bytes.remove_prefix(kMaxCount);
  }
  put_count(out, bytes.size());
  out.append(bytes);
}

// A repeat count after a literal; a long run continues after empty literals.
void put_repeat(std::string& out, std::size_t n) {
  while (n > kMaxCount) {
    put_count(out, kMaxCount);
    put_count(out, 0);
    n -= kMaxCount;
  }
  put_count(out, n);
}

}  // namespace

void rle_encode_append(std::string_view plain, std::string& out) {
  const std::size_t n = plain.size();
  std::size_t literal_start = 0;
  std::size_t i = 0;
  while (i < n) {
    std::size_t run_end = i + 1;
    while (run_end < n && plain[run_end] == plain[i]) ++run_end;
    if (run_end - i < kMinRun) {
      i = run_end;
      continue;
    }
    // The run's first byte closes the literal; the repeat copies it.
    put_literal(out, plain.substr(literal_start, i + 1 - literal_start));
    put_repeat(out, run_end - i - 1);
    literal_start = run_end;
    i = run_end;
  }
  put_literal(out, plain.substr(literal_start));
}

std::string rle_encode(std::string_view plain) {
  std::string out;
  out.reserve(plain.size() + plain.size() / 64 + 4);
  rle_encode_append(plain, out);
  return out;
}

}  // namespace tps
