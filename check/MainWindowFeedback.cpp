#include "check/MainWindowFeedback.h"

#include "feedback/Cursors.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TMarkupLabel.h"
#include "widgets/TFlatProgressBar.h"

MainWindowFeedback::MainWindowFeedback(TFlatProgressBar &progress, TMarkupLabel &status)
    : m_progress(progress), m_status(status) {}

void MainWindowFeedback::progressStart(int steps) {
    m_progress.SetPosition(0);
    m_progress.SetMax(steps);
}

void MainWindowFeedback::progressStep(int steps) {
    m_progress.SetPosition(m_progress.Position() + steps);
    // Per record the message loop runs only when its last run is 2 ms ago (see TMessagePump):
    // a run costs more than reading a record.
    m_messages.ProcessPendingPerRecord();
}

void MainWindowFeedback::progressEnd() {
    m_progress.SetPosition(0);
}

void MainWindowFeedback::setWaiting(bool waiting) {
    if (waiting)
        ShowWaitCursor();
    else
        ResetCursor();
}

void MainWindowFeedback::processMessages() {
    m_messages.ProcessPending();
}

void MainWindowFeedback::setStatusText(const QString &markup) {
    m_status.SetText(markup);
}

void MainWindowFeedback::showMessage(const QString &markup) {
    ShowMessageBox(markup);
}

bool MainWindowFeedback::askYesNo(const QString &markup) {
    return AskYesNo(markup);
}
