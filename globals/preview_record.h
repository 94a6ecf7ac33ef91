// The record of the preview queue: 2000 text cells, one per output column.
// Column 1 is blank-padded and holds 100 characters, columns 2 to 2000 are
// NUL-terminated and hold 99. The record remembers the highest column ever set
// since it was last cleared, so that storing a row touches only the cells an
// export can have used, not all 2000.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/queue/codec.h"
#include "platform/text/text.h"

namespace globals {

class PreviewRecord {
 public:
  static constexpr std::size_t kColumns = 2000;

  // Column 1: the cell's bytes, blank-padded. Other columns: the cell's text.
  // Columns outside 1 to 2000 read as empty.
  std::string_view cell(std::size_t k) const {
    if (k == 1) return TPS_Q_1.view();
    if (k < 2 || k > kColumns) return {};
    return cells_[k - 2].view();
  }
  // Stores the text in column k, cut at the cell's capacity; columns outside
  // 1 to 2000 are left alone.
  void set_cell(std::size_t k, std::string_view value) {
    if (k == 1) {
      TPS_Q_1 = value;
      return;
    }
    if (k < 2 || k > kColumns) return;
    cells_[k - 2] = value;
    if (k > high_) high_ = k;
  }
  // CLEAR of the record: every cell blank or empty.
  void clear() {
    TPS_Q_1.clear();
    for (std::size_t k = 2; k <= high_; ++k) cells_[k - 2].clear();
    high_ = 1;
  }
  // Every column above this one is empty.
  std::size_t high_column() const { return high_; }

  // The compact form of a row: column 1 without its trailing blanks, then the
  // count of columns up to the last filled one and each of their texts.
  void encode(std::string& out) const {
    std::size_t last = high_;
    while (last > 1 && cells_[last - 2].empty()) --last;
    const std::string_view first = TPS_Q_1.clipped();
    queue::codec::put_length(out, first.size());
    out.append(first);
    queue::codec::put_length(out, last - 1);
    for (std::size_t k = 2; k <= last; ++k) {
      const text::CString<100>& c = cells_[k - 2];
      queue::codec::put_length(out, c.size());
      out.append(c.view());
    }
  }
  void decode(std::string_view in) {
    const char* p = in.data();
    TPS_Q_1 = queue::codec::get_text(p);
    const std::size_t last = queue::codec::get_length(p) + 1;
    for (std::size_t k = 2; k <= last; ++k) cells_[k - 2] = queue::codec::get_text(p);
    for (std::size_t k = last + 1; k <= high_; ++k) cells_[k - 2].clear();
    high_ = last;
  }

  text::FixedString<100> TPS_Q_1;

 private:
  std::array<text::CString<100>, kColumns - 1> cells_{};  // TPS_Q_2 .. TPS_Q_2000
  std::size_t high_ = 1;
};

}  // namespace globals

template <>
struct queue::Codec<globals::PreviewRecord> {
  static void encode(const globals::PreviewRecord& r, std::string& out) { r.encode(out); }
  static void decode(std::string_view in, globals::PreviewRecord& r) { r.decode(in); }
  static void clear(globals::PreviewRecord& r) { r.clear(); }
};
