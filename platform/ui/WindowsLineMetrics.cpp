#include "platform/ui/WindowsLineMetrics.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

struct Table {
    qsizetype record; // where the table's directory entry starts
    quint32 offset;
    quint32 length;
};

constexpr quint16 kUseTypoMetrics = 0x80; // OS/2 fsSelection bit 7
constexpr int kBitmapSizeRecord = 48;     // one BitmapSize record of EBLC

quint16 u16(const QByteArray &data, qsizetype at) {
    return qFromBigEndian<quint16>(data.constData() + at);
}
quint32 u32(const QByteArray &data, qsizetype at) {
    return qFromBigEndian<quint32>(data.constData() + at);
}

std::optional<Table> findTable(const QByteArray &data, const char (&tag)[5], quint32 minLength) {
    if (data.size() < 12)
        return std::nullopt;
    const int count = u16(data, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (record + 16 > data.size())
            return std::nullopt;
        if (data.mid(record, 4) != QByteArray(tag, 4))
            continue;
        const Table table{record, u32(data, record + 8), u32(data, record + 12)};
        if (table.length < minLength || qint64(table.offset) + table.length > data.size())
            return std::nullopt;
        return table;
    }
    return std::nullopt;
}

quint32 checksum(const QByteArray &data, quint32 offset, quint32 length) {
    quint32 sum = 0;
    for (quint32 i = 0; i < length; i += 4) {
        quint32 word = 0;
        for (quint32 b = 0; b < 4; ++b) {
            word <<= 8;
            if (i + b < length && offset + i + b < quint32(data.size()))
                word |= quint8(data.at(offset + i + b));
        }
        sum += word;
    }
    return sum;
}

void updateChecksum(QByteArray &data, const Table &table) {
    qToBigEndian<quint32>(checksum(data, table.offset, table.length),
                          data.data() + table.record + 4);
}

qint8 pixels(quint16 units, int ppem, quint16 unitsPerEm) {
    const long value = std::lround(double(units) * ppem / unitsPerEm);
    return qint8(std::clamp<long>(value, -128, 127));
}

} // namespace

namespace WindowsLineMetrics {

QByteArray apply(const QByteArray &fontFile) {
    const auto os2 = findTable(fontFile, "OS/2", 78);
    const auto head = findTable(fontFile, "head", 54);
    if (!os2 || !head)
        return fontFile;
    const quint16 unitsPerEm = u16(fontFile, head->offset + 18);
    if (unitsPerEm == 0)
        return fontFile;

    QByteArray out = fontFile;
    const quint16 winAscent = u16(out, os2->offset + 74);
    const quint16 winDescent = u16(out, os2->offset + 76);
    const quint16 fsSelection = u16(out, os2->offset + 62);
    qToBigEndian<quint16>(fsSelection & ~kUseTypoMetrics, out.data() + os2->offset + 62);
    updateChecksum(out, *os2);

    if (const auto eblc = findTable(out, "EBLC", 8)) {
        const quint32 sizes = u32(out, eblc->offset + 4);
        for (quint32 i = 0; i < sizes; ++i) {
            const qint64 record = qint64(eblc->offset) + 8 + qint64(i) * kBitmapSizeRecord;
            if (record + kBitmapSizeRecord > qint64(eblc->offset) + eblc->length)
                break;
            const int ppemY = quint8(out.at(record + 45));
            out[record + 16] = char(pixels(winAscent, ppemY, unitsPerEm));
            out[record + 17] = char(-pixels(winDescent, ppemY, unitsPerEm));
        }
        updateChecksum(out, *eblc);
    }

    // The file checksum: computed with the adjustment at 0, then stored so the file sums to the
    // magic number.
    qToBigEndian<quint32>(0, out.data() + head->offset + 8);
    updateChecksum(out, *head);
    const quint32 whole = checksum(out, 0, quint32(out.size()));
    qToBigEndian<quint32>(0xB1B0AFBAu - whole, out.data() + head->offset + 8);
    return out;
}

} // namespace WindowsLineMetrics
