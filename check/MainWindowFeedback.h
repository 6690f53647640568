// The check shown on the main window: the progress bar PG, the screen-wide wait cursor, the
// throttled share of the message loop (TMessagePump), the status line rlb and the message box.
#pragma once

#include "check/core/CheckFeedback.h"
#include "platform/ui/TMessagePump.h"

class TFlatProgressBar;
class TMarkupLabel;

class MainWindowFeedback : public CheckFeedback {
public:
    MainWindowFeedback(TFlatProgressBar &progress, TMarkupLabel &status);

    void progressStart(int steps) override;
    void progressStep(int steps) override;
    void progressEnd() override;
    void setWaiting(bool waiting) override;
    void processMessages() override;
    void setStatusText(const QString &markup) override;
    void showMessage(const QString &markup) override;
    bool askYesNo(const QString &markup) override;

private:
    TFlatProgressBar &m_progress;
    TMarkupLabel &m_status;
    TMessagePump m_messages;
};
