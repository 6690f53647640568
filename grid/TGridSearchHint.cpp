#include "grid/TGridSearchHint.h"

#include "platform/Colors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
// The module's hint windows: a frame in its hint colour round the usual hint background.
constexpr TColor kFrameColor = rgbColor(128, 128, 255);
constexpr int kPadding = 3;
} // namespace

TGridSearchHint::TGridSearchHint(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("SearchHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFont(Fonts::make(QStringLiteral("Tahoma"), -11));
}

QSize TGridSearchHint::SizeFor(const QString &text) const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(text) + 2 * kPadding + 2, fm.height() + 2 * kPadding);
}

void TGridSearchHint::ShowAt(const QString &text, QPoint globalTopLeft) {
    m_text = text;
    setGeometry(QRect(globalTopLeft, SizeFor(text)));
    if (!isVisible())
        show();
    update();
}

void TGridSearchHint::paintEvent(QPaintEvent *) {
    guarded([&] {
        QPainter p(this);
        p.fillRect(rect(), Colors::toQColor(clInfoBk));
        p.setPen(Colors::toQColor(kFrameColor));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(Colors::toQColor(clInfoText));
        p.setFont(font());
        p.drawText(rect().adjusted(kPadding + 1, kPadding, -kPadding, -kPadding),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
    });
}
