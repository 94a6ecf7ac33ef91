#include "platform/tps/tps_file.h"

#include <cstring>

#include "platform/files/errors.h"
#include "platform/tps/bytes.h"
#include "platform/tps/format.h"

namespace tps {

namespace {

using bytes::u16le;
using bytes::u32be;
using bytes::u32le;

Fault invalid(std::string text) {
  return Fault{files::kInvalidDataFile, fault::kHeader, std::move(text)};
}

// Deeper trees than this are not built by any table the driver can hold.
constexpr std::size_t kMaxTreeLevels = 32;

}  // namespace

bool TpsFile::has_plain_marks(const unsigned char* h) {
  return u32le(h + format::kHdrOffset) == 0 &&
         std::memcmp(h + format::kHdrSignature, format::kSignature, 4) == 0;
}

Fault TpsFile::open(std::unique_ptr<Source> source) {
  source_.reset();
  header_ = FileHeader{};
  unsigned char h[format::kHeaderSize];
  const std::uint64_t size = source->size();
  if (size < format::kHeaderSize || !source->read(0, sizeof h, h))
    return invalid("the file is shorter than a TopSpeed header");
  if (!has_plain_marks(h)) return invalid("the file is not a TopSpeed file");
  if (u16le(h + format::kHdrSize) != format::kHeaderSize)
    return invalid("the header size is not 200h");
  const std::uint32_t length = u32le(h + format::kHdrFileLength);
  if (length != u32le(h + format::kHdrFileLength2) || length > size || length < format::kHeaderSize)
    return invalid("the file is shorter than its header says (truncated?)");
  header_.file_length = length;
  header_.last_record = u32be(h + format::kHdrLastRecord);
  header_.changes = u32le(h + format::kHdrChanges);
  header_.root_unit = u32le(h + format::kHdrRoot);
  std::uint64_t previous_end = format::kHeaderSize;
  for (std::size_t i = 0; i < format::kBlockPairs; ++i) {
    const std::uint32_t start = u32le(h + format::kHdrBlockStarts + 4 * i);
    const std::uint32_t end = u32le(h + format::kHdrBlockEnds + 4 * i);
    if (start == end) continue;
    const std::uint64_t begin = format::unit_offset(start), stop = format::unit_offset(end);
    if (start > end || begin < previous_end || stop > length)
      return invalid("the header's block list is damaged");
    header_.blocks.push_back({begin, stop});
    previous_end = stop;
  }
  source_ = std::move(source);
  if (block_of(root_offset()) == nullptr) {
    source_.reset();
    return invalid("the root page lies outside the file's blocks");
  }
  return {};
}

const FileHeader::Block* TpsFile::block_of(std::uint64_t offset) const {
  for (const auto& b : header_.blocks)
    if (offset >= b.begin && offset < b.end) return &b;
  return nullptr;
}

std::uint64_t TpsFile::root_offset() const { return format::unit_offset(header_.root_unit); }

// --- the cursor -------------------------------------------------------------

void TreeCursor::reset() {
  levels_.clear();
  valid_ = false;
}

bool TreeCursor::fail(std::string why) {
  fault_ = std::move(why);
  for (auto& l : levels_) l.loaded = false;
  valid_ = false;
  return false;
}

bool TreeCursor::load(std::size_t depth, std::uint32_t unit, std::uint8_t level) {
  const std::uint64_t offset = format::unit_offset(unit);
  Level& slot = levels_[depth];
  if (slot.loaded && slot.page.offset == offset) return true;
  slot.loaded = false;
  const auto* block = file_->block_of(offset);
  if (block == nullptr) return fail("a child page lies outside the file's blocks");
  std::string why;
  if (!read_page(file_->source(), offset, block->begin, block->end, slot.page, why))
    return fail(std::move(why));
  if (slot.page.level != level) return fail("a page stands at the wrong level of the tree");
  slot.loaded = true;
  return true;
}

bool TreeCursor::load_root() {
  if (!file_->is_open()) return fail("the file is not open");
  const std::uint64_t offset = file_->root_offset();
  if (!levels_.empty() && levels_[0].loaded && levels_[0].page.offset == offset) return true;
  if (levels_.empty()) levels_.resize(1);
  levels_[0].loaded = false;
  const auto* block = file_->block_of(offset);
  std::string why;
  if (block == nullptr || !read_page(file_->source(), offset, block->begin, block->end,
                                     levels_[0].page, why))
    return fail(block == nullptr ? "the root page lies outside the file's blocks" : why);
  if (levels_[0].page.level >= kMaxTreeLevels) return fail("the tree is implausibly deep");
  levels_[0].loaded = true;
  const std::size_t depth = std::size_t{levels_[0].page.level} + 1;
  if (levels_.size() != depth) {
    levels_.resize(depth);
    for (std::size_t d = 1; d < depth; ++d) levels_[d].loaded = false;
  }
  return true;
}

bool TreeCursor::descend(std::size_t depth, Pick pick, std::string_view prefix) {
  for (std::size_t d = depth;; ++d) {
    Level& at = levels_[d];
    const std::size_t count = at.page.records.size();
    {
      if (pick == Pick::First) {
        at.index = 0;
      } else if (pick == Pick::Last) {
        at.index = count - 1;
      } else if (at.page.level > 0) {
        // The last child whose first header is <= prefix.
        std::size_t lo = 0, hi = count;
        while (hi - lo > 1) {
          const std::size_t mid = (lo + hi) / 2;
          if (compare_headers(at.page.record(mid), prefix) <= 0) lo = mid; else hi = mid;
        }
        at.index = lo;
      } else {
        std::size_t lo = 0, hi = count;
        while (lo < hi) {
          const std::size_t mid = (lo + hi) / 2;
          if (compare_headers(at.page.header(mid), prefix) < 0) lo = mid + 1; else hi = mid;
        }
        at.index = lo;
      }
    }
    if (at.page.level == 0) break;
    if (d + 1 >= levels_.size()) return fail("the tree is deeper than its root says");
    if (!load(d + 1, at.page.children[at.index], static_cast<std::uint8_t>(at.page.level - 1)))
      return false;
  }
  valid_ = true;
  if (pick == Pick::Seek && leaf_index() == leaf().records.size()) {
    levels_.back().index = leaf().records.size() - 1;
    return step_leaf(+1);
  }
  return true;
}

bool TreeCursor::step_leaf(int direction) {
  const DecodedPage& from = leaf();
  boundary_.assign(direction > 0 ? from.header(from.records.size() - 1) : from.header(0));
  std::size_t d = levels_.size() - 1;
  for (;;) {
    if (d == 0) {
      valid_ = false;
      return true;
    }
    --d;
    Level& at = levels_[d];
    if (direction > 0 && at.index + 1 < at.page.records.size()) {
      ++at.index;
      break;
    }
    if (direction < 0 && at.index > 0) {
      --at.index;
      break;
    }
  }
  Level& at = levels_[d];
  if (d + 1 >= levels_.size()) return fail("the tree is deeper than its root says");
  if (!load(d + 1, at.page.children[at.index], static_cast<std::uint8_t>(at.page.level - 1)))
    return false;
  if (!descend(d + 1, direction > 0 ? Pick::First : Pick::Last, {})) return false;
  const DecodedPage& to = leaf();
  const int order = direction > 0 ? compare_headers(boundary_, to.header(0))
                                  : compare_headers(to.header(to.records.size() - 1), boundary_);
  if (order >= 0) return fail("the tree's leaves are out of order (looped or repeated links)");
  return true;
}

bool TreeCursor::first() {
  if (!load_root()) return false;
  return descend(0, Pick::First, {});
}

bool TreeCursor::last() {
  if (!load_root()) return false;
  return descend(0, Pick::Last, {});
}

bool TreeCursor::seek(std::string_view prefix) {
  if (!load_root()) return false;
  return descend(0, Pick::Seek, prefix);
}

bool TreeCursor::seek_before(std::string_view bound) {
  if (!seek(bound)) return false;
  if (!valid_) return last();
  return prev();
}

bool TreeCursor::next() {
  if (!valid_) return true;
  Level& l = levels_.back();
  if (l.index + 1 < l.page.records.size()) {
    ++l.index;
    return true;
  }
  return step_leaf(+1);
}

bool TreeCursor::prev() {
  if (!valid_) return true;
  Level& l = levels_.back();
  if (l.index > 0) {
    --l.index;
    return true;
  }
  return step_leaf(-1);
}

}  // namespace tps
