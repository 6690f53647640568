// Windows-1252 and UTF-8 for the engine, which has no Qt. The C interface's texts are
// Windows-1252 (one table for the whole program: Windows1252.h); the engine composes its
// messages in UTF-8 and converts them once, where they leave through the C interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dbeng {

std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 code become '?', and so does every byte that is not part
// of a well-formed UTF-8 sequence: a path in a message shows what it can and never garbles
// the rest of the text.
std::string utf8ToCp1252(std::string_view text);

// The next character of UTF-8 text at pos (advancing pos past it), or kNotUtf8 + the byte for
// a byte that does not start a well-formed sequence (advancing by that one byte).
constexpr uint32_t kNotUtf8 = 0x110000;
uint32_t nextUtf8(std::string_view text, size_t &pos);

// Upper case of one Windows-1252 byte (letters with and without accents; ß and µ stay).
unsigned char upper1252(unsigned char c);
std::string upper1252(std::string_view text);

} // namespace dbeng
