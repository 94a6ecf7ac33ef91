// The compact form in which a queue keeps its entries. A text takes a length
// and its own bytes (a STRING without its trailing blanks), a number its raw
// bytes, and a run of empty texts in an array a few bytes in all, so a row of
// 2000 mostly empty cells costs about its filled cells.
//
// A record lists its fields once, in any order, for this default codec:
//   auto fields() { return std::tie(a, b, cells); }
// Fields may be text::CString<N>, text::FixedString<N>, std::string, numbers,
// enums, and C arrays or std::arrays of these. A record that needs another form
// specialises queue::Codec<R> with static encode(const R&, std::string&) and
// decode(std::string_view, R&); keyed operations then decode whole entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/text/text.h"

namespace queue {

template <class R>
concept HasFields = requires(R& r) { r.fields(); };

namespace codec {

// ---- lengths: 7 bits a byte, low bits first ------------------------------------

inline void put_length(std::string& out, std::size_t n) {
  while (n >= 0x80) {
    out.push_back(static_cast<char>((n & 0x7F) | 0x80));
    n >>= 7;
  }
  out.push_back(static_cast<char>(n));
}

inline std::size_t get_length(const char*& p) {
  std::size_t n = 0;
  int shift = 0;
  for (;;) {
    auto b = static_cast<unsigned char>(*p++);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
    shift += 7;
  }
}

inline std::string_view get_text(const char*& p) {
  std::size_t n = get_length(p);
  std::string_view v(p, n);
  p += n;
  return v;
}

// ---- one field ------------------------------------------------------------------

template <class T>
struct Field;  // what a queue may hold; anything else fails to compile here

template <std::size_t N>
struct Field<text::CString<N>> {
  static constexpr bool kText = true;
  static std::string_view value(const text::CString<N>& t) { return t.view(); }
  static bool empty(const text::CString<N>& t) { return t.empty(); }
  static void encode(std::string& out, const text::CString<N>& t) {
    put_length(out, t.size());
    out.append(t.view());
  }
  static void decode(const char*& p, text::CString<N>& t) { t.assign(get_text(p)); }
  static void clear(text::CString<N>& t) { t.clear(); }
  static void skip(const char*& p) { get_text(p); }
  static std::string_view extract(const char*& p) { return get_text(p); }
};

template <std::size_t N>
struct Field<text::FixedString<N>> {
  static constexpr bool kText = true;
  static std::string_view value(const text::FixedString<N>& t) { return t.view(); }
  static bool empty(const text::FixedString<N>& t) { return t.clipped().empty(); }
  static void encode(std::string& out, const text::FixedString<N>& t) {
    std::string_view v = t.clipped();
    put_length(out, v.size());
    out.append(v);
  }
  static void decode(const char*& p, text::FixedString<N>& t) { t.assign(get_text(p)); }
  static void clear(text::FixedString<N>& t) { t.clear(); }
  static void skip(const char*& p) { get_text(p); }
  static std::string_view extract(const char*& p) { return get_text(p); }
};

template <>
struct Field<std::string> {
  static constexpr bool kText = true;
  static std::string_view value(const std::string& t) { return t; }
  static bool empty(const std::string& t) { return t.empty(); }
  static void encode(std::string& out, const std::string& t) {
    put_length(out, t.size());
    out.append(t);
  }
  static void decode(const char*& p, std::string& t) { t.assign(get_text(p)); }
  static void clear(std::string& t) { t.clear(); }
  static void skip(const char*& p) { get_text(p); }
  static std::string_view extract(const char*& p) { return get_text(p); }
};

template <class T>
  requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
struct Field<T> {
  static constexpr bool kText = false;
  static T value(const T& v) { return v; }
  static void encode(std::string& out, const T& v) { out.append(reinterpret_cast<const char*>(&v), sizeof(T)); }
  static void decode(const char*& p, T& v) {
    std::memcpy(&v, p, sizeof(T));
    p += sizeof(T);
  }
  static void clear(T& v) { v = T{}; }
  static void skip(const char*& p) { p += sizeof(T); }
  static T extract(const char*& p) {
    T v;
    decode(p, v);
    return v;
  }
};

// Arrays of texts keep each run of empty elements as a 0 and the run's length;
// a filled element as its length (at least 1) and its bytes.
template <class E, std::size_t M>
struct ArrayField {
  template <class A>
  static void encode(std::string& out, const A& a) {
    if constexpr (Field<E>::kText) {
      std::size_t run = 0;
      for (std::size_t i = 0; i < M; ++i) {
        if (Field<E>::empty(a[i])) {
          ++run;
          continue;
        }
        if (run) {
          out.push_back('\0');
          put_length(out, run);
          run = 0;
        }
        Field<E>::encode(out, a[i]);
      }
      if (run) {
        out.push_back('\0');
        put_length(out, run);
      }
    } else {
      for (std::size_t i = 0; i < M; ++i) Field<E>::encode(out, a[i]);
    }
  }
  template <class A>
  static void decode(const char*& p, A& a) {
    if constexpr (Field<E>::kText) {
      std::size_t i = 0;
      while (i < M) {
        std::size_t n = get_length(p);
        if (n == 0) {
          std::size_t run = get_length(p);
          for (std::size_t end = i + run; i < end; ++i) Field<E>::clear(a[i]);
        } else {
          a[i++].assign(std::string_view(p, n));
          p += n;
        }
      }
    } else {
      for (std::size_t i = 0; i < M; ++i) Field<E>::decode(p, a[i]);
    }
  }
  template <class A>
  static void clear(A& a) {
    for (std::size_t i = 0; i < M; ++i) Field<E>::clear(a[i]);
  }
  static void skip(const char*& p) {
    if constexpr (Field<E>::kText) {
      std::size_t i = 0;
      while (i < M) {
        std::size_t n = get_length(p);
        if (n == 0) {
          i += get_length(p);
        } else {
          p += n;
          ++i;
        }
      }
    } else {
      for (std::size_t i = 0; i < M; ++i) Field<E>::skip(p);
    }
  }
};

template <class E, std::size_t M>
struct Field<E[M]> : ArrayField<E, M> {
  static constexpr bool kText = false;
  static constexpr bool kArray = true;
};
template <class E, std::size_t M>
struct Field<std::array<E, M>> : ArrayField<E, M> {
  static constexpr bool kText = false;
  static constexpr bool kArray = true;
};

// ---- a whole record ---------------------------------------------------------------

template <class R>
using FieldsTuple = decltype(std::declval<R&>().fields());

template <class R, std::size_t I>
using FieldType = std::remove_cvref_t<std::tuple_element_t<I, FieldsTuple<R>>>;

template <class R>
inline constexpr std::size_t kFieldCount = std::tuple_size_v<FieldsTuple<R>>;

// The position in fields() of the member that Key points to. Works on any
// instance, since members sit at the same place in each.
template <class R, auto Key>
std::size_t field_index(R& r) {
  const void* target = &(r.*Key);
  std::size_t found = kFieldCount<R>;
  std::apply(
      [&](auto&... f) {
        std::size_t i = 0;
        ((static_cast<const void*>(&f) == target && found == kFieldCount<R> ? (found = i, ++i) : ++i), ...);
      },
      r.fields());
  return found;
}

template <class R>
void skip_fields(const char*& p, std::size_t count) {
  using Skipper = void (*)(const char*&);
  static constexpr auto skippers = []<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<Skipper, sizeof...(I)>{&Field<FieldType<R, I>>::skip...};
  }(std::make_index_sequence<kFieldCount<R>>{});
  for (std::size_t i = 0; i < count; ++i) skippers[i](p);
}

}  // namespace codec

// The default codec: the record's fields() in order.
template <class R, class = void>
struct Codec {
  static_assert(HasFields<R>, "a queue record lists its fields() or has a Codec of its own");
  static constexpr bool kFieldwise = true;

  static void encode(const R& r, std::string& out) {
    std::apply([&](auto&... f) { (codec::Field<std::remove_cvref_t<decltype(f)>>::encode(out, f), ...); },
               const_cast<R&>(r).fields());
  }
  static void decode(std::string_view in, R& r) {
    const char* p = in.data();
    std::apply([&](auto&... f) { (codec::Field<std::remove_cvref_t<decltype(f)>>::decode(p, f), ...); }, r.fields());
  }
  static void clear(R& r) {
    std::apply([&](auto&... f) { (codec::Field<std::remove_cvref_t<decltype(f)>>::clear(f), ...); }, r.fields());
  }
};

}  // namespace queue
