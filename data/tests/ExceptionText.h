// The message of the exception of type E that f raises, or "<no exception>": tests compare the
// framework's and the engine's exact texts with it.
#pragma once

#include <QString>

template <typename E, typename F>
QString messageOf(F &&f) {
    try {
        f();
    } catch (const E &e) {
        return e.message();
    }
    return QStringLiteral("<no exception>");
}
