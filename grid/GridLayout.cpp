#include "grid/GridLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

int GridGeometry::maxTopRow() const {
    return std::max(1, rowCount - fullRows + 1);
}

int GridGeometry::maxScrollX() const {
    return std::max(0, contentWidth - view.width());
}

QRect GridGeometry::titleRect(int column, int scrollX) const {
    return QRect(view.left() + lefts[column] - scrollX, view.top(), widths[column], titleHeight);
}

QRect GridGeometry::cellRect(int column, int row, int topRow, int scrollX) const {
    return QRect(view.left() + lefts[column] - scrollX, dataTop() + (row - topRow) * rowPitch,
                 widths[column], rowHeight);
}

QRect GridGeometry::rowRect(int row, int topRow) const {
    return QRect(view.left(), dataTop() + (row - topRow) * rowPitch, view.width(), rowHeight);
}

GridGeometry::Hit GridGeometry::hitTest(QPoint point, int topRow, int scrollX) const {
    Hit hit;
    if (!view.contains(point))
        return hit;
    const int x = point.x() - view.left() + scrollX;
    for (int c = 0; c < columnCount(); ++c) {
        if (x >= lefts[c] && x < lefts[c] + widths[c] + colLine) {
            hit.column = c;
            break;
        }
    }
    if (titlePitch > 0 && point.y() < view.top() + titlePitch) {
        hit.area = Area::Title;
        return hit;
    }
    hit.area = Area::Data;
    const int row = topRow + (point.y() - dataTop()) / rowPitch;
    hit.row = row >= 1 && row <= rowCount ? row : 0;
    return hit;
}

int GridGeometry::separatorAt(int x, int scrollX, int tolerance) const {
    const int cx = x - view.left() + scrollX;
    for (int c = columnCount() - 1; c >= 0; --c) {
        const int edge = lefts[c] + widths[c];
        if (std::abs(cx - edge) <= tolerance)
            return c;
    }
    return -1;
}

std::pair<int, int> GridGeometry::rowsIn(const QRect &exposed, int topRow) const {
    const int y0 = std::max(exposed.top(), dataTop());
    const int y1 = std::min(exposed.bottom(), view.bottom());
    if (y1 < y0 || rowCount <= 0)
        return {1, 0};
    const int first = std::max(1, topRow + (y0 - dataTop()) / rowPitch);
    const int last =
        std::min({rowCount, topRow + (y1 - dataTop()) / rowPitch, topRow + visibleRows - 1});
    return {first, last};
}

