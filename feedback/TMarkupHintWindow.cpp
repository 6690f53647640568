#include "feedback/TMarkupHintWindow.h"

#include "feedback/RenderMarkup.h"
#include "platform/ui/Application.h"

#include <QPainter>

namespace {
constexpr int kMargin = 3;
constexpr int kMaxHintWidth = 400;
} // namespace

TMarkupHintWindow::TMarkupHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TMarkupHintWindow::ShowAt(const QString &markup, const QPoint &globalPos) {
    m_markup = markup;
    MarkupRequest request;
    request.text = markup;
    request.rect = QRect(kMargin, kMargin, kMaxHintWidth, 65535);
    request.draw = false;
    request.font = font();
    request.fontColor = clInfoText;
    request.backgroundColor = clInfoBk;
    const MarkupLayout layout = LayoutMarkup(request);
    resize(layout.maxWidth + 2 * kMargin + 2, layout.textHeight + 2 * kMargin);
    move(globalPos);
    show();
    update();
}

void TMarkupHintWindow::paintEvent(QPaintEvent *) {
    guarded([&] {
        QPainter painter(this);
        painter.fillRect(rect(), Colors::toQColor(clInfoBk));
        painter.setPen(Colors::toQColor(clInfoText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        MarkupRequest request;
        request.text = m_markup;
        request.rect = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
        request.font = font();
        request.fontColor = clInfoText;
        request.backgroundColor = clInfoBk;
        RenderMarkup(&painter, request);
    });
}
