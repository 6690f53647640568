// The engine's process-wide defaults (DbSetDateFormat, DbSetDecimals, DbSetExact, ...).
#pragma once

#include "DateFormat.h"

#include <cstdint>

namespace dbeng {

struct EngineSettings {
    DateFormat dateFormat = DateFormat::defaultFormat();
    uint16_t decimals = 2;
    bool showDeleted = false;
    bool exact = true;
    uint16_t serverTypes = 1;
    uint16_t cachedCursors = 25;
    uint16_t cachedTables = 0;
};

// A copy taken under the settings lock: conversions use one consistent snapshot.
EngineSettings settingsSnapshot();
template <typename F>
void changeSettings(F &&change);
void lockSettings();
void unlockSettings();
EngineSettings &settingsUnlocked();

template <typename F>
void changeSettings(F &&change) {
    lockSettings();
    try {
        change(settingsUnlocked());
    } catch (...) {
        unlockSettings();
        throw;
    }
    unlockSettings();
}

} // namespace dbeng
