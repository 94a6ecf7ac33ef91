#include "platform/tps/source.h"

#include <cstring>

namespace tps {

bool FileSource::open(const std::filesystem::path& path) {
  in_.close();
  in_.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  in_.open(path, std::ios::binary);
  if (!in_) return false;
  in_.seekg(0, std::ios::end);
  const auto end = in_.tellg();
  if (end < 0) return false;
  size_ = static_cast<std::uint64_t>(end);
  return true;
}

bool FileSource::read(std::uint64_t offset, std::size_t n, void* out) {
  if (offset > size_ || n > size_ - offset) return false;
  if (n == 0) return true;
  in_.clear();
  in_.seekg(static_cast<std::streamoff>(offset));
  in_.read(static_cast<char*>(out), static_cast<std::streamsize>(n));
  return static_cast<std::size_t>(in_.gcount()) == n;
}

bool MemorySource::read(std::uint64_t offset, std::size_t n, void* out) {
  if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
  if (n != 0) std::memcpy(out, bytes_.data() + offset, n);
  return true;
}

bool DecryptingSource::read(std::uint64_t offset, std::size_t n, void* out) {
  const std::uint64_t total = size();
  if (offset > total || n > total - offset) return false;
  if (n == 0) return true;
  const std::uint64_t first = offset / kCryptBlock * kCryptBlock;
  const std::uint64_t last = (offset + n + kCryptBlock - 1) / kCryptBlock * kCryptBlock;
  const std::size_t span = static_cast<std::size_t>(last - first);
  scratch_.resize(span);
  auto* bytes = reinterpret_cast<unsigned char*>(scratch_.data());
  if (!inner_->read(first, span, bytes)) return false;
  for (std::size_t at = 0; at < span; at += kCryptBlock) decrypt_block(bytes + at, key_);
  std::memcpy(out, bytes + (offset - first), n);
  return true;
}

}  // namespace tps
