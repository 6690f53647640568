#include "platform/TextLines.h"

namespace TextLines {

TSplit split(const QByteArray &bytes) {
    TSplit result;
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    else
        result.StoppedAtNul = true;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        result.Lines.append(bytes.mid(start, i - start));
        i += (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < end)
        result.Lines.append(bytes.mid(start, end - start));
    return result;
}

QByteArray join(const QList<QByteArray> &lines) {
    QByteArray out;
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const QByteArray &line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace TextLines
