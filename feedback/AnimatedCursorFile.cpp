#include "feedback/AnimatedCursorFile.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr quint32 AF_ICON = 1;     // frames are icon or cursor files
constexpr quint32 AF_SEQUENCE = 2; // a "seq " chunk orders the steps
constexpr quint32 kHeaderSize = 36;

struct Reader {
    const uchar *data;
    qint64 size;

    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= size && count <= size - offset;
    }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(data + offset); }
    bool tagAt(qint64 offset, const char *tag) const {
        return has(offset, 4) &&
               std::equal(tag, tag + 4, reinterpret_cast<const char *>(data) + offset);
    }
};

std::optional<TAniCursor> refuse(QString *error, const char *reason) {
    if (error)
        *error = QString::fromLatin1(reason);
    return std::nullopt;
}

struct Chunk {
    qint64 offset = -1; // of the payload
    qint64 size = 0;
    bool found() const { return offset >= 0; }
};

} // namespace

namespace AnimatedCursorFile {

int jiffiesToMilliseconds(qint64 jiffies) {
    const qint64 ms = std::max<qint64>(1, jiffies) * 1000 / 60;
    return int(std::clamp<qint64>(ms, 1, std::numeric_limits<int>::max()));
}

std::optional<TAniCursor> parse(const QByteArray &bytes, QString *error) {
    const Reader r{reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()};
    if (!r.tagAt(0, "RIFF") || !r.tagAt(8, "ACON"))
        return refuse(error, "not a RIFF/ACON file");
    const qint64 riffSize = r.u32(4);
    if (riffSize < 4 || !r.has(8, riffSize))
        return refuse(error, "RIFF chunk reaches past the end of the file");
    const qint64 end = 8 + riffSize;

    Chunk header, rates, sequence;
    QList<Chunk> icons;
    bool frameList = false;
    for (qint64 pos = 12; pos + 8 <= end;) {
        const qint64 size = r.u32(pos + 4);
        const qint64 payload = pos + 8;
        if (size > end - payload)
            return refuse(error, "chunk reaches past its container");
        if (r.tagAt(pos, "anih")) {
            header = {payload, size};
        } else if (r.tagAt(pos, "rate")) {
            rates = {payload, size};
        } else if (r.tagAt(pos, "seq ")) {
            sequence = {payload, size};
        } else if (r.tagAt(pos, "LIST") && size >= 4 && r.tagAt(payload, "fram")) {
            frameList = true;
            const qint64 listEnd = payload + size;
            for (qint64 sub = payload + 4; sub + 8 <= listEnd;) {
                const qint64 subSize = r.u32(sub + 4);
                if (subSize > listEnd - (sub + 8))
                    return refuse(error, "frame chunk reaches past its list");
                if (r.tagAt(sub, "icon"))
                    icons.append({sub + 8, subSize});
                sub += 8 + subSize + (subSize & 1);
            }
        }
        pos = payload + size + (size & 1);
    }

    if (!header.found())
        return refuse(error, "no anih chunk");
    if (header.size != kHeaderSize || r.u32(header.offset) != kHeaderSize)
        return refuse(error, "anih chunk of the wrong size");
    const quint32 frameCount = r.u32(header.offset + 4);
    const quint32 stepCount = r.u32(header.offset + 8);
    const quint32 displayRate = r.u32(header.offset + 28);
    const quint32 flags = r.u32(header.offset + 32);
    if (!(flags & AF_ICON))
        return refuse(error, "raw frames are not supported");
    if (frameCount == 0 || stepCount == 0)
        return refuse(error, "no frames or no steps");
    if (!frameList || quint32(icons.size()) < frameCount)
        return refuse(error, "fewer frames than the header announces");

    // The counts are trusted only once the data is known to hold them, so a huge count in a
    // small file never turns into a huge allocation.
    if (rates.found() && rates.size != qint64(stepCount) * 4)
        return refuse(error, "rate chunk does not match the number of steps");
    const bool sequenced = flags & AF_SEQUENCE;
    if (sequenced && (!sequence.found() || sequence.size != qint64(stepCount) * 4))
        return refuse(error, "seq chunk does not match the number of steps");
    if (!sequenced && stepCount != frameCount)
        return refuse(error, "steps without a sequence must match the frames");

    TAniCursor cursor;
    cursor.Steps.reserve(stepCount);
    for (quint32 i = 0; i < stepCount; ++i) {
        const quint32 frame = sequenced ? r.u32(sequence.offset + qint64(i) * 4) : i;
        if (frame >= frameCount)
            return refuse(error, "a step shows a frame that does not exist");
        const quint32 jiffies = rates.found() ? r.u32(rates.offset + qint64(i) * 4) : displayRate;
        cursor.Steps.append({int(frame), int(std::clamp<quint32>(jiffies, 1, 1u << 30))});
    }
    cursor.Frames.reserve(frameCount);
    for (quint32 i = 0; i < frameCount; ++i) {
        const Chunk &icon = icons[i];
        QString reason;
        auto image = IconFile::decode(
            QByteArray::fromRawData(bytes.constData() + icon.offset, icon.size), &reason);
        if (!image) {
            if (error)
                *error = QStringLiteral("frame %1: %2").arg(i).arg(reason);
            return std::nullopt;
        }
        cursor.Frames.append(*image);
    }
    return cursor;
}

std::optional<TAniCursor> load(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, "file cannot be read");
    return parse(file.readAll(), error);
}

} // namespace AnimatedCursorFile
