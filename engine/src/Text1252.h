// Windows-1252 helpers for the engine, which has no Qt: the C interface speaks Windows-1252,
// the file system and the engine's own message texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace dbeng {

std::string cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 code become '?'.
std::string utf8ToCp1252(std::string_view text);
// Upper case of one Windows-1252 byte (letters with and without accents; ß and µ stay).
unsigned char upper1252(unsigned char c);
std::string upper1252(std::string_view text);

} // namespace dbeng
