// Where the reader's bytes come from: a file read on demand (never loaded
// whole), bytes held in memory (tests, fuzzing), or either of them deciphered
// with an owner key on the way. Reads outside the source fail; they never
// return partial data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "platform/tps/crypt.h"

namespace tps {

class Source {
 public:
  virtual ~Source() = default;
  virtual std::uint64_t size() const = 0;
  // Copies bytes [offset, offset + n) to `out`; false when they are not all there.
  virtual bool read(std::uint64_t offset, std::size_t n, void* out) = 0;
};

class FileSource final : public Source {
 public:
  // False when the file cannot be opened for reading.
  bool open(const std::filesystem::path& path);
  std::uint64_t size() const override { return size_; }
  bool read(std::uint64_t offset, std::size_t n, void* out) override;

 private:
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

class MemorySource final : public Source {
 public:
  // The bytes must outlive the source.
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::size_t n, void* out) override;

 private:
  std::string_view bytes_;
};

// Deciphers another source block by block. The size is cut to whole blocks:
// an enciphered file is always a whole number of them.
class DecryptingSource final : public Source {
 public:
  DecryptingSource(std::unique_ptr<Source> inner, const Key& key)
      : inner_(std::move(inner)), key_(key) {}
  std::uint64_t size() const override { return inner_->size() / kCryptBlock * kCryptBlock; }
  bool read(std::uint64_t offset, std::size_t n, void* out) override;

 private:
  std::unique_ptr<Source> inner_;
  Key key_;
  std::string scratch_;
};

}  // namespace tps
