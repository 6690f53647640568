#include "platform/Cp1252.h"

#include "Windows1252.h"

#include <array>

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

void appendUtf8(QByteArray &out, const char *bytes, qsizetype length) {
    // The UTF-8 of each byte, made once: one to three bytes.
    struct Sequence {
        char bytes[3];
        quint8 length;
    };
    static const auto table = [] {
        std::array<Sequence, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = windows1252::toUnicode(static_cast<unsigned char>(b));
            Sequence &s = t[size_t(b)];
            if (c < 0x80) {
                s = {{char(c)}, 1};
            } else if (c < 0x800) {
                s = {{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))}, 2};
            } else {
                s = {{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                      char(0x80 | (c & 0x3F))},
                     3};
            }
        }
        return t;
    }();
    const qsizetype start = out.size();
    out.resize(start + 3 * length);
    char *d = out.data() + start;
    for (qsizetype i = 0; i < length; ++i) {
        const Sequence &s = table[static_cast<unsigned char>(bytes[i])];
        d[0] = s.bytes[0];
        d[1] = s.bytes[1];
        d[2] = s.bytes[2];
        d += s.length;
    }
    out.truncate(d - out.constData());
}

Utf8Problem fromUtf8Exactly(QByteArrayView utf8, QByteArray &out) {
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype n = utf8.size();
    out.resize(n); // Windows-1252 never takes more bytes than UTF-8
    char *d = out.data();
    qsizetype i = 0;
    while (i < n && p[i] < 0x80) // most values are ASCII
        *d++ = char(p[i++]);
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            *d++ = char(c);
            ++i;
            continue;
        }
        // The length of the sequence and the smallest character it may stand for (a longer
        // sequence for a smaller character is not UTF-8).
        qsizetype length = 0;
        char32_t cp = 0, least = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
            least = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
            least = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
            least = 0x10000;
        }
        bool valid = length > 0 && i + length <= n;
        for (qsizetype k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        valid = valid && cp >= least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!valid) {
            out.clear();
            Utf8Problem problem;
            problem.kind = Utf8Problem::NotUtf8;
            problem.offset = i;
            problem.byte = c;
            return problem;
        }
        const int byte = windows1252::fromUnicode(cp);
        if (byte < 0) {
            out.clear();
            Utf8Problem problem;
            problem.kind = Utf8Problem::NoCode;
            problem.offset = i;
            problem.character = cp;
            return problem;
        }
        *d++ = char(byte);
        i += length;
    }
    out.truncate(d - out.constData());
    return {};
}

QByteArray fromQString(const QString &text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = fromQChar(text[i]);
    return out;
}

} // namespace Cp1252
