#include "settings/PackedStream.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {

std::optional<QByteArray> inflateWith(const QByteArray &packed, int windowBits, qsizetype limit) {
    // zlib counts input and output in 32-bit units; a larger row is no stream of ours.
    if (packed.size() > qsizetype(UINT_MAX))
        return std::nullopt;
    z_stream z{};
    if (inflateInit2(&z, windowBits) != Z_OK)
        return std::nullopt;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
    z.avail_in = uInt(packed.size());
    QByteArray out;
    int result = Z_OK;
    char chunk[64 * 1024];
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef *>(chunk);
        z.avail_out = sizeof chunk;
        result = inflate(&z, Z_NO_FLUSH);
        const qsizetype got = qsizetype(sizeof chunk - z.avail_out);
        if (out.size() + got > limit) {
            result = Z_MEM_ERROR;
            break;
        }
        out.append(chunk, got);
        // Z_BUF_ERROR with input left means no progress is possible: the data is cut short.
        if (result == Z_BUF_ERROR || (result == Z_OK && z.avail_in == 0 && got == 0))
            break;
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace

namespace PackedStream {

std::optional<QByteArray> Inflate(const QByteArray &packed, qsizetype limit) {
    for (int windowBits : {MAX_WBITS, 16 + MAX_WBITS, -MAX_WBITS}) {
        if (auto out = inflateWith(packed, windowBits, limit))
            return out;
    }
    return std::nullopt;
}

QByteArray Unpack(const QByteArray &stored) {
    if (auto out = Inflate(stored))
        return *out;
    return stored;
}

QByteArray Pack(const QByteArray &plain) {
    uLongf size = compressBound(uLong(plain.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(plain.constData()), uLong(plain.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(qsizetype(size));
    return out;
}

} // namespace PackedStream
