#include "widgets/FlatButtonGeometry.h"

#include <QPainterPath>

namespace {

// Centring across the layout's direction halves with rounding down, also when the glyph or
// caption is larger than the button.
int floorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

} // namespace

namespace FlatButtonGeometry {

Placement place(QSize client, QSize glyph, QSize caption, TFlatButton::TButtonLayout layout,
                int margin, int spacing, QPoint offset) {
    const bool horizontal =
        layout == TFlatButton::blGlyphLeft || layout == TFlatButton::blGlyphRight;
    const QSize glyphSize = glyph.isEmpty() ? QSize(0, 0) : glyph;
    const QSize captionSize = caption.isEmpty() ? QSize(0, 0) : caption;

    QPoint glyphPos, captionPos;
    if (horizontal) {
        glyphPos.setY(floorHalf(client.height() - glyphSize.height() + 1));
        captionPos.setY(floorHalf(client.height() - captionSize.height() + 1));
    } else {
        glyphPos.setX(floorHalf(client.width() - glyphSize.width() + 1));
        captionPos.setX(floorHalf(client.width() - captionSize.width() + 1));
    }

    if (captionSize.isEmpty() || glyphSize.isEmpty())
        spacing = 0;

    const int length = horizontal ? client.width() : client.height();
    const int glyphLength = horizontal ? glyphSize.width() : glyphSize.height();
    const int captionLength = horizontal ? captionSize.width() : captionSize.height();
    if (margin == -1) {
        if (spacing == -1) {
            margin = (length - glyphLength - captionLength) / 3;
            spacing = margin;
        } else {
            margin = (length - glyphLength - spacing - captionLength + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (length - margin - glyphLength - captionLength) / 2;
    }

    switch (layout) {
    case TFlatButton::blGlyphLeft:
        glyphPos.setX(margin);
        captionPos.setX(glyphPos.x() + glyphSize.width() + spacing);
        break;
    case TFlatButton::blGlyphRight:
        glyphPos.setX(client.width() - margin - glyphSize.width());
        captionPos.setX(glyphPos.x() - spacing - captionSize.width());
        break;
    case TFlatButton::blGlyphTop:
        glyphPos.setY(margin);
        captionPos.setY(glyphPos.y() + glyphSize.height() + spacing);
        break;
    case TFlatButton::blGlyphBottom:
        glyphPos.setY(client.height() - margin - glyphSize.height());
        captionPos.setY(glyphPos.y() - spacing - captionSize.height());
        break;
    }
    return {glyphPos + offset, QRect(captionPos + offset, captionSize)};
}

GlyphChoice chooseGlyph(int numGlyphs, TFlatButton::TButtonState state) {
    switch (state) {
    case TFlatButton::bsUp:
        return {0, false};
    case TFlatButton::bsDisabled:
        return numGlyphs >= 2 ? GlyphChoice{1, false} : GlyphChoice{0, true};
    case TFlatButton::bsDown:
        return {numGlyphs >= 3 ? 2 : 0, false};
    case TFlatButton::bsExclusive:
        return {numGlyphs >= 4 ? 3 : numGlyphs == 3 ? 2 : 0, false};
    }
    return {};
}

QSize imageSize(QSize strip, int numGlyphs) {
    if (strip.isEmpty() || numGlyphs < 1)
        return {0, 0};
    return {strip.width() / numGlyphs, strip.height()};
}

int impliedNumGlyphs(QSize strip) {
    if (strip.isEmpty() || strip.width() % strip.height() != 0)
        return 0;
    const int multiple = strip.width() / strip.height();
    return multiple > 4 ? 1 : multiple;
}

QRect shortcutLabelRect(QSize client, TFlatButton::TButtonLayout layout) {
    int dx = 0, dy = 0;
    switch (layout) {
    case TFlatButton::blGlyphLeft:
        dx = 10 - client.width() / 2;
        break;
    case TFlatButton::blGlyphRight:
        dx = 30;
        dy = 20;
        break;
    case TFlatButton::blGlyphTop:
        dx = 12;
        dy = -20;
        break;
    case TFlatButton::blGlyphBottom:
        dx = -20;
        dy = 20;
        break;
    }
    // Left and right edges move by dx; the top is then fixed at 1, the bottom moves by dy.
    const int left = dx, right = client.width() + dx;
    const int top = 1, bottom = client.height() + dy;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRegion roundedOutline(QSize size, int round) {
    if (round <= 0 || size.isEmpty())
        return QRegion(QRect(QPoint(0, 0), size));
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), round / 2.0, round / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

QPoint contentOffset(TFlatButton::TButtonState state) {
    return state == TFlatButton::bsDown || state == TFlatButton::bsExclusive ? QPoint(1, 1)
                                                                             : QPoint(0, 0);
}

} // namespace FlatButtonGeometry
