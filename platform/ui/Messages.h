// Posted window messages. A window posts a message to itself so that the work runs after the
// running handler has returned: the start-up message 1524 of a module window, and WM_CLOSE,
// whose delivery closes the window.
#pragma once

#include <QEvent>
#include <QObject>

constexpr int WM_CLOSE = 16;
constexpr int WM_USER = 1024;

// The event type of a posted message: messages from WM_USER on keep their number (1524 is
// event type 1524); WM_CLOSE gets a type of its own in the user range.
QEvent::Type messageEventType(int message);

class TMessageEvent : public QEvent {
public:
    TMessageEvent(int message, qintptr wParam = 0, qintptr lParam = 0);
    int Msg;
    qintptr WParam;
    qintptr LParam;
};

// Posts the message to the target's event queue.
void PostMessage(QObject *target, int message, qintptr wParam = 0, qintptr lParam = 0);
