#include "widgets/PanelPainting.h"

#include <QPainter>

namespace PanelPainting {

void frame(QPainter &p, QRect &rect, const QColor &topLeft, const QColor &bottomRight, int width) {
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        p.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        p.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        p.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

void bevel(QPainter &p, QRect &rect, TPanel::TBevelCut cut, int width, const QColor &face) {
    const QColor light = Colors::toQColor(clBtnHighlight);
    const QColor dark = Colors::toQColor(clBtnShadow);
    if (cut == TPanel::bvSpace)
        frame(p, rect, face, face, width);
    else if (cut == TPanel::bvLowered)
        frame(p, rect, dark, light, width);
    else
        frame(p, rect, light, dark, width);
}

int frameWidth(TPanel::TBevelCut outer, TPanel::TBevelCut inner, int bevelWidth, int borderWidth) {
    return (outer != TPanel::bvNone ? bevelWidth : 0) + borderWidth +
           (inner != TPanel::bvNone ? bevelWidth : 0);
}

} // namespace PanelPainting
