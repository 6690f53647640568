// The monitors and the desktop work area as window placement sees them. The real layout comes
// from the screens Qt reports; a provider can stand in for it, so that placement can be tried
// on monitor arrangements the machine does not have.
#pragma once

#include <QList>
#include <QRect>

#include <functional>

struct TScreenLayout {
    QList<QRect> Monitors; // in the system's order; the first is the primary monitor
    QRect WorkArea;        // the primary monitor without the task bar
};

namespace ScreenLayout {

TScreenLayout current();

using Provider = std::function<TScreenLayout()>;
// Replaces the real screens; an empty function restores them.
void setProvider(Provider provider);

} // namespace ScreenLayout
