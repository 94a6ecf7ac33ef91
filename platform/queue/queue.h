// QUEUE: an in-memory list of records behind one record buffer. ADD appends
// (or inserts by key after the equal keys) a copy of the buffer, GET copies an
// entry into it, PUT writes it back over the entry last read or added; the
// buffer keeps its contents in between. Positions are 1-based. GET, ADD and PUT
// set the error state of files: 0, 30 when there is no such entry, 8 when
// memory runs out (the entry is then not added).
//
// Keys are member pointers of the record: q.add_by<&Rec::NAME, &Rec::COUNT>().
// Texts compare as the runtime does (case-sensitive, as if padded with
// blanks), numbers by value. Entries are kept in the compact form of codec.h.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "platform/files/errors.h"
#include "platform/queue/codec.h"
#include "platform/queue/storage.h"
#include "platform/text/text.h"

namespace queue {

namespace detail {

template <class P>
struct MemberPointer;
template <class R, class M>
struct MemberPointer<M R::*> {
  using Record = R;
  using Member = M;
};

template <auto Key>
using MemberType = typename MemberPointer<decltype(Key)>::Member;

template <class V>
int compare_values(const V& a, const V& b) {
  if constexpr (std::is_same_v<V, std::string_view>) {
    return text::compare(a, b);
  } else {
    return a < b ? -1 : (b < a ? 1 : 0);
  }
}

// Lexicographic comparison of two tuples of key values.
template <class Tuple, std::size_t... I>
int compare_tuples(const Tuple& a, const Tuple& b, std::index_sequence<I...>) {
  int c = 0;
  ((c == 0 ? (c = compare_values(std::get<I>(a), std::get<I>(b))) : 0), ...);
  return c;
}

}  // namespace detail

template <class R>
class Queue {
 public:
  Queue() : buffer_(std::make_unique<R>()) {}
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  R& buffer() { return *buffer_; }
  const R& buffer() const { return *buffer_; }

  // ADD(q): appends a copy of the buffer.
  void add() {
    try {
      encode_buffer();
      std::size_t n = store_.size();
      bool in_order = order_ && (n == 0 || order_->compare(*this, store_.at(n - 1), bytes_) <= 0);
      store_.push_back(bytes_);
      if (!in_order) order_ = nullptr;
      pointer_ = n + 1;
      files::clear_error();
    } catch (const std::bad_alloc&) {
      files::set_error(files::kInsufficientMemory);
    }
  }

  // ADD(q, +k1, +k2 ...): inserts a copy of the buffer after the last entry
  // whose keys are not greater than the buffer's.
  template <auto... Keys>
  void add_by() {
    static_assert(sizeof...(Keys) > 0, "name at least one key field");
    try {
      encode_buffer();
      std::size_t low = 0, high = store_.size();
      while (low < high) {
        std::size_t mid = low + (high - low) / 2;
        if (compare_with_buffer<Keys...>(store_.at(mid)) <= 0) {
          low = mid + 1;
        } else {
          high = mid;
        }
      }
      bool in_order = store_.size() == 0 || order_ == &order_of<Keys...>;
      store_.insert(low, bytes_);
      order_ = in_order ? &order_of<Keys...> : nullptr;
      pointer_ = low + 1;
      files::clear_error();
    } catch (const std::bad_alloc&) {
      files::set_error(files::kInsufficientMemory);
    }
  }

  // GET(q, pos): copies entry pos (1-based) into the buffer; 30 when there is
  // none, and then the buffer and the pointer stay as they were.
  int get(std::size_t pos) {
    if (pos < 1 || pos > store_.size()) {
      files::set_error(files::kEntryNotFound);
      return files::kEntryNotFound;
    }
    Codec<R>::decode(store_.at(pos - 1), *buffer_);
    pointer_ = pos;
    files::clear_error();
    return 0;
  }

  // GET(q, k1, k2 ...): the first entry whose listed fields equal the buffer's.
  template <auto... Keys>
  int get_by() {
    static_assert(sizeof...(Keys) > 0, "name at least one key field");
    std::size_t n = store_.size(), found = n;
    if (order_ == &order_of<Keys...>) {
      std::size_t low = 0, high = n;
      while (low < high) {
        std::size_t mid = low + (high - low) / 2;
        if (compare_with_buffer<Keys...>(store_.at(mid)) < 0) {
          low = mid + 1;
        } else {
          high = mid;
        }
      }
      if (low < n && compare_with_buffer<Keys...>(store_.at(low)) == 0) found = low;
    } else {
      for (std::size_t i = 0; i < n; ++i) {
        if (compare_with_buffer<Keys...>(store_.at(i)) == 0) {
          found = i;
          break;
        }
      }
    }
    if (found == n) {
      files::set_error(files::kEntryNotFound);
      return files::kEntryNotFound;
    }
    return get(found + 1);
  }

