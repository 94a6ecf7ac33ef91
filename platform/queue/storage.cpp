#include "platform/queue/storage.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace queue::detail {

namespace {
constexpr std::size_t kFirstBlock = 1024;
constexpr std::size_t kLargestBlock = 256 * 1024;

// Room for one more element, grown by doubling so appends stay cheap.
template <class V>
void room_for_one(V& v) {
  if (v.size() == v.capacity()) v.reserve(std::max<std::size_t>(8, v.capacity() * 2));
}
}  // namespace

char* EntryStore::allocate(std::size_t n) {
  if (n == 0) return nullptr;
  if (n > UINT32_MAX) throw std::bad_alloc();
  if (n > room_) {
    if (next_block_ == 0) next_block_ = kFirstBlock;
    // A large entry gets a block of its own, so the tail of the current block
    // is not given up for it.
    if (n > next_block_ / 2) {
      room_for_one(blocks_);
      blocks_.push_back(std::make_unique<char[]>(n));
      reserved_ += n;
      handed_ += n;
      return blocks_.back().get();
    }
    room_for_one(blocks_);
    blocks_.push_back(std::make_unique<char[]>(next_block_));
    reserved_ += next_block_;
    cursor_ = blocks_.back().get();
    room_ = next_block_;
    next_block_ = std::min(next_block_ * 2, kLargestBlock);
  }
  char* p = cursor_;
  cursor_ += n;
  room_ -= n;
  handed_ += n;
  return p;
}

void EntryStore::insert(std::size_t i, std::string_view bytes) {
  room_for_one(slots_);  // before the bytes, so a failure leaves no trace
  char* p = allocate(bytes.size());
  if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
  slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(i), Slot{p, static_cast<std::uint32_t>(bytes.size())});
  live_ += bytes.size();
}

void EntryStore::replace(std::size_t i, std::string_view bytes) {
  Slot& s = slots_[i];
  if (bytes.size() <= s.size) {
    if (!bytes.empty()) std::memmove(s.data, bytes.data(), bytes.size());
    live_ -= s.size - bytes.size();
    s.size = static_cast<std::uint32_t>(bytes.size());
    return;
  }
  char* p = allocate(bytes.size());
  std::memcpy(p, bytes.data(), bytes.size());
  live_ += bytes.size() - s.size;
  s = Slot{p, static_cast<std::uint32_t>(bytes.size())};
  // Rewritten entries leave their old bytes behind; once those outweigh the
  // live ones the store is packed again.
  if (handed_ - live_ > std::max<std::size_t>(live_, kLargestBlock)) {
    try {
      compact();
    } catch (const std::bad_alloc&) {
      // Packing is only a saving; the entries are intact without it.
    }
  }
}

void EntryStore::compact() {
  EntryStore packed;
  packed.slots_.reserve(slots_.size());
  for (const Slot& s : slots_) packed.push_back({s.data, s.size});
  *this = std::move(packed);
}

void EntryStore::clear() {
  std::vector<Slot>().swap(slots_);
  std::vector<std::unique_ptr<char[]>>().swap(blocks_);
  cursor_ = nullptr;
  room_ = 0;
  next_block_ = 0;
  reserved_ = handed_ = live_ = 0;
}

std::size_t EntryStore::storage_bytes() const {
  return reserved_ + slots_.capacity() * sizeof(Slot) + blocks_.capacity() * sizeof(blocks_[0]);
}

}  // namespace queue::detail
