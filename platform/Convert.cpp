#include "platform/Convert.h"

#include <limits>

namespace Convert {

QString trimLeft(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() <= 0x20)
        ++i;
    return text.mid(i);
}

QString trimRight(const QString &text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1].unicode() <= 0x20)
        --n;
    return text.left(n);
}

QString trim(const QString &text) {
    return trimLeft(trimRight(text));
}

std::optional<qint64> toInt64(const QString &text) {
    const QString t = trim(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size())
        return std::nullopt;
    quint64 value = 0;
    for (; i < t.size(); ++i) {
        int digit;
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > quint64(std::numeric_limits<qint64>::max()) + 1)
            return std::nullopt;
    }
    if (!negative && value > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return negative ? qint64(0 - value) : qint64(value);
}

std::optional<qint32> toInt(const QString &text) {
    const QString t = trim(text);
    const bool hex = t.contains(u'$') || t.contains(u'x') || t.contains(u'X');
    auto v = toInt64(t);
    if (!v)
        return std::nullopt;
    // Hexadecimal texts name a bit pattern: $FFFFFFFF is -1, as for 32-bit colour values.
    if (hex && *v >= 0 && *v <= qint64(std::numeric_limits<quint32>::max()))
        return qint32(quint32(*v));
    if (*v < std::numeric_limits<qint32>::min() || *v > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*v);
}

} // namespace Convert
