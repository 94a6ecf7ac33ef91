// One page being filled with records in tree order, and its bytes on disk.
//
// Records share their leading bytes with the record before them (at most 63,
// never across pages); lengths are written only when they change. The body is
// run-length coded only when that saves at least one unit on disk, which is
// what the driver itself does. On a node page every record is the key of a
// child (its header, no data) and the child units precede the body, raw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tps {

class PageBuilder {
 public:
  // Sizes are u16 on disk, so no page may grow beyond this, header included.
  static constexpr std::size_t kMaxPageSize = 0xFFFF;

  explicit PageBuilder(std::uint8_t level = 0) : level_(level) {}

  std::uint8_t level() const { return level_; }
  std::size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }
  // The header of the first record (the page's key in its parent).
  const std::string& first_header() const { return first_header_; }

  // Size field +8: the page with neither run-length coding nor prefix sharing.
  std::size_t plain_size() const { return plain_; }
  // The plain size after adding a record of these lengths.
  std::size_t plain_size_with(std::size_t header_length, std::size_t data_length) const;
  // True when such a record still fits a page at all (lengths and sizes are u16).
  bool can_take(std::size_t header_length, std::size_t data_length) const;

  // Appends a record (leaf) or a child's key and unit (node: data must be empty).
  void add(std::string_view header, std::string_view data, std::uint32_t child = 0);

  // The page as it lies at byte offset `self` in the file, then starts afresh.
  std::string finish(std::uint32_t self);

 private:
  std::uint8_t level_;
  std::size_t count_ = 0;
  std::size_t plain_ = 13;
  std::string first_header_;
  std::string previous_;
  std::size_t previous_header_length_ = 0;
  std::string stream_;
  std::vector<std::uint32_t> children_;
};

}  // namespace tps
