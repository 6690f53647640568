// The server kinds a connection or the engine defaults accept, as a set, and their engine code
// (local 1, remote 2, internet 4, summed over the set).
#pragma once

#include <QFlags>

#include <cstdint>

enum TDbServerType { stDB_REMOTE = 0x1, stDB_LOCAL = 0x2, stDB_INTERNET = 0x4 };
Q_DECLARE_FLAGS(TDbServerTypes, TDbServerType)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDbServerTypes)

inline uint16_t DbServerTypeCode(TDbServerTypes types) {
    return uint16_t((types.testFlag(stDB_LOCAL) ? 1 : 0) + (types.testFlag(stDB_REMOTE) ? 2 : 0) +
                    (types.testFlag(stDB_INTERNET) ? 4 : 0));
}
