// The one exception type inside the engine. Every C entry point catches it and turns it into
// the thread's last error; nothing else may cross the C boundary.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dbeng {

class DbException : public std::runtime_error {
public:
    DbException(uint32_t code, const std::string &text, uint32_t record = 0)
        : std::runtime_error(text), code_(code), record_(record) {}
    uint32_t code() const { return code_; }
    // The record number the failure concerns when it is not the call's own record (a record
    // of a batch sent later); 0 when none.
    uint32_t record() const { return record_; }

private:
    uint32_t code_;
    uint32_t record_;
};

// Shortens a path for messages: the texts are limited to 600 characters and must still say
// what failed after the file name.
std::string quoteFile(const std::string &path);

} // namespace dbeng
