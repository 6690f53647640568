// How often this process's remote sessions have waited for the server's answer: each
// statement, each preparation, each pipeline of statements sent together and each part of a
// COPY counts once. The engine's own tests and benchmarks read it to show what an operation
// costs on the wire; it is no part of the C interface.
#pragma once

#include <cstdint>

namespace dbeng {

uint64_t remoteRoundTrips();

} // namespace dbeng
