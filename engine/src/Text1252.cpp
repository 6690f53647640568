#include "Text1252.h"

#include "Windows1252.h"

namespace dbeng {

namespace {

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

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        appendUtf8(out, windows1252::toUnicode(static_cast<unsigned char>(ch)));
    return out;
}

uint32_t nextUtf8(std::string_view text, size_t &pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(pos);
    size_t n = 0;
    uint32_t cp = 0;
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (c < 0x80) {
        ++pos;
        return c;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 2;
        cp = c & 0x0F;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 3;
        cp = c & 0x07;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    }
    if (n == 0 || pos + n >= text.size() || byte(pos + 1) < low || byte(pos + 1) > high) {
        ++pos;
        return kNotUtf8 + c;
    }
    for (size_t k = 1; k <= n; ++k) {
        if (!isContinuation(byte(pos + k))) {
            ++pos;
            return kNotUtf8 + c;
        }
        cp = (cp << 6) | (byte(pos + k) & 0x3F);
    }
    pos += n + 1;
    return cp;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const uint32_t cp = nextUtf8(text, i);
        const int b = cp >= kNotUtf8 ? -1 : windows1252::fromUnicode(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
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
