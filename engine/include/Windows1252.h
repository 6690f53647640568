// Windows-1252, the program's one 8-bit text encoding: field texts in the engine's C interface,
// the engine's messages, the host's text and INI files. This is its one table; the engine
// (without Qt) and the platform layer's conversions to and from QString both use it.
//
// Only 0x80..0x9F differ from Latin-1. Five of those bytes have no character in Windows-1252:
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D. Each stands for the C1 control character of the same value
// (U+0081, ...), as the system's converters on the host's side do and as the web's encoding
// standard does. So every one of the 256 bytes reads as a character of its own and is written
// back as the same byte: a field value holding such a byte survives being read, shown and
// stored again, and no two bytes ever read as the same character. (Mapping them to nothing,
// or to "?", would change stored data on its way through the program.)
#pragma once

namespace windows1252 {

// The characters of 0x80..0x9F.
inline constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

// The character (a Unicode code point) of one byte.
constexpr char16_t toUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte);
}

// The byte of a character, or -1 when Windows-1252 has none for it.
constexpr int fromUnicode(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace windows1252
