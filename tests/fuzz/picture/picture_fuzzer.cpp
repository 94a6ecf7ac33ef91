// FORMAT and DEFORMAT of arbitrary values through arbitrary pictures: nothing
// crashes, hangs or reads outside its input, and every result stays bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/picture/date.h"
#include "platform/picture/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input is a picture, a NUL byte, then the value or text.
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = all.find('\0');
  const std::string_view picture = cut == std::string_view::npos ? all : all.substr(0, cut);
  const std::string_view value = cut == std::string_view::npos ? std::string_view{} : all.substr(cut + 1);

  // A result is never wider than the picture allows, or than the value itself
  // when the picture leaves it unchanged.
  const std::size_t bound = 65535 + value.size() + 1024;
  if (picture::format(value, picture).size() > bound) std::abort();
  if (picture::deformat(value, picture).size() > bound) std::abort();

  double number = 0;
  if (value.size() >= sizeof number) std::memcpy(&number, value.data(), sizeof number);
  if (picture::format(number, picture).size() > bound) std::abort();

  if (value.size() >= 12) {
    std::int32_t parts[3];
    std::memcpy(parts, value.data(), sizeof parts);
    const std::int32_t d = picture::date(parts[0], parts[1], parts[2]);
    if (d != -1 && (d < picture::kFirstDate || d > picture::kLastDate)) std::abort();
    if (picture::day(parts[0]) < 0 || picture::day(parts[0]) > 31) std::abort();
  }
  return 0;
}
