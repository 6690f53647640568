// What the check needs from whoever shows it: the progress of a long operation, the wait
// cursor, a share of the message loop, the status line, messages and the yes/no question. The
// main window shows them on its widgets; dupcheck-host prints what a reader of its output needs
// and answers every question with no.
//
// Texts are markup (bold, line breaks), as the check's status line and message box show them.
#pragma once

#include <QString>

class CheckFeedback {
public:
    virtual ~CheckFeedback() = default;

    // A long operation over this many steps begins: the progress shows 0 of them.
    virtual void progressStart(int steps) = 0;
    // Steps are done (one per record, or the records a walk passed at once): the progress
    // advances by their number, and the message loop runs when its last run is long enough ago
    // (input arrives, the window repaints).
    virtual void progressStep(int steps) = 0;
    // The progress goes back to 0 at the end of an operation.
    virtual void progressEnd() = 0;
    // The wait cursor while true, the default cursor again when false.
    virtual void setWaiting(bool waiting) = 0;
    // Lets the message loop process what is pending, once, now.
    virtual void processMessages() = 0;

    virtual void setStatusText(const QString &markup) = 0;
    virtual void showMessage(const QString &markup) = 0;
    virtual bool askYesNo(const QString &markup) = 0;
};
