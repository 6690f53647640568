#include "widgets/TFlatProgressBar.h"

#include "platform/ui/Application.h"
#include "widgets/AdvColors.h"
#include "widgets/FlatProgressGeometry.h"
#include "widgets/ParentColor.h"

#include <QEvent>

#include <QPaintEvent>
#include <QPainter>
#include <limits>

namespace G = FlatProgressGeometry;

TFlatProgressBar::TFlatProgressBar(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(147, 16);
    followParentColor();
    recompute();
    update();
}

void TFlatProgressBar::SetMin(int min) {
    if (min > m_position)
        m_position = min;
    m_min = min;
    fixRange();
    m_position = std::clamp(m_position, m_min, m_max);
    recompute();
    update();
}

void TFlatProgressBar::SetMax(int max) {
    if (max < m_position)
        m_position = max;
    m_max = max;
    fixRange();
    m_position = std::clamp(m_position, m_min, m_max);
    recompute();
    update();
}

void TFlatProgressBar::fixRange() {
    if (m_min == std::numeric_limits<int>::max())
        m_min = m_min - 1;
    if (qint64(m_max) - m_min <= 0)
        m_max = m_min + 1;
}

void TFlatProgressBar::SetPosition(int position) {
    position = std::clamp(position, m_min, m_max);
    if (position == m_position)
        return;
    syncGeometry();
    const bool grows = position > m_position;
    m_position = position;
    if (m_smooth) {
        const int len = G::smoothLength(m_position, m_min, m_max, length());
        if (len == m_smoothLen)
            return;
        const int old = m_smoothLen;
        m_smoothLen = len;
        if (grows) {
            const QRect now = G::smoothRect(m_position, m_min, m_max, size(), vertical());
            // Only the part beyond the old end is new.
            QRect fresh = now;
            if (vertical())
                fresh.setBottom(now.bottom() - old);
            else
                fresh.setLeft(now.left() + old);
            repaint(fresh);
        } else {
            update();
        }
        return;
    }
    const int filled = G::filledBlocks(m_position, m_min, m_max, m_places);
    if (filled == m_filled)
        return;
    const int old = m_filled;
    m_filled = filled;
    if (grows)
        repaint(G::blocksRect(old, filled - 1, size(), vertical(),
                              layoutDirection() == Qt::RightToLeft));
    else
        update();
}

void TFlatProgressBar::SetOrientation(TProgressBarOrientation orientation) {
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    snap();
    recompute();
    update();
}

void TFlatProgressBar::SetSmooth(bool on) {
    if (on == m_smooth)
        return;
    m_smooth = on;
    snap();
    recompute();
    update();
}

void TFlatProgressBar::SetColor(TColor color) {
    m_color = color;
    m_parentColor = false;
    if (m_useAdvColors)
        applyAdvColors();
    update();
}

void TFlatProgressBar::SetParentColor(bool on) {
    m_parentColor = on;
    followParentColor();
}

void TFlatProgressBar::SetColorElement(TColor color) {
    m_colorElement = color;
    update();
}

void TFlatProgressBar::SetColorBorder(TColor color) {
    m_colorBorder = color;
    update();
}

void TFlatProgressBar::SetUseAdvColors(bool on) {
    m_useAdvColors = on;
    if (on)
        applyAdvColors();
}

void TFlatProgressBar::SetAdvColorBorder(int steps) {
    m_advColorBorder = std::clamp(steps, 0, 100);
    if (m_useAdvColors)
        applyAdvColors();
}

void TFlatProgressBar::SetTransparent(bool on) {
    m_transparent = on;
    update();
}

void TFlatProgressBar::followParentColor() {
    if (!m_parentColor || !parentWidget())
        return;
    m_color = ParentColor::of(parentWidget());
    if (m_useAdvColors)
        applyAdvColors();
    update();
}

void TFlatProgressBar::applyAdvColors() {
    m_colorBorder = AdvColors::darker(m_color, m_advColorBorder);
    update();
}

void TFlatProgressBar::snap() {
    if (m_smooth)
        return;
    const int snapped = G::snappedLength(length());
    if (snapped == length())
        return;
    if (vertical())
        resize(width(), snapped);
    else
        resize(snapped, height());
}

int TFlatProgressBar::Places() {
    syncGeometry();
    return m_places;
}

int TFlatProgressBar::FilledBlocks() {
    syncGeometry();
    return m_filled;
}

void TFlatProgressBar::syncGeometry() {
    // A hidden widget gets no resize event until it is shown, so the size is checked here.
    if (length() != m_geometryLength)
        recompute();
}

void TFlatProgressBar::recompute() {
    m_geometryLength = length();
    m_places = G::places(length());
    m_filled = G::filledBlocks(m_position, m_min, m_max, m_places);
    m_smoothLen = G::smoothLength(m_position, m_min, m_max, length());
}

void TFlatProgressBar::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    guarded([&] {
        snap();
        recompute();
        update();
    });
}

void TFlatProgressBar::changeEvent(QEvent *e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::ParentChange)
        guarded([&] { followParentColor(); });
    else if (e->type() == QEvent::LayoutDirectionChange)
        update();
}

void TFlatProgressBar::paintEvent(QPaintEvent *e) {
    QPainter p(this);
    const QRect r = rect();
    if (!m_transparent)
        p.fillRect(e->rect(), Colors::toQColor(m_color));
    p.setPen(Colors::toQColor(m_colorBorder));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QColor element = Colors::toQColor(m_colorElement);
    if (m_smooth) {
        p.fillRect(G::smoothRect(m_position, m_min, m_max, size(), vertical()), element);
        return;
    }
    syncGeometry();
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    for (int i = 0; i < m_filled; ++i) {
        const QRect block = G::blockRect(i, size(), vertical(), rtl);
        if (block.intersects(e->rect()))
            p.fillRect(block, element);
    }
}
