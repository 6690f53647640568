#include "EngineSettings.h"

#include <mutex>

namespace dbeng {

namespace {
std::mutex settingsMutex;
}

EngineSettings &settingsUnlocked() {
    static EngineSettings settings;
    return settings;
}

void lockSettings() {
    settingsMutex.lock();
}
void unlockSettings() {
    settingsMutex.unlock();
}

EngineSettings settingsSnapshot() {
    std::lock_guard<std::mutex> guard(settingsMutex);
    return settingsUnlocked();
}

} // namespace dbeng
