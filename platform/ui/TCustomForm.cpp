#include "platform/ui/TCustomForm.h"

#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TCustomForm::TCustomForm(QWidget *owner) : QWidget(owner, Qt::Window), m_color(clBtnFace) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetColor(clBtnFace);
}

TCustomForm::~TCustomForm() {
    if (m_keyPreview)
        qApp->removeEventFilter(this);
}

void TCustomForm::SetColor(TColor color) {
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, Colors::toQColor(color));
    setPalette(p);
    setAutoFillBackground(true);
    update();
}

void TCustomForm::SetKeyPreview(bool on) {
    if (on == m_keyPreview)
        return;
    m_keyPreview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
    m_borderStyle = style;
    Qt::WindowFlags flags = Qt::Window;
    switch (style) {
    case bsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags =
            Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool;
        break;
    default:
        break;
    }
    if (m_stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    const bool visible = isVisible();
    setWindowFlags(flags);
    if (visible)
        show();
}

void TCustomForm::SetStayOnTop(bool on) {
    m_stayOnTop = on;
    SetBorderStyle(m_borderStyle);
}

void TCustomForm::SetModalResult(int result) {
    m_modalResult = result;
    if (result != mrNone && m_modalLoop)
        close();
}

int TCustomForm::ShowModal() {
    Q_ASSERT(!m_modalLoop);
    m_modalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    m_modalLoop = &loop;
    show();
    BringToFront();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
    return m_modalResult;
}

void TCustomForm::MoveToScreenCentre(const QWidget *reference) {
    QScreen *screen = reference ? reference->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void TCustomForm::PostClose() {
    PostMessage(this, WM_CLOSE);
}

void TCustomForm::BringToFront() {
    raise();
    activateWindow();
}

void TCustomForm::KeyDown(quint16 &, Qt::KeyboardModifiers) {}

void TCustomForm::KeyPress(QChar &) {}

void TCustomForm::MessageReceived(TMessageEvent &) {}

bool TCustomForm::event(QEvent *e) {
    if (e->type() == messageEventType(WM_CLOSE)) {
        guarded([&] { close(); });
        return true;
    }
    if (auto *m = dynamic_cast<TMessageEvent *>(e)) {
        guarded([&] { MessageReceived(*m); });
        return true;
    }
    return QWidget::event(e);
}

void TCustomForm::closeEvent(QCloseEvent *e) {
    QWidget::closeEvent(e);
    if (e->isAccepted() && m_modalLoop) {
        if (m_modalResult == mrNone)
            m_modalResult = mrCancel;
        m_modalLoop->exit(m_modalResult);
    }
}

bool TCustomForm::eventFilter(QObject *watched, QEvent *e) {
    if (!m_keyPreview || (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, e);
    auto *target = qobject_cast<QWidget *>(watched);
    if (!target || (target != this && !isAncestorOf(target)) || e->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, e);
    // Qt offers a key event to every widget on its way up to the window; the window looks at
    // it once, when it reaches the widget it was sent to first: the focus widget.
    QWidget *focus = QApplication::focusWidget();
    if (focus ? target != focus : target != this)
        return false;
    auto *ke = static_cast<QKeyEvent *>(e);
    quint16 key = virtualKeyFromQt(ke->key());
    if (auto *claimer = dynamic_cast<TKeyClaimer *>(target)) {
        if (claimer->ClaimsKey(key, ke->modifiers()))
            return false;
    }
    bool swallow = false;
    guarded([&] {
        if (key != 0) {
            KeyDown(key, ke->modifiers());
            if (key == 0) {
                swallow = true;
                return;
            }
        }
        const QString text = ke->text();
        if (!text.isEmpty()) {
            QChar c = text[0];
            KeyPress(c);
            if (c.isNull())
                swallow = true;
        }
    });
    return swallow;
}
