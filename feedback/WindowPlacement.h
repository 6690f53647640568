// Where a window goes when it is placed: onto the monitor that holds the active (or main)
// window, kept inside that monitor, and either centred in the work area (primary monitor) or
// the monitor's whole rectangle, or kept inside the work area. Pure arithmetic on rectangles,
// so that every monitor arrangement can be tried without a screen.
#pragma once

#include "feedback/ScreenLayout.h"

#include <QRect>

#include <optional>

struct TPlacementInput {
    QRect Window;                   // the window's current bounds
    bool Centred = false;           // its position mode is "centred on the screen"
    std::optional<QRect> Reference; // the active window's (or main window's) bounds
    TScreenLayout Layout;
};

struct TPlacement {
    QRect Bounds;
    int Monitor = -1;    // index of the chosen monitor, -1 without monitors
    bool Primary = true; // the chosen monitor counts as the primary one
};

// The monitor whose rectangle overlaps the reference by more than half the reference's width
// across and more than half its height down, the first such in order; -1 when none does.
int MonitorOfReference(const QRect &reference, const QList<QRect> &monitors);
// The monitor that holds most of the rectangle (the nearest one when none holds any of it).
int MonitorOfRect(const QRect &rect, const QList<QRect> &monitors);

TPlacement ComputePlacement(const TPlacementInput &input);
