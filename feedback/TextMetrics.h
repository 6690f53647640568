// The height of a line of text as the program's windows were laid out for: the font's
// Windows ascent and descent (which leave room for accents above capitals), each rounded to
// whole pixels. The markup layout stacks its lines by these; the toolkit's own metrics agree for
// the Tahoma that Fonts::setup loads at its bitmap sizes, but round outline sizes up.
#pragma once

#include <QFont>

namespace TextMetrics {

struct LineMetrics {
    int ascent = 0;
    int descent = 0;
    int height() const { return ascent + descent; }
};

// Falls back to Qt's metrics for a font without the Windows metrics.
LineMetrics of(const QFont &font);
inline int lineHeight(const QFont &font) {
    return of(font).height();
}

} // namespace TextMetrics