namespace GridLayout {

GridGeometry arrange(const GridLayoutInput &in) {
    GridGeometry g;
    const int b = std::max(0, in.border);
    g.client =
        QRect(b, b, std::max(0, in.size.width() - 2 * b), std::max(0, in.size.height() - 2 * b));
    g.titleHeight = std::max(0, in.titleHeight);
    g.titlePitch = g.titleHeight > 0 ? g.titleHeight + in.rowLine : 0;
    g.rowHeight = std::max(1, in.rowHeight);
    g.rowPitch = g.rowHeight + std::max(0, in.rowLine);
    g.colLine = std::max(0, in.colLine);
    g.rowCount = std::max(0, in.rowCount);
    const int n = int(in.widths.size());
    const int ext = std::max(0, in.scrollBarExtent);

    // A bar takes space and can only make the other one necessary too, so this settles after
    // at most three rounds.
    int fullRows = 0;
    for (int round = 0; round < 3; ++round) {
        g.view =
            QRect(g.client.topLeft(), QSize(std::max(0, g.client.width() - (g.vBar ? ext : 0)),
                                            std::max(0, g.client.height() - (g.hBar ? ext : 0))));
        if (in.autoSize) {
            QList<double> shares = in.shares;
            shares.resize(n, 0.0);
            g.widths =
                distribute(shares, std::max(0, g.view.width() - n * g.colLine), in.minColumnWidth);
        } else {
            g.widths = in.widths;
        }
        g.contentWidth = std::accumulate(g.widths.begin(), g.widths.end(), 0) + n * g.colLine;
        const int area = std::max(0, g.view.height() - g.titlePitch);
        fullRows = (area + std::max(0, in.rowLine)) / g.rowPitch;
        const bool needV = g.rowCount > fullRows;
        const bool needH = g.contentWidth > g.view.width();
        if (needV == g.vBar && needH == g.hBar)
            break;
        g.vBar = g.vBar || needV;
        g.hBar = g.hBar || needH;
    }
    const int area = std::max(0, g.view.height() - g.titlePitch);
    g.fullRows = std::max(1, fullRows);
    g.visibleRows = (area + g.rowPitch - 1) / g.rowPitch;

    g.lefts.resize(n);
    int x = 0;
    for (int c = 0; c < n; ++c) {
        g.lefts[c] = x;
        x += g.widths[c] + g.colLine;
    }
    if (g.vBar)
        g.vBarRect = QRect(g.view.right() + 1, g.client.top(), ext, g.view.height());
    if (g.hBar)
        g.hBarRect = QRect(g.client.left(), g.view.bottom() + 1, g.view.width(), ext);
    if (g.vBar && g.hBar)
        g.corner = QRect(g.view.right() + 1, g.view.bottom() + 1, ext, ext);
    return g;
}

QList<int> distribute(const QList<double> &shares, int total, int minWidth) {
    const int n = int(shares.size());
    QList<int> result(n, minWidth);
    if (n == 0 || total <= qint64(n) * minWidth)
        return result;
    QList<double> weights(n);
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        weights[i] = std::isfinite(shares[i]) ? std::max(0.0, shares[i]) : 0.0;
        sum += weights[i];
    }
    if (sum <= 0)
        weights.fill(1.0);

    // Columns whose share falls below the minimum get the minimum; the others share the rest.
    QList<bool> fixed(n, false);
    int remaining = total;
    double freeSum = 0;
    for (bool changed = true; changed;) {
        changed = false;
        remaining = total;
        freeSum = 0;
        for (int i = 0; i < n; ++i) {
            if (fixed[i])
                remaining -= minWidth;
            else
                freeSum += weights[i];
        }
        for (int i = 0; i < n; ++i) {
            if (!fixed[i] && weights[i] * remaining < minWidth * freeSum) {
                fixed[i] = true;
                changed = true;
            }
        }
    }
    if (freeSum <= 0)
        return result;

    struct Part {
        int index;
        double fraction;
    };
    QList<Part> parts;
    int given = 0;
    for (int i = 0; i < n; ++i) {
        if (fixed[i])
            continue;
        const double exact = weights[i] * remaining / freeSum;
        result[i] = int(std::floor(exact));
        given += result[i];
        parts.append({i, exact - std::floor(exact)});
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part &a, const Part &b) { return a.fraction > b.fraction; });
    for (int k = 0; given < remaining && k < parts.size(); ++k, ++given)
        ++result[parts[k].index];
    return result;
}

QList<int> resizeWithin(const QList<int> &widths, int column, int width, int total, int minWidth) {
    const int n = int(widths.size());
    if (column < 0 || column >= n)
        return widths;
    if (n == 1)
        return {std::max(total, minWidth)};
    const bool rightGives = column < n - 1;
    const int giveFrom = rightGives ? column + 1 : 0;
    const int giveTo = rightGives ? n - 1 : n - 2;
    const int giving = giveTo - giveFrom + 1;
    int keep = 0;
    for (int c = 0; c < n; ++c) {
        if (c != column && (c < giveFrom || c > giveTo))
            keep += widths[c];
    }
    const int maxWidth = std::max(minWidth, total - keep - giving * minWidth);
    width = std::clamp(width, minWidth, maxWidth);
    QList<double> shares;
    for (int c = giveFrom; c <= giveTo; ++c)
        shares.append(widths[c]);
    const QList<int> given = distribute(shares, total - keep - width, minWidth);
    QList<int> result = widths;
    result[column] = width;
    for (int c = giveFrom; c <= giveTo; ++c)
        result[c] = given[c - giveFrom];
    return result;
}

} // namespace GridLayout
