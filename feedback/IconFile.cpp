#include "feedback/IconFile.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kMaxSide = 256;

bool fail(QString *error, const char *reason) {
    if (error)
        *error = QString::fromLatin1(reason);
    return false;
}

// Bounds-checked little-endian reads: every offset is tested against the size first.
struct Bytes {
    const uchar *data;
    qint64 size;
    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= size && count <= size - offset;
    }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(data + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(data + offset); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(data + offset); }
};

bool decodeBitmap(const Bytes &b, QImage &out, QString *error) {
    if (!b.has(0, 40))
        return fail(error, "bitmap header truncated");
    const quint32 headerSize = b.u32(0);
    const qint32 width = b.i32(4);
    const qint32 doubleHeight = b.i32(8);
    const quint16 bits = b.u16(14);
    const quint32 compression = b.u32(16);
    const quint32 colorsUsed = b.u32(32);
    if (headerSize < 40 || !b.has(0, headerSize))
        return fail(error, "bad bitmap header size");
    if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight % 2 != 0 ||
        doubleHeight / 2 > kMaxSide)
        return fail(error, "bad bitmap dimensions");
    if (compression != 0)
        return fail(error, "compressed bitmaps are not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return fail(error, "unsupported bit depth");
    const int height = doubleHeight / 2;

    qint64 paletteSize = 0;
    if (bits <= 8) {
        const quint32 maxColors = 1u << bits;
        if (colorsUsed > maxColors)
            return fail(error, "palette too large");
        paletteSize = colorsUsed ? colorsUsed : maxColors;
    }
    const qint64 paletteOffset = headerSize;
    const qint64 xorOffset = paletteOffset + paletteSize * 4;
    const qint64 xorStride = ((qint64(width) * bits + 31) / 32) * 4;
    const qint64 andOffset = xorOffset + xorStride * height;
    const qint64 andStride = ((qint64(width) + 31) / 32) * 4;
    if (!b.has(xorOffset, xorStride * height))
        return fail(error, "bitmap pixels truncated");
    // A 32-bit image carries its own alpha; its mask may be missing.
    const bool hasMask = b.has(andOffset, andStride * height);
    if (!hasMask && bits != 32)
        return fail(error, "bitmap mask truncated");

    QImage image(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const uchar *src = b.data + xorOffset + xorStride * row;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row));
        for (int x = 0; x < width; ++x) {
            QRgb pixel = 0;
            switch (bits) {
            case 32:
                pixel = qRgba(src[x * 4 + 2], src[x * 4 + 1], src[x * 4], src[x * 4 + 3]);
                anyAlpha = anyAlpha || src[x * 4 + 3] != 0;
                break;
            case 24:
                pixel = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
                break;
            default: {
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                const int index = (src[x / perByte] >> shift) & ((1 << bits) - 1);
                if (index < paletteSize) {
                    const uchar *c = b.data + paletteOffset + index * 4;
                    pixel = qRgb(c[2], c[1], c[0]);
                }
                break;
            }
            }
            dst[x] = pixel;
        }
    }
    if (bits == 32 && anyAlpha) {
        out = image;
        return true;
    }
    if (!hasMask)
        return fail(error, "bitmap mask truncated");
    // Without alpha the mask decides: a set bit is a transparent pixel (inverting pixels of the
    // mask's other use are shown transparent too).
    for (int row = 0; row < height; ++row) {
        const uchar *mask = b.data + andOffset + andStride * row;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row));
        for (int x = 0; x < width; ++x) {
            const bool transparent = mask[x / 8] & (0x80 >> (x % 8));
            dst[x] = transparent ? 0 : (dst[x] | 0xFF000000u);
        }
    }
    out = image;
    return true;
}

} // namespace

namespace IconFile {

std::optional<TIconImage> decode(const QByteArray &data, QString *error) {
    const Bytes file{reinterpret_cast<const uchar *>(data.constData()), data.size()};
    if (!file.has(0, 6)) {
        fail(error, "file too short");
        return std::nullopt;
    }
    const quint16 type = file.u16(2);
    const quint16 count = file.u16(4);
    if (file.u16(0) != 0 || (type != 1 && type != 2)) {
        fail(error, "not an icon or cursor file");
        return std::nullopt;
    }
    if (count == 0 || !file.has(6, qint64(count) * 16)) {
        fail(error, "bad image count");
        return std::nullopt;
    }
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = 6 + qint64(i) * 16;
        if (file.data[entry] == 32 && file.data[entry + 1] == 32) {
            chosen = i;
            break;
        }
    }
    const qint64 entry = 6 + qint64(chosen) * 16;
    const quint32 imageSize = file.u32(entry + 8);
    const quint32 imageOffset = file.u32(entry + 12);
    if (!file.has(imageOffset, imageSize)) {
        fail(error, "image data outside the file");
        return std::nullopt;
    }
    const Bytes image{file.data + imageOffset, imageSize};
    TIconImage result;
    static const char png[] = "\x89PNG\r\n\x1a\n";
    if (image.has(0, 8) && std::equal(png, png + 8, reinterpret_cast<const char *>(image.data))) {
        result.Image = QImage::fromData(image.data, int(image.size), "PNG")
                           .convertToFormat(QImage::Format_ARGB32);
        if (result.Image.isNull() || result.Image.width() > kMaxSide ||
            result.Image.height() > kMaxSide) {
            fail(error, "bad PNG image");
            return std::nullopt;
        }
    } else if (!decodeBitmap(image, result.Image, error)) {
        return std::nullopt;
    }
    if (type == 2) {
        result.HotSpot = QPoint(std::clamp<int>(file.u16(entry + 4), 0, result.Image.width() - 1),
                                std::clamp<int>(file.u16(entry + 6), 0, result.Image.height() - 1));
    } else {
        result.HotSpot = QPoint(result.Image.width() / 2, result.Image.height() / 2);
    }
    return result;
}

} // namespace IconFile
