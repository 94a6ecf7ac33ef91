// An open TopSpeed file: its checked header and blocks, and a cursor over its
// one B+tree that yields every record of every table in header order. Pages
// are read on demand; a cursor holds one decoded page per tree level, so
// memory does not grow with the file.
//
// The header must hold (else the file is not a TopSpeed file, or it is
// enciphered): offset 0 = 0, size 0x200, "tOpS", both lengths equal and no
// larger than the file, used blocks ascending, not overlapping, inside the
// file, and the root page inside a block.
//
// The walk trusts nothing it reads: every child must be exactly one level
// below its parent, and leaves must follow one another in strictly ascending
// order (the first record of a leaf above the last of the leaf before, or the
// reverse when walking backwards). A tree whose links loop or repeat a subtree
// breaks that order, so every walk ends after at most one visit per leaf.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tps/page_read.h"
#include "platform/tps/source.h"

namespace tps {

// Why an operation failed: the runtime's error number, the driver's own code
// and a text that says what was wrong where.
struct Fault {
  int code = 0;
  std::string driver_code;
  std::string text;
  explicit operator bool() const { return code != 0; }
};

// The driver codes this reader reports beside the runtime's error numbers.
namespace fault {
inline constexpr char kHeader[] = "TPS-HEADER";
inline constexpr char kEncrypted[] = "TPS-ENCRYPTED";
inline constexpr char kPage[] = "TPS-PAGE";
inline constexpr char kTree[] = "TPS-TREE";
inline constexpr char kTable[] = "TPS-TABLE";
inline constexpr char kDefinition[] = "TPS-DEFINITION";
inline constexpr char kRow[] = "TPS-ROW";
inline constexpr char kMemo[] = "TPS-MEMO";
inline constexpr char kRecordSize[] = "TPS-RECORD-SIZE";
}  // namespace fault

struct FileHeader {
  std::uint32_t file_length = 0;
  std::uint32_t last_record = 0;  // last issued record number
  std::uint32_t changes = 0;
  std::uint32_t root_unit = 0;
  struct Block {
    std::uint64_t begin = 0, end = 0;  // byte offsets, [begin, end)
  };
  std::vector<Block> blocks;  // the used blocks, ascending
};

class TpsFile {
 public:
  // True when the first 0x200 bytes carry the marks of a plain file.
  static bool has_plain_marks(const unsigned char* header);

  // Takes the source and checks its header; 36 when it is not a (plain)
  // TopSpeed file.
  Fault open(std::unique_ptr<Source> source);
  bool is_open() const { return source_ != nullptr; }
  void close() { source_.reset(); }

  const FileHeader& header() const { return header_; }
  Source& source() { return *source_; }
  // The block holding `offset`, or nullptr.
  const FileHeader::Block* block_of(std::uint64_t offset) const;
  std::uint64_t root_offset() const;

 private:
  std::unique_ptr<Source> source_;
  FileHeader header_;
};

// Walks the records of a file's tree. Every move returns false on damage
// (see fault()); at either end the cursor is not valid() and the move still
// succeeds.
class TreeCursor {
 public:
  explicit TreeCursor(TpsFile& file) : file_(&file) {}

  bool first();
  bool last();
  // The first record whose header is >= `prefix` (in unsigned byte order).
  bool seek(std::string_view prefix);
  // The last record whose header is < `bound`.
  bool seek_before(std::string_view bound);
  bool next();
  bool prev();

  bool valid() const { return valid_; }
  std::string_view header() const { return leaf().header(leaf_index()); }
  std::string_view data() const { return leaf().data(leaf_index()); }
  std::string_view record() const { return leaf().record(leaf_index()); }
  const std::string& fault() const { return fault_; }
  // Forgets the decoded pages (after the file changed underneath).
  void reset();

 private:
  enum class Pick { First, Last, Seek };
  struct Level {
    DecodedPage page;
    std::size_t index = 0;
    bool loaded = false;
  };

  const DecodedPage& leaf() const { return levels_.back().page; }
  std::size_t leaf_index() const { return levels_.back().index; }
  bool load_root();
  bool load(std::size_t depth, std::uint32_t unit, std::uint8_t level);
  bool descend(std::size_t depth, Pick pick, std::string_view prefix);
  bool step_leaf(int direction);
  bool fail(std::string why);

  TpsFile* file_;
  std::vector<Level> levels_;  // [0] the root; back() the leaf
  bool valid_ = false;
  std::string fault_;
  std::string boundary_;
};

}  // namespace tps
