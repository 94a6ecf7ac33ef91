// The byte store behind every queue: the encoded entries in order, packed into
// shared blocks so that an entry costs its own bytes plus one slot, not a heap
// allocation of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace queue::detail {

class EntryStore {
 public:
  struct Slot {
    char* data;
    std::uint32_t size;
  };

  EntryStore() = default;
  EntryStore(const EntryStore&) = delete;
  EntryStore& operator=(const EntryStore&) = delete;
  EntryStore(EntryStore&&) = default;
  EntryStore& operator=(EntryStore&&) = default;

  std::size_t size() const { return slots_.size(); }
  std::string_view at(std::size_t i) const { return {slots_[i].data, slots_[i].size}; }

  // Each throws std::bad_alloc when memory runs out and then leaves the
  // entries as they were.
  void insert(std::size_t i, std::string_view bytes);
  void push_back(std::string_view bytes) { insert(slots_.size(), bytes); }
  void replace(std::size_t i, std::string_view bytes);

  void clear();
  // The slots in entry order; reordering them reorders the entries.
  std::vector<Slot>& slots() { return slots_; }
  // Bytes held for the entries: blocks and slots.
  std::size_t storage_bytes() const;

 private:
  char* allocate(std::size_t n);
  void compact();

  std::vector<Slot> slots_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* cursor_ = nullptr;    // free room of the current block
  std::size_t room_ = 0;
  std::size_t next_block_ = 0;
  std::size_t reserved_ = 0;  // bytes of all blocks
  std::size_t handed_ = 0;    // bytes handed out, live or dropped by a replace
  std::size_t live_ = 0;      // bytes of the current entries
};

}  // namespace queue::detail
