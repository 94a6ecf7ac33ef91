// What a control is bound to when a window is created: a variable (a CSTRING,
// a STRING, a dynamic text or an integer such as a BYTE or LONG), or, for a
// list, a row source. A list reads its rows through the source at the moment
// it shows them; nothing of the rows is copied into the window.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/queue/queue.h"
#include "platform/text/text.h"

namespace window {

// The rows of a list: how many, and one row at a time: load(i) (1-based) makes
// row i the one whose fields cell(k) (1-based) reads; an empty text outside.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual std::size_t rows() const = 0;
  virtual bool load(std::size_t row) = 0;
  virtual std::string cell(std::size_t field) const = 0;
};

// A variable the window reaches through two operations, for a value that
// lives inside a record buffer rather than in a variable of its own.
class ValueSource {
 public:
  virtual ~ValueSource() = default;
  virtual std::string get() const = 0;
  virtual void set(std::string_view value) = 0;
};

namespace detail {

inline std::string value_text(std::string_view v) { return std::string(v); }
template <std::size_t N>
std::string value_text(const text::CString<N>& v) {
  return v.str();
}
template <std::size_t N>
std::string value_text(const text::FixedString<N>& v) {
  return v.str();
}
template <std::integral T>
std::string value_text(T v) {
  return text::int_text(static_cast<std::int64_t>(v));
}

template <class R>
concept HasCells = requires(const R& r, std::size_t k) {
  { r.cell(k) } -> std::convertible_to<std::string_view>;
};
template <class R>
concept HasFields = requires(const R& r) { r.fields(); };

}  // namespace detail

// The text of field k (1-based) of a queue record: records either list their
// fields (fields(), as the queues' default codec reads them) or answer cell(k).
template <class R>
std::string record_cell(const R& r, std::size_t k) {
  if constexpr (detail::HasCells<R>) {
    return std::string(r.cell(k));
  } else {
    static_assert(detail::HasFields<R>, "a row record lists its fields or answers cell(k)");
    std::string out;
    auto fields = r.fields();
    std::size_t i = 1;
    std::apply([&](const auto&... f) { ((i++ == k ? (out = detail::value_text(f), 0) : 0), ...); }, fields);
    return out;
  }
}

class Binding {
 public:
  template <std::size_t N>
  Binding(text::CString<N>& v)  // NOLINT: a bound list is written as a list of variables
      : var_(&v),
        get_([](const void* p) { return static_cast<const text::CString<N>*>(p)->str(); }),
        set_([](void* p, std::string_view s) { *static_cast<text::CString<N>*>(p) = s; }) {}

  template <std::size_t N>
  Binding(text::FixedString<N>& v)  // NOLINT
      : var_(&v),
        get_([](const void* p) { return static_cast<const text::FixedString<N>*>(p)->str(); }),
        set_([](void* p, std::string_view s) { *static_cast<text::FixedString<N>*>(p) = s; }) {}

  Binding(std::string& v)  // NOLINT
      : var_(&v),
        get_([](const void* p) { return *static_cast<const std::string*>(p); }),
        set_([](void* p, std::string_view s) { static_cast<std::string*>(p)->assign(s); }) {}

  // Integers take a text as the runtime assigns one to a number: the number it
  // holds, truncated, and cut to the variable's width (a BYTE keeps 8 bits).
  // Leading blanks go first, so a sign typed after them still counts.
  template <std::integral T>
    requires(!std::same_as<T, bool>)
  Binding(T& v)  // NOLINT
      : var_(&v),
        get_([](const void* p) { return text::int_text(static_cast<std::int64_t>(*static_cast<const T*>(p))); }),
        set_([](void* p, std::string_view s) { *static_cast<T*>(p) = static_cast<T>(text::deformat_to_long(s.substr(std::min(s.find_first_not_of(' '), s.size())))); }),
        numeric_(true) {}

  // A list's rows from a source the caller keeps alive as long as the window.
  Binding(RowSource& rows) : rows_(&rows, [](RowSource*) {}) {}  // NOLINT
  // A list's rows from a source the window keeps (an adapter over a queue).
  explicit Binding(std::shared_ptr<RowSource> rows) : rows_(std::move(rows)) {}

  // A queue's entries, read as the list shows them, without touching the
  // queue's buffer, its pointer or the error state.
  template <class R>
  Binding(queue::Queue<R>& q)  // NOLINT
      : Binding(std::make_shared<QueueRows<R>>(q)) {}

  // A variable reached through a source the window keeps; `numeric` as for integers.
  explicit Binding(std::shared_ptr<ValueSource> value, bool numeric = false)
      : var_(value.get()),
        get_([](const void* p) { return static_cast<const ValueSource*>(p)->get(); }),
        set_([](void* p, std::string_view s) { static_cast<ValueSource*>(p)->set(s); }),
        numeric_(numeric),
        value_(std::move(value)) {}

  bool is_rows() const { return rows_ != nullptr; }
  bool is_numeric() const { return numeric_; }
  RowSource* rows() const { return rows_.get(); }
  std::string get() const { return get_ ? get_(var_) : std::string(); }
  void set(std::string_view s) const {
    if (set_) set_(var_, s);
  }

 private:
  template <class R>
  class QueueRows final : public RowSource {
   public:
    explicit QueueRows(const queue::Queue<R>& q) : q_(q) {}
    std::size_t rows() const override { return q_.records(); }
    bool load(std::size_t row) override {
      if (!row_) row_ = std::make_unique<R>();  // a row may be large: on the heap, once
      loaded_ = q_.peek(row, *row_);
      return loaded_;
    }
    std::string cell(std::size_t field) const override { return loaded_ ? record_cell(*row_, field) : std::string(); }

   private:
    const queue::Queue<R>& q_;
    std::unique_ptr<R> row_;
    bool loaded_ = false;
  };

  void* var_ = nullptr;
  std::string (*get_)(const void*) = nullptr;
  void (*set_)(void*, std::string_view) = nullptr;
  bool numeric_ = false;
  std::shared_ptr<RowSource> rows_;
  std::shared_ptr<ValueSource> value_;
};

}  // namespace window
