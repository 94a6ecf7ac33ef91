// Windows-1252, the code page of every text the window model holds: bytes to
// Unicode for display and back for what the user typed. A character with no
// byte in the code page has no encoding here; the caller refuses it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace window::codepage {

// The Unicode character of a byte. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the
// same number, as Windows converts them, so every byte survives a round trip.
char32_t to_unicode(unsigned char byte);
// The byte of a character, or none when the code page has no such character.
std::optional<unsigned char> to_byte(char32_t c);

}  // namespace window::codepage
