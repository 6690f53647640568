#include "SqlIdentifier.h"

namespace dbeng {

std::string quoteIdentifier(const std::string &name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace dbeng
