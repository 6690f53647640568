#include "feedback/WindowPlacement.h"

#include <algorithm>
#include <climits>

namespace {
// Edges as the placement rules speak of them: right and bottom lie just outside the rectangle.
int rightOf(const QRect &r) {
    return r.x() + r.width();
}
int bottomOf(const QRect &r) {
    return r.y() + r.height();
}
} // namespace

int MonitorOfReference(const QRect &reference, const QList<QRect> &monitors) {
    for (int i = 0; i < monitors.size(); ++i) {
        const QRect &m = monitors[i];
        const int across =
            std::min(rightOf(m), rightOf(reference)) - std::max(m.x(), reference.x());
        const int down =
            std::min(bottomOf(m), bottomOf(reference)) - std::max(m.y(), reference.y());
        if (across > reference.width() / 2 && down > reference.height() / 2)
            return i;
    }
    return -1;
}

int MonitorOfRect(const QRect &rect, const QList<QRect> &monitors) {
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < monitors.size(); ++i) {
        const QRect common = monitors[i].intersected(rect);
        const qint64 area = qint64(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (best >= 0 || monitors.isEmpty())
        return best;
    qint64 nearest = LLONG_MAX;
    for (int i = 0; i < monitors.size(); ++i) {
        const QRect &m = monitors[i];
        const qint64 dx = std::max({0, m.x() - rightOf(rect), rect.x() - rightOf(m)});
        const qint64 dy = std::max({0, m.y() - bottomOf(rect), rect.y() - bottomOf(m)});
        if (dx * dx + dy * dy < nearest) {
            nearest = dx * dx + dy * dy;
            best = i;
        }
    }
    return best;
}

TPlacement ComputePlacement(const TPlacementInput &in) {
    TPlacement result;
    result.Bounds = in.Window;
    const QList<QRect> &monitors = in.Layout.Monitors;
    if (monitors.isEmpty())
        return result;

    int monitor = in.Reference ? MonitorOfReference(*in.Reference, monitors) : -1;
    bool primary = monitor == 0;
    if (monitor < 0) {
        monitor = MonitorOfRect(in.Window, monitors);
        primary = true;
    }
    result.Monitor = monitor;
    result.Primary = primary;
    const QRect &m = monitors[monitor];
    const QRect &work = in.Layout.WorkArea;

    int left = in.Window.x();
    int top = in.Window.y();
    int width = in.Window.width();
    int height = in.Window.height();

    // Keep the window on the chosen monitor. A window outside it sideways is taken as placed
    // relative to the monitor's left edge.
    if (rightOf(m) < in.Window.x() + width || in.Window.x() < m.x())
        left = m.x() + in.Window.x();
    if (left < m.x())
        left = m.x();
    // That shift can carry a window past the monitor's right edge, out of sight on a monitor
    // that does not start at 0; keep it on the monitor as the bottom edge is kept below.
    if (left + width > rightOf(m))
        left = std::max(m.x(), rightOf(m) - width);
    if (bottomOf(m) < in.Window.y() + height)
        top = bottomOf(m) - height;
    if (in.Window.y() < m.y())
        top = m.y();

    if (in.Centred) {
        const QRect area = primary ? work : m;
        const int x = area.x() + (area.width() - width) / 2;
        const int y = area.y() + (area.height() - height) / 2;
        if (bottomOf(area) < y + height)
            height = bottomOf(area) - y;
        if (rightOf(area) < x + width)
            width = rightOf(area) - x;
        result.Bounds = QRect(x, y, width, height);
        return result;
    }
    if (primary) {
        // The top bound is 0, not the work area's top: a task bar at the top may cover the
        // window's title, as it always has.
        left = std::max(left, work.x());
        top = std::max(top, 0);
        if (rightOf(work) < left + width)
            left = std::max(0, rightOf(work) - width);
        if (bottomOf(work) < top + height)
            top = std::max(0, bottomOf(work) - height);
    }
    result.Bounds = QRect(left, top, width, height);
    return result;
}
