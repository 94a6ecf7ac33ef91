// Writes one B+tree of records, handed over in ascending header order, as
// pages into a file: leaves first, filled one after another and written as they
// fill (so memory does not grow with the table), then the node levels above
// them. The root always lands on unit 0, where the driver keeps it: unit 0 is
// held back while leaves are written, and the top of the tree is shaped so
// that the root fits one unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/tps/page_builder.h"

namespace tps {

class TreeWriter {
 public:
  // A page is closed before its plain size (+8) would pass this budget; a
  // record larger than the budget gets a page of its own.
  static constexpr std::size_t kPageBudget = 0x1000;

  // `out` must be a seekable binary stream; pages start at byte 0x200.
  explicit TreeWriter(std::ostream& out) : out_(out) {}

  // Appends a record. False (and nothing written) when the records are not in
  // strictly ascending header order, when the record can never fit a page, or
  // when writing failed.
  bool add(std::string_view header, std::string_view data);

  // Writes what is left and the nodes. Gives the root unit (always 0) and the
  // file's end unit (its length is 0x200 + end * 0x100).
  bool finish(std::uint32_t& root, std::uint32_t& end_unit);

  const std::string& error() const { return error_; }
  // Bytes of pages written so far (header of the file not counted).
  std::uint64_t page_bytes() const { return page_bytes_; }

 private:
  using Entries = std::vector<std::pair<std::string, std::uint32_t>>;

  bool write_page(PageBuilder& page, std::uint32_t unit, std::uint32_t* units_used);
  // Writes the page at the next free unit and notes its first header and unit.
  bool append_page(PageBuilder& page, Entries& into);
  bool flush_leaf();
  bool pack_level(const Entries& entries, std::uint8_t level, std::size_t per_page_limit,
                  Entries& parents);
  bool fail(std::string why);

  std::ostream& out_;
  PageBuilder leaf_{0};
  Entries leaves_;          // first header and unit of every written leaf
  std::uint32_t next_unit_ = 1;  // unit 0 waits for the root
  std::string last_header_;
  bool any_record_ = false;
  std::uint64_t page_bytes_ = 0;
  std::string error_;
};

}  // namespace tps
