// The height of a line of text as the program's windows were laid out for: the font's
// Windows ascent and descent (which leave room for accents above capitals), each rounded to
// whole pixels. Qt's own height uses the typographic metrics, which for Tahoma at 11 pixels
// give 11 instead of 13 and let accented capitals touch the line above.
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
