#include "feedback/ScreenLayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
ScreenLayout::Provider &providerStorage() {
    static ScreenLayout::Provider provider;
    return provider;
}
} // namespace

namespace ScreenLayout {

TScreenLayout current() {
    if (providerStorage())
        return providerStorage()();
    TScreenLayout layout;
    QScreen *primary = QGuiApplication::primaryScreen();
    if (primary) {
        layout.Monitors.append(primary->geometry());
        layout.WorkArea = primary->availableGeometry();
    }
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            layout.Monitors.append(screen->geometry());
    }
    return layout;
}

void setProvider(Provider provider) {
    providerStorage() = std::move(provider);
}

} // namespace ScreenLayout
