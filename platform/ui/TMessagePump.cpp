#include "platform/ui/TMessagePump.h"

#include <QCoreApplication>

TMessagePump::TMessagePump(std::chrono::nanoseconds slice) : m_sliceNs(slice.count()) {}

void TMessagePump::ProcessPending() {
    QCoreApplication::processEvents();
    // Measured from the end of the run: a run that painted for a while still leaves the
    // records after it a whole slice.
    m_lastRun.start();
}

void TMessagePump::ProcessPendingPerRecord() {
    if (m_lastRun.isValid() && m_lastRun.nsecsElapsed() < m_sliceNs)
        return;
    ProcessPending();
}
