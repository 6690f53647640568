// Tests that a widget draws its text whole: the marks of capitals ("Ä", "É") and the descenders
// ("g", "y") must not be cut at the edge of the rectangle the text is drawn in.
//
// A test renders the widget once with a text and once without it (or with another text); the
// rows where the two images differ are the text's ink. Drawn whole, that ink is exactly as tall
// as the same text drawn on its own in the same font.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>

namespace TextInk {

struct Rows {
    int top = 0;
    int bottom = -1;
    int height() const { return bottom - top + 1; }
    bool operator==(const Rows &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const Rows &rows) {
    return out << "rows " << rows.top << ".." << rows.bottom;
}

// The rows in which the two images differ inside `area` (their common part when empty).
inline std::optional<Rows> differingRows(const QImage &a, const QImage &b, QRect area = {}) {
    const QRect common = a.rect() & b.rect();
    const QRect r = area.isNull() ? common : area & common;
    std::optional<Rows> rows;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (!rows)
                    rows = Rows{y, y};
                rows->bottom = y;
                break;
            }
        }
    }
    return rows;
}

// The rows the text covers when drawn alone, unclipped, with its baseline at row 0.
inline Rows glyphRows(const QFont &font, const QString &text) {
    const int size = 4 * std::max(16, font.pixelSize());
    QImage blank(size * std::max<int>(1, int(text.size())), 2 * size, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage inked = blank;
    {
        QPainter p(&inked);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(size / 2, size, text);
    }
    const auto rows = differingRows(inked, blank);
    return rows ? Rows{rows->top - size, rows->bottom - size} : Rows{};
}

// A widget's picture with the given text; `area` limits the comparison to where the text may
// stand (for widgets whose size follows the text).
using Render = std::function<QImage(const QString &text)>;

// The checks every text-drawing place must pass, as gtest assertions: "Ä" differs from "A" above
// the top of the "A", and the ink of "Ä", of "É" with descenders and of the German letters
// together is as tall as those texts drawn alone in the font.
inline ::testing::AssertionResult drawnWhole(const Render &render, const QFont &font,
                                             const QString &blankText = QString(),
                                             QRect area = {}) {
    const QImage blank = render(blankText);
    const QImage plainA = render(QStringLiteral("A"));
    const QImage umlautA = render(QStringLiteral("Ä"));
    const auto a = differingRows(plainA, blank, area);
    if (!a)
        return ::testing::AssertionFailure() << "\"A\" is not drawn at all";
    const auto marks = differingRows(umlautA, plainA, area);
    if (!marks || marks->top >= a->top)
        return ::testing::AssertionFailure()
               << "\"Ä\" looks like \"A\" above the letter (\"A\" at " << *a << ")";
    for (const QString &text :
         {QStringLiteral("Ä"), QStringLiteral("Éyg"), QStringLiteral("Äpfel Öl Übel ßpy")}) {
        const auto drawn = differingRows(render(text), blank, area);
        const Rows alone = glyphRows(font, text);
        if (!drawn || drawn->height() != alone.height())
            return ::testing::AssertionFailure()
                   << "\"" << text.toStdString() << "\" drawn " << (drawn ? *drawn : Rows{})
                   << ", alone " << alone;
    }
    return ::testing::AssertionSuccess();
}

// Renders a widget as it shows on the screen.
template <typename Widget>
QImage picture(Widget &widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// A picture put at the top left of a canvas of a fixed size in a plain colour, so that pictures of
// widgets whose size follows their text can be compared.
inline QImage onCanvas(const QImage &picture, QSize size, const QColor &color) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(color);
    QPainter p(&canvas);
    p.drawImage(0, 0, picture);
    return canvas;
}

} // namespace TextInk
