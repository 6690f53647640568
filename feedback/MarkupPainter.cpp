#include "feedback/MarkupPainter.h"

#include "feedback/TextMetrics.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

constexpr int kGradientSteps = 64;

QColor qcolor(TColor color) {
    return Colors::toQColor(color);
}

// The visible part of a rectangle: text areas of autosizing labels reach far beyond the
// surface, and tiling such an area whole would cost much for nothing.
QRect visiblePart(const QPainter &painter, const QRect &rect) {
    QRect bounds = painter.device()
                       ? QRect(0, 0, painter.device()->width(), painter.device()->height())
                       : rect;
    if (painter.hasClipping())
        bounds &= painter.clipBoundingRect().toAlignedRect();
    return rect & painter.transform().inverted().mapRect(bounds);
}

// Draws text with tabs expanded to every eighth average character width from the run's start.
void drawExpanded(QPainter &painter, const QFontMetrics &fm, int x, int baseline,
                  const QString &text) {
    if (!text.contains(u'\t')) {
        painter.drawText(x, baseline, text);
        return;
    }
    const int tab = std::max(1, 8 * fm.averageCharWidth());
    int offset = 0;
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        painter.drawText(x + offset, baseline, parts.at(i));
        offset += fm.horizontalAdvance(parts.at(i));
        if (i + 1 < parts.size())
            offset = (offset / tab + 1) * tab;
    }
}

void drawRunText(QPainter &painter, const MarkupRunItem &run, int dx, int dy, TColor color) {
    const QFontMetrics fm(run.font);
    QString text = run.text;
    if (run.elide && run.x + run.width > run.right)
        text = fm.elidedText(text, Qt::ElideRight, std::max(0, run.right - run.x - dx));
    const int x = run.x + dx;
    const int baseline = run.bottom + dy - TextMetrics::of(run.font).descent;
    painter.setFont(run.font);
    painter.setPen(qcolor(color));
    drawExpanded(painter, fm, x, baseline, text);
    // The mnemonic underlines, one per character after a single ampersand.
    for (int index : run.underlined) {
        if (index >= text.size())
            continue;
        const int left = x + fm.horizontalAdvance(text.left(index));
        const int width = fm.horizontalAdvance(text.at(index));
        const int y = baseline + std::max(1, fm.underlinePos());
        painter.fillRect(QRect(left, y, std::max(1, width), std::max(1, fm.lineWidth())),
                         qcolor(color));
    }
}

void paintRun(QPainter &painter, const MarkupRunItem &run) {
    if (!run.visible)
        return;
    painter.save();
    if (run.angle != 0) {
        const int baseline = run.bottom - TextMetrics::of(run.font).descent;
        painter.translate(run.x, baseline);
        painter.rotate(-run.angle);
        painter.translate(-run.x, -baseline);
    } else {
        // Each run is drawn in a box from its start to the rectangle's right edge.
        constexpr int kFar = 1 << 20;
        painter.setClipRect(
            QRect(run.x, run.bottom - kFar, std::max(0, run.right - run.x), 2 * kFar),
            Qt::IntersectClip);
    }
    if (run.background != clNone)
        painter.fillRect(QRect(run.x, run.bottom - run.height, run.width, run.height),
                         qcolor(run.background));
    if (run.shadow)
        drawRunText(painter, run, run.shadowOffset, run.shadowOffset, run.shadowColor);
    drawRunText(painter, run, 0, 0, run.color);
    if (run.errorMark) {
        // A red zig-zag under the run: points two pixels apart, one pixel below and above the
        // run's bottom by turns, the lower one where x is divisible by four.
        QPolygon zigzag;
        const int right = run.x + run.width;
        for (int x = run.x & ~1; x <= right; x += 2)
            zigzag << QPoint(x, (x & 3) == 0 ? run.bottom + 1 : run.bottom - 1);
        if (zigzag.size() > 1) {
            painter.setPen(QPen(QColor(255, 0, 0), 1));
            painter.drawPolyline(zigzag);
        }
    }
    painter.restore();
}

void paintGradient(QPainter &painter, const MarkupGradient &g) {
    const QColor from = qcolor(g.from);
    const QColor to = qcolor(g.to);
    for (int i = 0; i < kGradientSteps; ++i) {
        const int left = g.rect.left() + g.rect.width() * i / kGradientSteps;
        const int right = g.rect.left() + g.rect.width() * (i + 1) / kGradientSteps;
        if (right <= left)
            continue;
        auto channel = [i](int a, int b) { return a + (b - a) * i / (kGradientSteps - 1); };
        const QColor c(channel(from.red(), to.red()), channel(from.green(), to.green()),
                       channel(from.blue(), to.blue()));
        painter.fillRect(QRect(left, g.rect.top(), right - left, g.rect.height()), c);
    }
}

} // namespace

void PaintMarkup(QPainter &painter, const MarkupLayout &layout) {
    painter.save();
    for (const MarkupItem &item : layout.items) {
        if (const auto *fill = std::get_if<MarkupFill>(&item)) {
            const QRect r = visiblePart(painter, fill->rect);
            if (!r.isEmpty())
                painter.fillRect(r, qcolor(fill->color));
        } else if (const auto *gradient = std::get_if<MarkupGradient>(&item)) {
            paintGradient(painter, *gradient);
        } else if (const auto *tile = std::get_if<MarkupTile>(&item)) {
            const QRect r = visiblePart(painter, tile->rect);
            if (!r.isEmpty())
                painter.drawTiledPixmap(r, tile->picture, r.topLeft() - tile->rect.topLeft());
        } else if (const auto *run = std::get_if<MarkupRunItem>(&item)) {
            paintRun(painter, *run);
        } else if (const auto *pic = std::get_if<MarkupPictureItem>(&item)) {
            painter.drawPixmap(pic->rect, pic->picture);
        } else if (const auto *rule = std::get_if<MarkupRule>(&item)) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(rule->x1, rule->y, rule->x2, rule->y);
        }
    }
    painter.restore();
}
