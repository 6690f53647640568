// The line rules of the host's plain text files (the add-on menu file, colour schemes, their
// debug lists): on reading, a line ends at CR LF, at a lone CR or at a lone LF, a line break at
// the very end does not make an empty last line, and the text ends at the first NUL byte; on
// writing, every line, the last one included, ends with CR LF. Lines stay bytes, so a line the
// program does not change is written back exactly as it was read.
#pragma once

#include <QByteArray>
#include <QList>

namespace TextLines {

struct TSplit {
    QList<QByteArray> Lines;
    // Whether a NUL byte ended the text before the end of the bytes.
    bool StoppedAtNul = false;
};

TSplit split(const QByteArray &bytes);
QByteArray join(const QList<QByteArray> &lines);

} // namespace TextLines
