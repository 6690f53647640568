#include "settings/PackedStream.h"

#include <zlib.h>

#include <gtest/gtest.h>

namespace {

QByteArray deflateWith(const QByteArray &plain, int windowBits) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(plain.size()))) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

const QByteArray kPlain = QByteArray("TPF0 Zellen und Aktionen ").repeated(40);

TEST(PackedStream, InflatesZlibGzipAndRawDeflate) {
    for (int windowBits : {MAX_WBITS, 16 + MAX_WBITS, -MAX_WBITS}) {
        SCOPED_TRACE(windowBits);
        const QByteArray packed = deflateWith(kPlain, windowBits);
        ASSERT_NE(packed, kPlain);
        EXPECT_EQ(PackedStream::Unpack(packed), kPlain);
    }
    EXPECT_EQ(PackedStream::Unpack(PackedStream::Pack(kPlain)), kPlain);
}

TEST(PackedStream, BytesThatDoNotInflateAreTakenUnchanged) {
    const QByteArray cut = PackedStream::Pack(kPlain).left(20);
    for (const QByteArray &stored : {kPlain, cut, QByteArray(), QByteArray("\x78\x9c", 2)}) {
        EXPECT_FALSE(PackedStream::Inflate(stored).has_value());
        EXPECT_EQ(PackedStream::Unpack(stored), stored);
    }
}

// A small row that would inflate to more than the limit counts as a failure.
TEST(PackedStream, OutputAboveTheLimitIsAFailure) {
    const QByteArray bomb = PackedStream::Pack(QByteArray(1024 * 1024, 'A'));
    EXPECT_LT(bomb.size(), 8 * 1024);
    EXPECT_EQ(PackedStream::Inflate(bomb, 1024 * 1024)->size(), 1024 * 1024);
    EXPECT_FALSE(PackedStream::Inflate(bomb, 1024 * 1024 - 1).has_value());
    const QByteArray big = PackedStream::Pack(QByteArray(PackedStream::MaxUnpackedBytes + 1, 'B'));
    EXPECT_EQ(PackedStream::Unpack(big), big);
}

} // namespace
