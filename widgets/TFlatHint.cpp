#include "widgets/TFlatHint.h"

#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "widgets/FlatHintWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QTimer>

namespace {
// Every TFlatHint alive, the one in force last.
QList<TFlatHint *> &hints() {
    static QList<TFlatHint *> list;
    return list;
}
} // namespace

TFlatHint::TFlatHint(QObject *owner)
    : QObject(owner), m_font(Fonts::make(QStringLiteral("Tahoma"), -11)) {
    hints().append(this);
    if (qApp)
        qApp->installEventFilter(this);
}

TFlatHint::~TFlatHint() {
    hints().removeAll(this);
    delete m_window.data();
}

TFlatHint *TFlatHint::current() {
    return hints().isEmpty() ? nullptr : hints().last();
}

void TFlatHint::SetMaxHintWidth(int width) {
    m_maxHintWidth =
        std::max(width, 2 + FlatHintLayout::ArrowStrip + 2 * FlatHintLayout::Padding + 1);
}

QWidget *TFlatHint::HintWindow() const {
    return m_window.data();
}

void TFlatHint::ActivateHint(const QPoint &globalPos, const QString &text) {
    HideHint();
    if (text.isEmpty())
        return;
    auto *window = new FlatHintWindow(*this, text);
    m_window = window;
    // Below the mouse pointer, kept on the screen.
    QPoint pos = globalPos + QPoint(0, 20);
    if (QScreen *screen = QGuiApplication::screenAt(globalPos)) {
        const QRect avail = screen->availableGeometry();
        pos.setX(std::clamp(pos.x(), avail.left(),
                            std::max(avail.left(), avail.right() - window->width() + 1)));
        if (pos.y() + window->height() > avail.bottom() + 1)
            pos.setY(globalPos.y() - window->height() - 4);
    }
    window->move(pos);
    window->show();
    // A hint nobody looks at goes away by itself, as tooltips do.
    QTimer::singleShot(10000, window, &QWidget::close);
}

void TFlatHint::HideHint() {
    m_hintOwner = nullptr;
    if (m_window)
        m_window->close();
    m_window = nullptr;
}

bool TFlatHint::eventFilter(QObject *watched, QEvent *event) {
    if (current() != this)
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget)
            return false;
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = widget->toolTip();
        // A widget without a hint passes the request on to its parent.
        if (text.isEmpty())
            return false;
        guarded([&] {
            if (m_window && m_hintOwner == widget && m_window->text() == text)
                return;
            ActivateHint(help->globalPos(), text);
            m_hintOwner = widget;
        });
        return true;
    }
    case QEvent::Leave:
        if (m_window && watched == m_hintOwner)
            guarded([&] { HideHint(); });
        break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
        if (m_window && watched != m_window)
            guarded([&] { HideHint(); });
        break;
    default:
        break;
    }
    return false;
}