  // PUT(q): the buffer over the entry last read or added; 30 when there is none.
  int put() {
    if (pointer_ < 1 || pointer_ > store_.size()) {
      files::set_error(files::kEntryNotFound);
      return files::kEntryNotFound;
    }
    try {
      encode_buffer();
      std::size_t i = pointer_ - 1;
      store_.replace(i, bytes_);
      if (order_) {
        bool after_previous = i == 0 || order_->compare(*this, store_.at(i - 1), store_.at(i)) <= 0;
        bool before_next = i + 1 == store_.size() || order_->compare(*this, store_.at(i), store_.at(i + 1)) <= 0;
        if (!after_previous || !before_next) order_ = nullptr;
      }
      files::clear_error();
      return 0;
    } catch (const std::bad_alloc&) {
      files::set_error(files::kInsufficientMemory);
      return files::kInsufficientMemory;
    }
  }

  // SORT(q, +k1, +k2 ...): ascending; entries with equal keys keep their order.
  template <auto... Keys>
  void sort_by() {
    static_assert(sizeof...(Keys) > 0, "name at least one key field");
    auto& slots = store_.slots();
    std::stable_sort(slots.begin(), slots.end(), [this](const auto& a, const auto& b) {
      return compare_entries<Keys...>(*this, {a.data, a.size}, {b.data, b.size}) < 0;
    });
    order_ = &order_of<Keys...>;
  }

  // FREE(q): no entries; the buffer keeps its contents.
  void free() {
    store_.clear();
    pointer_ = 0;
    order_ = nullptr;
  }

  // RECORDS(q), POINTER(q).
  std::size_t records() const { return store_.size(); }
  std::size_t pointer() const { return pointer_; }

  // CLEAR of the buffer: texts blank or empty, numbers 0.
  void clear() {
    if constexpr (requires(R& r) { Codec<R>::clear(r); }) {
      Codec<R>::clear(*buffer_);
    } else {
      *buffer_ = R{};
    }
  }

  // Entry pos (1-based) copied into another record, leaving the buffer, the
  // pointer and the error state alone (for a list that shows the queue).
  bool peek(std::size_t pos, R& out) const {
    if (pos < 1 || pos > store_.size()) return false;
    Codec<R>::decode(store_.at(pos - 1), out);
    return true;
  }

  // Bytes the entries take (their store), for measuring.
  std::size_t storage_bytes() const { return store_.storage_bytes(); }

 private:
  // The key list the entries are known to be in ascending order of.
  struct Order {
    int (*compare)(const Queue&, std::string_view, std::string_view);
  };
  static constexpr bool kFieldwise = requires { Codec<R>::kFieldwise; };

  void encode_buffer() {
    bytes_.clear();
    Codec<R>::encode(*buffer_, bytes_);
  }

  template <auto Key>
  static std::size_t index_of(R& any) {
    static_assert(std::is_same_v<typename detail::MemberPointer<decltype(Key)>::Record, R>,
                  "a key is a member of the queue's record");
    static const std::size_t index = [&] {
      std::size_t i = codec::field_index<R, Key>(any);
      if (i == codec::kFieldCount<R>) {
        std::fputs("queue: a key field is missing from the record's fields()\n", stderr);
        std::abort();
      }
      return i;
    }();
    return index;
  }

  // The value of field Key in an encoded entry; `scratch` holds the decoded
  // entry when the record has a codec of its own.
  template <auto Key>
  auto entry_value(std::string_view entry, std::unique_ptr<R>& scratch) const {
    using M = detail::MemberType<Key>;
    if constexpr (kFieldwise) {
      const char* p = entry.data();
      codec::skip_fields<R>(p, index_of<Key>(*buffer_));
      return codec::Field<M>::extract(p);
    } else {
      return codec::Field<M>::value((*scratch).*Key);
    }
  }

  template <auto... Keys>
  auto entry_keys(std::string_view entry, std::unique_ptr<R>& scratch) const {
    if constexpr (!kFieldwise) {
      if (!scratch) scratch = std::make_unique<R>();
      Codec<R>::decode(entry, *scratch);
    }
    return std::make_tuple(entry_value<Keys>(entry, scratch)...);
  }

  // Sign of (entry - buffer) over the listed keys.
  template <auto... Keys>
  int compare_with_buffer(std::string_view entry) const {
    auto a = entry_keys<Keys...>(entry, scratch_a_);
    decltype(a) b{codec::Field<detail::MemberType<Keys>>::value((*buffer_).*Keys)...};
    return detail::compare_tuples(a, b, std::index_sequence_for<decltype(Keys)...>{});
  }

  template <auto... Keys>
  static int compare_entries(const Queue& q, std::string_view x, std::string_view y) {
    auto a = q.entry_keys<Keys...>(x, q.scratch_a_);
    auto b = q.entry_keys<Keys...>(y, q.scratch_b_);
    return detail::compare_tuples(a, b, std::index_sequence_for<decltype(Keys)...>{});
  }

  template <auto... Keys>
  static constexpr Order order_of{&compare_entries<Keys...>};

  std::unique_ptr<R> buffer_;
  detail::EntryStore store_;
  std::string bytes_;  // the buffer's encoding, reused so ADD and PUT allocate nothing per call
  std::size_t pointer_ = 0;
  const Order* order_ = nullptr;
  mutable std::unique_ptr<R> scratch_a_, scratch_b_;  // records with a codec of their own
};

}  // namespace queue
