// The record of the preview queue: 2000 text cells, one per output column.
// Column 1 is blank-padded and holds 100 characters, columns 2 to 2000 are
// NUL-terminated and hold 99. The record remembers the highest column ever set
// since it was last cleared, so that storing a row touches only the cells an
// export can have used, not all 2000.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

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

  text::FixedString<100> TPS_Q_1;

 private:
  std::array<text::CString<100>, kColumns - 1> cells_{};  // TPS_Q_2 .. TPS_Q_2000
  std::size_t high_ = 1;
};

}  // namespace globals
