#include "Text1252.h"

#include <cstdint>

namespace dbeng {

namespace {

// Unicode code points of 0x80..0x9F; 0 where Windows-1252 has no character.
constexpr uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t codePoint(unsigned char c) {
    if (c >= 0x80 && c < 0xA0)
        return high[c - 0x80] ? high[c - 0x80] : c;
    return c;
}

int toByte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (high[i] == cp)
            return 0x80 + i;
    return -1;
}

void appendUtf8(std::string &out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        appendUtf8(out, codePoint(static_cast<unsigned char>(ch)));
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp = c;
        size_t n = 1;
        if (c >= 0xC0 && c < 0xE0 && i + 1 < text.size()) {
            cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            n = 2;
        } else if (c >= 0xE0 && c < 0xF0 && i + 2 < text.size()) {
            cp = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3F);
            n = 3;
        } else if (c >= 0xF0 && i + 3 < text.size()) {
            cp = 0x110000; // outside Windows-1252 anyway
            n = 4;
        } else if (c >= 0x80) {
            cp = 0x110000;
        }
        int b = toByte(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        i += n;
    }
    return out;
}

unsigned char upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return c;
    }
}

std::string upper1252(std::string_view text) {
    std::string out(text);
    for (char &ch : out)
        ch = static_cast<char>(upper1252(static_cast<unsigned char>(ch)));
    return out;
}

} // namespace dbeng
