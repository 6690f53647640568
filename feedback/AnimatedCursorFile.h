// Animated cursor files: RIFF with form type ACON. The "anih" chunk gives the number of frames
// and steps, the display rate and the flags; "rate" gives each step's display time and "seq "
// the frame each step shows; the "LIST" chunk of type "fram" holds the frames, one icon or
// cursor file per "icon" chunk.
#pragma once

#include "feedback/IconFile.h"

#include <QList>
#include <QString>

#include <optional>

struct TAniStep {
    int Frame;   // index into Frames
    int Jiffies; // display time in sixtieths of a second, at least 1
};

struct TAniCursor {
    QList<TIconImage> Frames;
    QList<TAniStep> Steps;
};

namespace AnimatedCursorFile {

// Reads an animated cursor. The reader is strict: a chunk that reaches past its container, a
// header of the wrong size, counts that do not match the data, a step showing a frame that does
// not exist or a frame that is not a valid icon or cursor all refuse the whole file (nullopt,
// the reason in `error`), so that the caller falls back to the default cursor.
std::optional<TAniCursor> parse(const QByteArray &data, QString *error = nullptr);
// The same for a file; an unreadable file is refused too.
std::optional<TAniCursor> load(const QString &path, QString *error = nullptr);

// Milliseconds of a display time in jiffies, limited to what a timer can wait.
int jiffiesToMilliseconds(qint64 jiffies);

} // namespace AnimatedCursorFile
