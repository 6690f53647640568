// The window a TFlatHint shows a hint in, and the arithmetic of its layout: a frame of one
// pixel, the arrow strip at the left, the text wrapped at the greatest hint width.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

class TFlatHint;

namespace FlatHintLayout {

constexpr int ArrowStrip = 12; // width of the arrow strip inside the frame
constexpr int Padding = 4;     // space around the text

struct Layout {
    QSize size;  // the whole window
    QRect arrow; // the arrow strip
    QRect text;  // where the text is drawn
};
// The window for a text in a font; lines wrap at word boundaries so that the window is no wider
// than maxWidth (a single word longer than that is broken).
Layout compute(const QString &text, const QFont &font, int maxWidth);

} // namespace FlatHintLayout

class FlatHintWindow : public QWidget {
    Q_OBJECT
public:
    FlatHintWindow(const TFlatHint &style, const QString &text);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TFlatHint &m_style;
    QString m_text;
    FlatHintLayout::Layout m_layout;
};
