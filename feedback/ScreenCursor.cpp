#include "feedback/ScreenCursor.h"

#include "platform/ui/Application.h"

#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace {

struct Entry {
    QList<QCursor> frames;
    QList<TAniStep> steps; // empty for a plain cursor
};

// Lives as a child of the application object: cursors hold pixmaps, which must go before the
// application does.
class CursorTable : public QObject {
public:
    explicit CursorTable(QObject *parent) : QObject(parent) {
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this,
                [] { guarded([] { ScreenCursor::advanceAnimation(); }); });
    }
    QHash<int, Entry> entries;
    int current = 0;
    int step = 0;
    bool overriding = false;
    QTimer timer;
};

CursorTable &table() {
    static QPointer<CursorTable> instance;
    if (!instance) {
        Q_ASSERT(QCoreApplication::instance());
        instance = new CursorTable(QCoreApplication::instance());
    }
    return *instance;
}

QCursor makeCursor(const TIconImage &image) {
    return QCursor(QPixmap::fromImage(image.Image), image.HotSpot.x(), image.HotSpot.y());
}

QCursor frameOfStep(const Entry &entry, int step) {
    if (entry.steps.isEmpty())
        return entry.frames.value(0, QCursor(Qt::ArrowCursor));
    return entry.frames.value(entry.steps[step].Frame, QCursor(Qt::ArrowCursor));
}

void show(const QCursor &cursor) {
    CursorTable &t = table();
    if (t.overriding) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        t.overriding = true;
    }
}

void scheduleStep() {
    CursorTable &t = table();
    auto it = t.entries.constFind(t.current);
    if (it == t.entries.constEnd())
        return;
    const Entry &entry = *it;
    if (entry.steps.size() > 1)
        t.timer.start(AnimatedCursorFile::jiffiesToMilliseconds(entry.steps[t.step].Jiffies));
}

} // namespace

namespace ScreenCursor {

namespace {
void replaced(int number) {
    // A cursor replaced while it is shown starts over with its new frames.
    CursorTable &t = table();
    if (t.overriding && number == t.current) {
        t.timer.stop();
        t.step = 0;
        show(cursorFor(number));
        scheduleStep();
    }
}
} // namespace

void enter(int number, const TIconImage &image) {
    table().entries[number] = Entry{{makeCursor(image)}, {}};
    replaced(number);
}

void enter(int number, const TAniCursor &cursor) {
    Entry entry;
    for (const TIconImage &frame : cursor.Frames)
        entry.frames.append(makeCursor(frame));
    entry.steps = cursor.Steps;
    table().entries[number] = entry;
    replaced(number);
}

bool has(int number) {
    return table().entries.contains(number);
}

int frameCount(int number) {
    return int(table().entries.value(number).frames.size());
}

QCursor cursorFor(int number) {
    auto it = table().entries.constFind(number);
    if (it == table().entries.constEnd())
        return QCursor(Qt::ArrowCursor);
    return frameOfStep(*it, 0);
}

void set(int number) {
    CursorTable &t = table();
    if (number == 0) {
        t.timer.stop();
        t.current = 0;
        t.step = 0;
        if (t.overriding) {
            QGuiApplication::restoreOverrideCursor();
            t.overriding = false;
        }
        return;
    }
    // Asking again for the cursor already shown lets its animation run on undisturbed.
    if (t.overriding && number == t.current)
        return;
    t.timer.stop();
    t.current = number;
    t.step = 0;
    show(cursorFor(number));
    if (t.entries.contains(number))
        scheduleStep();
}

int current() {
    return table().current;
}

int currentStep() {
    return table().step;
}

bool animating() {
    return table().timer.isActive();
}

void advanceAnimation() {
    CursorTable &t = table();
    if (!t.overriding || !t.entries.contains(t.current))
        return;
    const Entry &entry = *t.entries.constFind(t.current);
    if (entry.steps.size() < 2)
        return;
    t.step = (t.step + 1) % int(entry.steps.size());
    show(frameOfStep(entry, t.step));
    scheduleStep();
}

} // namespace ScreenCursor
