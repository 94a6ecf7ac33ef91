#include "engine/value_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "platform/picture/date.h"
#include "platform/picture/picture.h"
#include "platform/text/text.h"

namespace engine {
namespace {

// 40 years of 365 days either side of today: what a LONG holding a date can be.
constexpr std::int32_t kPlausibleDateSpan = 14600;

// The pictures of a blank date or time setting, the separator still added:
// only the time one carries a "b" of its own ("@T04bb" with separator "b").
constexpr std::string_view kFallbackDatePicture = "@D06";
constexpr std::string_view kFallbackTimePicture = "@T04b";

enum class StoredType { Byte, Short, UShort, Long, ULong, SReal, Real, Decimal, Date, Time, String, PString, None };

StoredType stored_type(std::string_view name) {
  name = text::clip(name);
  switch (name.size()) {
    case 4:
      if (name == "BYTE") return StoredType::Byte;
      if (name == "LONG") return StoredType::Long;
      if (name == "REAL") return StoredType::Real;
      if (name == "DATE") return StoredType::Date;
      if (name == "TIME") return StoredType::Time;
      break;
    case 5:
      if (name == "SHORT") return StoredType::Short;
      if (name == "ULONG") return StoredType::ULong;
      if (name == "SREAL") return StoredType::SReal;
      break;
    case 6:
      if (name == "USHORT") return StoredType::UShort;
      if (name == "STRING") return StoredType::String;
      break;
    case 7:
      if (name == "DECIMAL") return StoredType::Decimal;
      if (name == "CSTRING") return StoredType::String;
      if (name == "PSTRING") return StoredType::PString;
      break;
    default: break;
  }
  return StoredType::None;  // MEMO, GROUP, BLOB, PDECIMAL, BFLOAT4/8 ...
}

// The first n bytes of raw; a field cut short reads blanks in the missing bytes.
void read_bytes(std::string_view raw, unsigned char* out, std::size_t n) {
  const std::size_t have = std::min(n, raw.size());
  if (have > 0) std::memcpy(out, raw.data(), have);  // an empty view may have no data pointer
  std::memset(out + have, ' ', n - have);
}

std::uint32_t little_endian(const unsigned char* b, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t i = n; i-- > 0;) v = v << 8 | b[i];
  return v;
}

void append_int(std::string& out, std::int64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

// The REAL text form; beyond the exponents -4..14 it is "1.5E+20", "1E-05".
void append_real(std::string& out, double v) {
  char buf[text::kRealTextMax];
  out.append(buf, text::write_real_text(v, buf));
}

// DATE bytes: day, month, year (16 bits).
std::int32_t standard_date(const unsigned char* b) {
  const std::int32_t year = static_cast<std::int32_t>(little_endian(b + 2, 2));
  if (year > 9999) return picture::kLastDate;
  const std::int32_t d = picture::date(b[1], b[0], year);
  return d < 0 ? 0 : d;
}

// TIME bytes: hundredths, seconds, minutes, hours.
std::int32_t standard_time(const unsigned char* b) {
  const std::int32_t hundredths = b[0], seconds = b[1], minutes = b[2], hours = b[3];
  if ((hundredths | seconds | minutes | hours) == 0) return 0;
  if (hours > 23 || minutes > 59 || seconds > 59 || hundredths > 99) return -1;
  return ((hours * 60 + minutes) * 60 + seconds) * 100 + hundredths + 1;
}

void append_decimal(std::string& out, std::string_view raw, std::int32_t digits, std::int32_t places) {
  if (digits < 1 || digits > 31) return;
  const std::size_t bytes = static_cast<std::size_t>(digits) / 2 + 1;
  unsigned char b[16];
  read_bytes(raw, b, bytes);
  const bool negative = (b[0] >> 4) != 0;
  char d[32];
  std::size_t n = 0;
  // A half-byte above 9 is no decimal digit (damaged bytes): it reads as 0 so
  // that the text, which goes into WHERE expressions, stays a number.
  const auto put = [&](unsigned nibble) { d[n++] = static_cast<char>('0' + (nibble <= 9 ? nibble : 0)); };
  put(b[0] & 0x0F);
  for (std::size_t i = 1; i < bytes; ++i) {
    put(b[i] >> 4);
    put(b[i] & 0x0F);
  }
  std::size_t first = 0;
  while (first < n && d[first] == '0') ++first;
  const std::string_view significant(d + first, n - first);
  // Places are a byte of the table's definition; other counts are held to it.
  const std::size_t p = static_cast<std::size_t>(std::clamp<std::int32_t>(places, 0, 255));

  if (significant.empty()) {  // zero, whatever its sign nibble says
    if (p == 0) {
      out += '0';
    } else if (p == 1) {
      out += ".0";
    } else {
      out += "0.";
      out.append(p, '0');
    }
    return;
  }
  if (negative) out += '-';
  if (p == 0) {
    out.append(significant);
  } else if (significant.size() > p) {
    out.append(significant.substr(0, significant.size() - p));
    out += '.';
    out.append(significant.substr(significant.size() - p));
  } else {
    // Fewer digits than places: zeros after the point keep the stored value
    // (3 with 2 places is ".03", not ".3").
    out += '.';
    out.append(p - significant.size(), '0');
    out.append(significant);
  }
}

// Doubles every double quote and never cuts: a BLOB photograph holds far more
// than 100 quote bytes, and a cut value would corrupt the CSV line.
void append_escaped(std::string& out, std::string_view value) {
  value = text::trim(value);
  while (!value.empty()) {
    const void* q = std::memchr(value.data(), '"', value.size());
    if (!q) {
      out.append(value);
      return;
    }
    const std::size_t k = static_cast<std::size_t>(static_cast<const char*>(q) - value.data()) + 1;
    out.append(value.data(), k);
    out += '"';
    value.remove_prefix(k);
  }
}

// The bytes up to the first NUL, all of them when there is none.
std::string_view up_to_nul(std::string_view raw) { return raw.substr(0, raw.find('\0')); }

// The unformatted text into CurrentRawValue, with the flags the type sets;
// `as_date` / `as_time` become true for DATE / TIME fields.
void unformatted_text(std::string_view type_name, std::string_view raw, std::int32_t places, std::int32_t digits,
                      bool& as_date, bool& as_time) {
  std::string& out = CurrentRawValue;
  out.clear();
  unsigned char b[8];
  switch (stored_type(type_name)) {
    case StoredType::Byte:
      read_bytes(raw, b, 1);
      append_int(out, b[0]);
      break;
    case StoredType::Short:
      read_bytes(raw, b, 2);
      append_int(out, static_cast<std::int16_t>(little_endian(b, 2)));
      break;
    case StoredType::UShort:
      read_bytes(raw, b, 2);
      append_int(out, little_endian(b, 2));
      break;
    case StoredType::Long: {
      read_bytes(raw, b, 4);
      const std::int32_t v = static_cast<std::int32_t>(little_endian(b, 4));
      append_int(out, v);
      // 64-bit bounds: today's date plus the span cannot overflow.
      const std::int64_t today = picture::today();
      if (v < today - kPlausibleDateSpan || v > today + kPlausibleDateSpan) NotDateFlag = 1;
      if (v < picture::kFirstTime || v > picture::kLastTime) NotTimeFlag = 1;
      break;
    }
    case StoredType::ULong:
      read_bytes(raw, b, 4);
      // The REAL text form of every ULONG is its plain digits (10 at most,
      // within the 15 significant ones), so the integer text is the same text.
      append_int(out, little_endian(b, 4));
      break;
    case StoredType::SReal: {
      read_bytes(raw, b, 4);
      float f;
      std::memcpy(&f, b, 4);
      append_real(out, f);
      break;
    }
    case StoredType::Real: {
      read_bytes(raw, b, 8);
      double v;
      std::memcpy(&v, b, 8);
      append_real(out, v);
      break;
    }
    case StoredType::Decimal: append_decimal(out, raw, digits, places); break;
    case StoredType::Date:
      read_bytes(raw, b, 4);
      append_int(out, standard_date(b));
      NotDateFlag = -1;
      as_date = true;
      break;
    case StoredType::Time:
      read_bytes(raw, b, 4);
      append_int(out, standard_time(b));
      NotTimeFlag = -1;
      as_time = true;
      break;
    case StoredType::String: out.append(text::clip(up_to_nul(raw))); break;
    case StoredType::PString: {
      const std::size_t n = raw.empty() ? ' ' : static_cast<unsigned char>(raw[0]);
      const std::string_view held = raw.substr(std::min<std::size_t>(1, raw.size()), n);
      // The length byte may promise more than the field holds: blanks stand in.
      if (held.size() < n) {
        out.append(held);
        out.append(n - held.size(), ' ');
        out.resize(text::clip(out).size());
      } else {
        out.append(text::clip(held));
      }
      break;
    }
    case StoredType::None: break;
  }
}

constexpr std::size_t kPictureMax =
    std::max({decltype(globals::GLO_DATEFORMAT)::kMaxLength, decltype(globals::GLO_TIMEFORMAT)::kMaxLength,
              kFallbackTimePicture.size()}) +
    decltype(globals::GLO_DATETIMESEPARATOR)::kMaxLength;

// The date or time picture that a marked value is written with; out holds kPictureMax bytes.
std::size_t picture_for(bool date, char* out) {
  // The settings are joined without their trailing blanks, as every text is.
  std::string_view format = text::clip(date ? globals::GLO_DATEFORMAT.view() : globals::GLO_TIMEFORMAT.view());
  if (text::blank(format)) format = date ? kFallbackDatePicture : kFallbackTimePicture;
  const std::string_view separator = text::clip(globals::GLO_DATETIMESEPARATOR.view());
  std::memcpy(out, format.data(), format.size());
  std::memcpy(out + format.size(), separator.data(), separator.size());
  return format.size() + separator.size();
}

// Sets CurrentRawValue, CurrentValueText and the flags.
void value_texts(std::string_view time_mark, std::string_view date_mark, std::string_view type_name,
                 std::string_view raw, std::int32_t places, std::int32_t digits) {
  // The mark itself is clipped; the letter it is held against has no blanks to clip.
  bool as_date = text::clip(date_mark) == "D";
  bool as_time = text::clip(time_mark) == "T";
  unformatted_text(type_name, raw, places, digits, as_date, as_time);
  if (as_date || as_time) {
    char pic[kPictureMax];
    const std::size_t n = picture_for(as_date, pic);
    const std::string formatted = picture::format(CurrentRawValue, std::string_view(pic, n));
    CurrentValueText.assign(text::clip(formatted));  // assign keeps the capacity of earlier values
  } else {
    CurrentValueText.assign(CurrentRawValue);
  }
}

}  // namespace

void AppendFieldValue(std::string& out, std::string_view time_mark, std::string_view date_mark,
                      std::string_view type_name, std::string_view raw, std::int32_t places, std::int32_t digits) {
  value_texts(time_mark, date_mark, type_name, raw, places, digits);
  // The whole value, however long: no 64000-character working text cuts it.
  append_escaped(out, CurrentValueText);
}

std::string FormatFieldValue(std::string_view time_mark, std::string_view date_mark, std::string_view type_name,
                             std::string_view raw, std::int32_t places, std::int32_t digits) {
  std::string out;
  AppendFieldValue(out, time_mark, date_mark, type_name, raw, places, digits);
  return out;
}

std::string DecimalToText(std::string_view raw, std::int32_t digits, std::int32_t places) {
  std::string out;
  append_decimal(out, raw, digits, places);
  return out;
}

std::string EscapeCsvQuotes(std::string_view value) {
  std::string out;
  append_escaped(out, value);
  return out;
}

}  // namespace engine
