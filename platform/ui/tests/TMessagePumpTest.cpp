#include "platform/ui/TMessagePump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// Counts the events posted to it that the message loop delivered.
class Receiver : public QObject {
public:
    static QEvent::Type type() {
        static const auto t = QEvent::Type(QEvent::registerEventType());
        return t;
    }
    void post() { QCoreApplication::postEvent(this, new QEvent(type())); }
    int delivered = 0;

protected:
    void customEvent(QEvent *event) override {
        if (event->type() == type())
            ++delivered;
    }
};

class MessagePumpTest : public ::testing::Test {
protected:
    // Nothing left over from earlier tests.
    void SetUp() override { QCoreApplication::processEvents(); }
    Receiver receiver;
};

} // namespace

TEST_F(MessagePumpTest, ProcessPendingDeliversWhatIsPendingEveryTime) {
    TMessagePump pump(1h);
    for (int i = 1; i <= 3; ++i) {
        receiver.post();
        pump.ProcessPending();
        EXPECT_EQ(receiver.delivered, i);
    }
}

TEST_F(MessagePumpTest, TheFirstRecordRunsTheLoopWhenNothingRanBefore) {
    TMessagePump pump(1h);
    receiver.post();
    pump.ProcessPendingPerRecord();
    EXPECT_EQ(receiver.delivered, 1);
}

TEST_F(MessagePumpTest, RecordsWithinTheSliceLeaveMessagesPendingUntilTheNextRun) {
    TMessagePump pump(1h);
    pump.ProcessPending();
    receiver.post();
    for (int record = 0; record < 1000; ++record)
        pump.ProcessPendingPerRecord();
    EXPECT_EQ(receiver.delivered, 0) << "the loop ran less than an hour ago";
    pump.ProcessPending();
    EXPECT_EQ(receiver.delivered, 1) << "nothing was lost meanwhile";
}

TEST_F(MessagePumpTest, ARecordAfterTheSliceRunsTheLoop) {
    TMessagePump pump(1ms);
    pump.ProcessPending();
    receiver.post();
    QThread::msleep(5);
    pump.ProcessPendingPerRecord();
    EXPECT_EQ(receiver.delivered, 1);
}

TEST_F(MessagePumpTest, WithoutASliceEveryRecordRunsTheLoop) {
    TMessagePump pump(0ns);
    for (int i = 1; i <= 3; ++i) {
        receiver.post();
        pump.ProcessPendingPerRecord();
        EXPECT_EQ(receiver.delivered, i);
    }
}
