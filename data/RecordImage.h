#pragma once

// Values in an engine record image: the engine lays them out unaligned, in the machine's own
// byte order, so they are copied in and out rather than read through a cast pointer.

#include <cstdint>
#include <cstring>

namespace RecordImage {

template <typename T>
T load(const uint8_t *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void store(uint8_t *p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Whether n bytes are all zero: an empty value of the numeric and date types.
inline bool allZero(const uint8_t *p, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

} // namespace RecordImage
