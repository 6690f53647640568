// The last error of the calling thread (number and German text), as DbGetLastError reports it.
#pragma once

#include <cstdint>
#include <string>

namespace dbeng {

struct LastError {
    uint32_t code = 0;
    std::string text;
    uint32_t record = 0; // DbException::record()
};

LastError &lastError();
// Records an error; the text is cut to the engine's limit of 600 characters.
void setLastError(uint32_t code, const std::string &text, uint32_t record = 0);
// The fixed German description of an error number.
std::string errorDescription(uint32_t code);

} // namespace dbeng
