#include "platform/ui/Messages.h"

#include <QCoreApplication>

QEvent::Type messageEventType(int message) {
    if (message >= WM_USER)
        return QEvent::Type(message);
    return QEvent::Type(QEvent::User + message);
}

TMessageEvent::TMessageEvent(int message, qintptr wParam, qintptr lParam)
    : QEvent(messageEventType(message)), Msg(message), WParam(wParam), LParam(lParam) {}

void PostMessage(QObject *target, int message, qintptr wParam, qintptr lParam) {
    QCoreApplication::postEvent(target, new TMessageEvent(message, wParam, lParam));
}
