// For the benchmarks that call the engine's C interface: a failed call ends the benchmark with
// the engine's own text of the failure, as a figure measured past a failure would mislead.
#pragma once

#include "dbeng.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void die(const char *what) {
    uint32_t code = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = "";
    uint16_t len = sizeof text;
    DbGetLastError(&code, text, &len);
    std::fprintf(stderr, "%s failed: %u %s\n", what, code, text);
    std::exit(1);
}

#define CHECK(call)                                                                                \
    do {                                                                                           \
        if ((call) != DBE_SUCCESS)                                                                 \
            die(#call);                                                                            \
    } while (0)
