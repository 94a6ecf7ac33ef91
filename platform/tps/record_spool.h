// A first-in first-out store of records (header and data) that keeps the first
// few megabytes in memory and moves the rest to an unnamed temporary file, so a
// table of any size can wait for its place in the tree without filling memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace tps {

class RecordSpool {
 public:
  static constexpr std::size_t kMemoryLimit = 8u << 20;

  RecordSpool() = default;
  RecordSpool(const RecordSpool&) = delete;
  RecordSpool& operator=(const RecordSpool&) = delete;
  RecordSpool(RecordSpool&& other) noexcept;
  RecordSpool& operator=(RecordSpool&& other) noexcept;
  ~RecordSpool();

  // False when the temporary file cannot be written.
  bool push(std::string_view header, std::string_view data);
  std::uint64_t size() const { return count_; }

  // Hands every record to `f` in the order pushed; stops (false) when `f`
  // returns false or the temporary file cannot be read back.
  bool replay(const std::function<bool(std::string_view, std::string_view)>& f);

 private:
  static bool replay_buffer(std::string_view buffer,
                            const std::function<bool(std::string_view, std::string_view)>& f);
  bool spill();

  std::string memory_;
  std::FILE* file_ = nullptr;
  std::uint64_t count_ = 0;
};

}  // namespace tps
