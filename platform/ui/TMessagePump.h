// A long operation's share of the message loop. The long operations let the message loop
// process the pending messages once before they start and then once per record, so that the
// window repaints and input arrives (to be refused by the busy flag) while they run.
//
// A run with nothing pending still costs about 0.7 µs: a poll of the window system's
// connection and a look at every event source. That is more than reading a record in index
// order, and on a million articles the message loop alone took half of the check's time.
// Nobody notices input that is handled 2 ms later, so per record the loop runs only when its
// last run is at least that long ago; reading the clock costs a few hundredths of a run.
#pragma once

#include <QElapsedTimer>

#include <chrono>

class TMessagePump {
public:
    static constexpr std::chrono::nanoseconds DefaultSlice = std::chrono::milliseconds(2);

    explicit TMessagePump(std::chrono::nanoseconds slice = DefaultSlice);

    // Processes the pending messages once, now.
    void ProcessPending();
    // Once per record: processes the pending messages when their last run here is at least a
    // slice ago, or when there was none.
    void ProcessPendingPerRecord();

private:
    qint64 m_sliceNs;
    QElapsedTimer m_lastRun;
};
