// Builders for icon, cursor and animated cursor files, so that the tests can make valid files
// and damage them in exactly one place.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QtEndian>

#include <optional>

namespace CursorTestFiles {

inline QByteArray le16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray chunk(const char *tag, const QByteArray &payload) {
    QByteArray b = QByteArray(tag, 4) + le32(quint32(payload.size())) + payload;
    if (payload.size() % 2)
        b += '\0';
    return b;
}

// A cursor (type 2) or icon (type 1) file with one 32-bit image of one colour, whose top-left
// pixel is transparent.
inline QByteArray iconFile(int width, int height, QRgb color, QPoint hotSpot = {1, 2},
                           quint16 type = 2) {
    QByteArray pixels, mask;
    const int maskStride = ((width + 31) / 32) * 4;
    for (int row = height - 1; row >= 0; --row) {
        QByteArray maskRow(maskStride, '\0');
        for (int x = 0; x < width; ++x) {
            const bool transparent = row == 0 && x == 0;
            const QRgb c = transparent ? 0 : color;
            pixels += char(qBlue(c));
            pixels += char(qGreen(c));
            pixels += char(qRed(c));
            pixels += char(transparent ? 0 : 255);
            if (transparent)
                maskRow[x / 8] = char(maskRow[x / 8] | (0x80 >> (x % 8)));
        }
        mask += maskRow;
    }
    QByteArray dib = le32(40) + le32(quint32(width)) + le32(quint32(height * 2)) + le16(1) +
                     le16(32) + le32(0) + le32(quint32(pixels.size() + mask.size())) + le32(0) +
                     le32(0) + le32(0) + le32(0);
    dib += pixels + mask;
    QByteArray file = le16(0) + le16(type) + le16(1);
    file += char(width);
    file += char(height);
    file += char(0);
    file += char(0);
    file +=
        le16(type == 2 ? quint16(hotSpot.x()) : 1) + le16(type == 2 ? quint16(hotSpot.y()) : 32);
    file += le32(quint32(dib.size())) + le32(6 + 16);
    return file + dib;
}

struct AniSpec {
    QList<QByteArray> frames;
    quint32 frameCount = 0; // announced in the header
    quint32 stepCount = 0;
    quint32 displayRate = 6;
    quint32 flags = 1;
    quint32 headerChunkSize = 36;
    quint32 headerSizeField = 36;
    std::optional<QList<quint32>> rates;
    std::optional<QList<quint32>> sequence;
};

// Three 4 × 4 frames in red, green and blue, shown as 0, 1, 2, 1 at their own rates.
inline AniSpec validSpec() {
    AniSpec s;
    s.frames = {iconFile(4, 4, qRgb(255, 0, 0)), iconFile(4, 4, qRgb(0, 255, 0)),
                iconFile(4, 4, qRgb(0, 0, 255))};
    s.frameCount = 3;
    s.stepCount = 4;
    s.flags = 3;
    s.rates = QList<quint32>{5, 6, 7, 8};
    s.sequence = QList<quint32>{0, 1, 2, 1};
    return s;
}

inline QByteArray aniFile(const AniSpec &s) {
    QByteArray header = le32(s.headerSizeField) + le32(s.frameCount) + le32(s.stepCount) +
                        le32(32) + le32(32) + le32(32) + le32(1) + le32(s.displayRate) +
                        le32(s.flags);
    header = header.left(s.headerChunkSize).leftJustified(s.headerChunkSize, '\0');
    QByteArray body = "ACON";
    body += chunk("LIST", QByteArray("INFO") + chunk("INAM", "Test\0"));
    body += chunk("anih", header);
    auto list = [](const QList<quint32> &values) {
        QByteArray b;
        for (quint32 v : values)
            b += le32(v);
        return b;
    };
    if (s.rates)
        body += chunk("rate", list(*s.rates));
    if (s.sequence)
        body += chunk("seq ", list(*s.sequence));
    QByteArray frames = "fram";
    for (const QByteArray &f : s.frames)
        frames += chunk("icon", f);
    body += chunk("LIST", frames);
    return "RIFF" + le32(quint32(body.size())) + body;
}

} // namespace CursorTestFiles
