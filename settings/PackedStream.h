// Packed streams of the settings table: deflate data, with a zlib header, a gzip header or
// none. Inflating stops at MaxUnpackedBytes so that a small damaged or hostile row cannot fill
// the memory; that counts as a failure like any other.
#pragma once

#include <QByteArray>

#include <optional>

namespace PackedStream {

constexpr qsizetype MaxUnpackedBytes = 64 * 1024 * 1024;

// The inflated bytes, trying a zlib header, then a gzip header, then raw deflate data; nullopt
// when none of the three gives a complete stream within limit bytes.
std::optional<QByteArray> Inflate(const QByteArray &packed, qsizetype limit = MaxUnpackedBytes);
// The bytes a packed row stands for: inflated, or the stored bytes unchanged when they do not
// inflate.
QByteArray Unpack(const QByteArray &stored);
// Deflates with a zlib header (what dupcheck-host --pack writes).
QByteArray Pack(const QByteArray &plain);

} // namespace PackedStream
