#include "platform/Cp1252.h"

#include "Windows1252.h"

namespace Cp1252 {

QChar toQChar(unsigned char byte) {
    return QChar(windows1252::toUnicode(byte));
}

QString toQString(const char *bytes, qsizetype length) {
    if (!bytes)
        return {};
    if (length < 0)
        length = qsizetype(strlen(bytes));
    QString out(length, Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < length; ++i)
        d[i] = toQChar(static_cast<unsigned char>(bytes[i]));
    return out;
}

char fromQChar(QChar c) {
    int b = windows1252::fromUnicode(c.unicode());
    return b < 0 ? '?' : static_cast<char>(b);
}

bool isRepresentable(QChar c) {
    return windows1252::fromUnicode(c.unicode()) >= 0;
}

QByteArray fromQString(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = fromQChar(text[i]);
    return out;
}

} // namespace Cp1252
