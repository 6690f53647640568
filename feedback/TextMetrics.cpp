#include "feedback/TextMetrics.h"

#include <QFontMetrics>
#include <QHash>
#include <QRawFont>
#include <QtEndian>

#include <cmath>

namespace {

quint16 readU16(const QByteArray &table, int offset) {
    if (offset + 2 > table.size())
        return 0;
    return qFromBigEndian<quint16>(table.constData() + offset);
}

TextMetrics::LineMetrics compute(const QFont &font) {
    const QFontMetrics fm(font);
    TextMetrics::LineMetrics metrics{fm.ascent(), fm.descent()};
    if (font.pixelSize() <= 0)
        return metrics;
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return metrics;
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    const quint16 unitsPerEm = readU16(head, 18);
    const quint16 winAscent = readU16(os2, 74);
    const quint16 winDescent = readU16(os2, 76);
    if (unitsPerEm == 0 || winAscent == 0)
        return metrics;
    const double scale = double(font.pixelSize()) / unitsPerEm;
    metrics.ascent = int(std::lround(winAscent * scale));
    metrics.descent = int(std::lround(winDescent * scale));
    return metrics;
}

} // namespace

namespace TextMetrics {

LineMetrics of(const QFont &font) {
    // QFont::key() formats the point size as text on every call; this key is far cheaper.
    static QHash<QString, LineMetrics> cache;
    const QString key = font.family() + u'|' + QString::number(font.pixelSize()) + u'|' +
                        QString::number(font.weight()) + u'|' + QString::number(font.style()) +
                        u'|' + QString::number(font.stretch());
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    const LineMetrics metrics = compute(font);
    cache.insert(key, metrics);
    return metrics;
}

} // namespace TextMetrics
