#include "widgets/FlatHintWindow.h"

#include "widgets/TFlatHint.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
} // namespace

namespace FlatHintLayout {

Layout compute(const QString &text, const QFont &font, int maxWidth) {
    const QFontMetrics fm(font);
    const int chrome = 2 + ArrowStrip + 2 * Padding;
    const int textMax = std::max(1, maxWidth - chrome);
    const QRect bound = fm.boundingRect(QRect(0, 0, textMax, 100000), kTextFlags, text);
    const int textWidth = std::min(textMax, bound.width());
    const int textHeight = std::max(bound.height(), fm.height());
    Layout l;
    l.size = QSize(chrome + textWidth, 2 + 2 * Padding + textHeight);
    l.arrow = QRect(1, 1, ArrowStrip, l.size.height() - 2);
    l.text = QRect(1 + ArrowStrip + Padding, 1 + Padding, textWidth, textHeight);
    return l;
}

} // namespace FlatHintLayout

FlatHintWindow::FlatHintWindow(const TFlatHint &style, const QString &text)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_style(style), m_text(text) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("FlatHintWindow"));
    m_layout = FlatHintLayout::compute(text, style.Font(), style.MaxHintWidth());
    resize(m_layout.size);
}

void FlatHintWindow::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Colors::toQColor(m_style.Color()));
    p.setPen(Colors::toQColor(m_style.ColorBorder()));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.fillRect(m_layout.arrow, Colors::toQColor(m_style.ColorArrowBackground()));
    // A small arrow pointing at the text, level with its first line.
    const QFontMetrics fm(m_style.Font());
    const int cy = m_layout.text.top() + fm.height() / 2;
    const int cx = m_layout.arrow.left() + m_layout.arrow.width() / 2 - 1;
    const QPolygon arrow({QPoint(cx - 2, cy - 4), QPoint(cx + 2, cy), QPoint(cx - 2, cy + 4)});
    p.setPen(Qt::NoPen);
    p.setBrush(Colors::toQColor(m_style.ColorArrow()));
    p.drawPolygon(arrow);
    p.setFont(m_style.Font());
    p.setPen(Colors::toQColor(m_style.FontColor()));
    p.drawText(m_layout.text, kTextFlags, m_text);
}
