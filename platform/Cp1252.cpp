#include "platform/Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F are the only bytes that differ from Latin-1; 0 marks the five unassigned codes,
// which we map to the C1 control of the same value, as the system's converter does.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int encode(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace Cp1252 {

QChar toQChar(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kHighTable[byte - 0x80]);
    return QChar(byte);
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
    int b = encode(c.unicode());
    return b < 0 ? '?' : static_cast<char>(b);
}

bool isRepresentable(QChar c) {
    return encode(c.unicode()) >= 0;
}

QByteArray fromQString(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = fromQChar(text[i]);
    return out;
}

} // namespace Cp1252
