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

qsizetype firstWithoutCode(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isRepresentable(text[i]))
            return i;
    }
    return -1;
}

QString describeCharacter(const QString &text, qsizetype index) {
    char32_t code = text[index].unicode();
    qsizetype length = 1;
    if (text[index].isHighSurrogate() && index + 1 < text.size() &&
        text[index + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text[index], text[index + 1]);
        length = 2;
    }
    const QString number = QStringLiteral("U+%1")
                               .arg(uint(code), code > 0xFFFF ? 5 : 4, 16, QLatin1Char('0'))
                               .toUpper();
    if (!QChar::isPrint(code))
        return QStringLiteral("das nicht druckbare Zeichen (%1)").arg(number);
    return QStringLiteral("das Zeichen „%1“ (%2)").arg(text.mid(index, length), number);
}

QByteArray fromQString(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = fromQChar(text[i]);
    return out;
}

} // namespace Cp1252
