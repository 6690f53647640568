// The readers of icon, cursor and animated cursor files: the program's own cursor files, and
// damaged files that must be refused without harm.
#include "feedback/AnimatedCursorFile.h"
#include "feedback/IconFile.h"

#include "CursorTestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace CursorTestFiles;

// The cursors are resources of the feedback library; they are initialised by name (outside any
// namespace, as the resource system needs).
static void initCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace {

QByteArray resource(const QString &path) {
    initCursorResources();
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

QList<int> framesOf(const TAniCursor &c) {
    QList<int> frames;
    for (const TAniStep &s : c.Steps)
        frames << s.Frame;
    return frames;
}

QList<int> jiffiesOf(const TAniCursor &c) {
    QList<int> jiffies;
    for (const TAniStep &s : c.Steps)
        jiffies << s.Jiffies;
    return jiffies;
}

} // namespace

TEST(CursorIconFile, ReadsImageHotSpotAndMask) {
    QString error;
    auto icon = IconFile::decode(iconFile(5, 3, qRgb(10, 20, 30), {4, 2}), &error);
    ASSERT_TRUE(icon) << error.toStdString();
    EXPECT_EQ(icon->Image.size(), QSize(5, 3));
    EXPECT_EQ(icon->HotSpot, QPoint(4, 2));
    EXPECT_EQ(icon->Image.pixel(0, 0), 0u) << "the masked pixel is transparent";
    EXPECT_EQ(icon->Image.pixel(4, 2), qRgba(10, 20, 30, 255)) << "rows are stored bottom-up";
}

TEST(CursorIconFile, AnIconsHotSpotIsItsCentreAndACursorsStaysInside) {
    auto icon = IconFile::decode(iconFile(8, 6, qRgb(1, 2, 3), {}, 1));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->HotSpot, QPoint(4, 3));
    auto cursor = IconFile::decode(iconFile(8, 6, qRgb(1, 2, 3), {200, 300}));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->HotSpot, QPoint(7, 5));
}

TEST(CursorIconFile, TheProgramsPlainCursorsAreValid) {
    for (const char *name : {"X_HAND", "X_MAGNIFY", "X_MOVE"}) {
        QString error;
        auto c = IconFile::decode(resource(QStringLiteral(":/RT_CURSOR/") + QLatin1String(name)),
                                  &error);
        ASSERT_TRUE(c) << name << ": " << error.toStdString();
        EXPECT_EQ(c->Image.size(), QSize(32, 32)) << name;
        EXPECT_EQ(c->Image.pixel(0, 31), 0u) << name << ": the corner is transparent";
    }
    EXPECT_EQ(IconFile::decode(resource(QStringLiteral(":/RT_CURSOR/X_HAND")))->HotSpot,
              QPoint(11, 1))
        << "the hand points with its finger tip";
}

// Every prefix and every single damaged byte of a valid file: a result or a refusal, never a
// crash or a read outside the data.
TEST(CursorIconFile, DamagedIconFilesAreRefusedOrReadSafely) {
    const QByteArray valid = iconFile(4, 4, qRgb(9, 9, 9));
    for (int n = 0; n < valid.size(); ++n)
        EXPECT_FALSE(IconFile::decode(valid.left(n))) << "prefix of " << n << " bytes";
    for (int i = 0; i < valid.size(); ++i) {
        for (char value : {char(0), char(0x7F), char(0xFF)}) {
            QByteArray damaged = valid;
            damaged[i] = value;
            IconFile::decode(damaged);
        }
    }
}

TEST(CursorAnimatedFile, ReadsFramesSequenceAndRates) {
    QString error;
    auto c = AnimatedCursorFile::parse(aniFile(validSpec()), &error);
    ASSERT_TRUE(c) << error.toStdString();
    ASSERT_EQ(c->Frames.size(), 3);
    EXPECT_EQ(c->Frames[2].Image.pixel(1, 1), qRgba(0, 0, 255, 255));
    EXPECT_EQ(framesOf(*c), (QList<int>{0, 1, 2, 1}));
    EXPECT_EQ(jiffiesOf(*c), (QList<int>{5, 6, 7, 8}));
}

TEST(CursorAnimatedFile, WithoutRatesEveryStepTakesTheDisplayRate) {
    AniSpec s = validSpec();
    s.rates.reset();
    s.displayRate = 9;
    auto c = AnimatedCursorFile::parse(aniFile(s));
    ASSERT_TRUE(c);
    EXPECT_EQ(jiffiesOf(*c), (QList<int>{9, 9, 9, 9}));
}

TEST(CursorAnimatedFile, WithoutSequenceTheFramesShowInOrder) {
    AniSpec s = validSpec();
    s.sequence.reset();
    s.flags = 1;
    s.stepCount = 3;
    s.rates = QList<quint32>{1, 2, 3};
    auto c = AnimatedCursorFile::parse(aniFile(s));
    ASSERT_TRUE(c);
    EXPECT_EQ(framesOf(*c), (QList<int>{0, 1, 2}));
}

TEST(CursorAnimatedFile, AZeroRateStillWaitsOneJiffy) {
    AniSpec s = validSpec();
    s.rates = QList<quint32>{0, 0, 0, 0};
    auto c = AnimatedCursorFile::parse(aniFile(s));
    ASSERT_TRUE(c);
    EXPECT_EQ(jiffiesOf(*c), (QList<int>{1, 1, 1, 1}));
    EXPECT_EQ(AnimatedCursorFile::jiffiesToMilliseconds(6), 100);
    EXPECT_GT(AnimatedCursorFile::jiffiesToMilliseconds(qint64(1) << 40), 0);
}

TEST(CursorAnimatedFile, TheProgramsAnimatedCursorsAreValid) {
    struct Expected {
        const char *name;
        int frames;
        QList<int> sequence;
        QList<int> jiffies;
    };
    const Expected expected[] = {
        {"CRCURSOR_WAIT", 8, {0, 1, 2, 3, 4, 5, 6, 7}, {5, 5, 5, 5, 5, 5, 5, 5}},
        {"CRCURSOR_PRINT", 4, {0, 1, 2, 3, 3}, {10, 10, 10, 10, 30}},
        {"CRCURSOR_PDF", 4, {0, 1, 2, 3, 2, 1}, {9, 9, 9, 9, 9, 9}},
    };
    for (const Expected &e : expected) {
        QString error;
        auto c = AnimatedCursorFile::parse(
            resource(QStringLiteral(":/RT_ANICURSOR/") + QLatin1String(e.name)), &error);
        ASSERT_TRUE(c) << e.name << ": " << error.toStdString();
        EXPECT_EQ(c->Frames.size(), e.frames) << e.name;
        EXPECT_EQ(framesOf(*c), e.sequence) << e.name;
        EXPECT_EQ(jiffiesOf(*c), e.jiffies) << e.name;
        for (const TIconImage &f : c->Frames) {
            EXPECT_EQ(f.Image.size(), QSize(32, 32)) << e.name;
            EXPECT_EQ(f.HotSpot, QPoint(16, 16)) << e.name;
        }
    }
}

struct DamagedCase {
    const char *name;
    std::function<void(AniSpec &)> adjust;
    std::function<void(QByteArray &)> patch;
    const char *reason; // part of the refusal's reason
};

void PrintTo(const DamagedCase &c, std::ostream *os) {
    *os << c.name;
}

class CursorAnimatedDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(CursorAnimatedDamaged, IsRefused) {
    AniSpec s = validSpec();
    if (GetParam().adjust)
        GetParam().adjust(s);
    QByteArray bytes = aniFile(s);
    if (GetParam().patch)
        GetParam().patch(bytes);
    QString error;
    EXPECT_FALSE(AnimatedCursorFile::parse(bytes, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().reason))) << error.toStdString();
}

namespace {
void setU32(QByteArray &b, qsizetype at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}
qsizetype chunkAt(const QByteArray &b, const char *tag) {
    return b.indexOf(QByteArray(tag, 4));
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, CursorAnimatedDamaged,
    ::testing::Values(
        DamagedCase{"NotRiff", nullptr, [](QByteArray &b) { b[0] = 'X'; }, "RIFF/ACON"},
        DamagedCase{"NotAcon", nullptr, [](QByteArray &b) { b[9] = 'X'; }, "RIFF/ACON"},
        DamagedCase{"Truncated", nullptr, [](QByteArray &b) { b.chop(10); },
                    "past the end of the file"},
        DamagedCase{"RiffSizeHuge", nullptr, [](QByteArray &b) { setU32(b, 4, 0xFFFFFFF0u); },
                    "past the end of the file"},
        DamagedCase{"ChunkSizeHuge", nullptr,
                    [](QByteArray &b) { setU32(b, chunkAt(b, "rate") + 4, 0xFFFFFFF0u); },
                    "past its container"},
        DamagedCase{"IconChunkPastItsList", nullptr,
                    [](QByteArray &b) { setU32(b, b.lastIndexOf("icon") + 4, 5000); },
                    "past its list"},
        DamagedCase{"NoHeader", nullptr, [](QByteArray &b) { b[chunkAt(b, "anih")] = 'x'; },
                    "no anih"},
        DamagedCase{"HeaderChunkShort", [](AniSpec &s) { s.headerChunkSize = 32; }, nullptr,
                    "wrong size"},
        DamagedCase{"HeaderSizeField", [](AniSpec &s) { s.headerSizeField = 40; }, nullptr,
                    "wrong size"},
        DamagedCase{"ZeroFrames",
                    [](AniSpec &s) {
                        s.frameCount = 0;
                        s.frames.clear();
                    },
                    nullptr, "no frames"},
        DamagedCase{"ZeroSteps", [](AniSpec &s) { s.stepCount = 0; }, nullptr, "no steps"},
        DamagedCase{"HugeFrameCount", [](AniSpec &s) { s.frameCount = 0xFFFFFFFFu; }, nullptr,
                    "fewer frames"},
        DamagedCase{"HugeStepCount", [](AniSpec &s) { s.stepCount = 0x7FFFFFFFu; }, nullptr,
                    "rate chunk"},
        DamagedCase{"MissingFrame", [](AniSpec &s) { s.frames.removeLast(); }, nullptr,
                    "fewer frames"},
        DamagedCase{"RateCountWrong", [](AniSpec &s) { s.rates->removeLast(); }, nullptr,
                    "rate chunk"},
        DamagedCase{"SequenceCountWrong", [](AniSpec &s) { s.sequence->append(0); }, nullptr,
                    "seq chunk"},
        DamagedCase{"SequenceMissing", [](AniSpec &s) { s.sequence.reset(); }, nullptr,
                    "seq chunk"},
        DamagedCase{"StepsWithoutSequence",
                    [](AniSpec &s) {
                        s.flags = 1;
                        s.sequence.reset();
                    },
                    nullptr, "must match the frames"},
        DamagedCase{"SequenceBeyondFrames", [](AniSpec &s) { (*s.sequence)[3] = 3; }, nullptr,
                    "does not exist"},
        DamagedCase{"RawFrames", [](AniSpec &s) { s.flags = 2; }, nullptr, "raw frames"},
        DamagedCase{"FrameNotAnIcon", [](AniSpec &s) { s.frames[1] = "not an icon at all"; },
                    nullptr, "frame 1"},
        DamagedCase{"FrameImageOutside",
                    [](AniSpec &s) { setU32(s.frames[2], 6 + 12, 0x7FFFFFF0u); }, nullptr,
                    "frame 2: image data outside"},
        DamagedCase{"FrameHugeBitmap", [](AniSpec &s) { setU32(s.frames[0], 22 + 4, 0x10000); },
                    nullptr, "frame 0: bad bitmap dimensions"}),
    [](const ::testing::TestParamInfo<DamagedCase> &info) { return info.param.name; });

TEST(CursorAnimatedFile, EveryPrefixAndDamagedByteIsHandledSafely) {
    const QByteArray valid = aniFile(validSpec());
    ASSERT_TRUE(AnimatedCursorFile::parse(valid));
    for (int n = 0; n < valid.size(); ++n)
        EXPECT_FALSE(AnimatedCursorFile::parse(valid.left(n))) << "prefix of " << n << " bytes";
    int refused = 0;
    for (int i = 0; i < valid.size(); ++i) {
        for (char value : {char(0), char(0xFF)}) {
            QByteArray damaged = valid;
            damaged[i] = value;
            auto c = AnimatedCursorFile::parse(damaged);
            if (!c) {
                ++refused;
                continue;
            }
            // What is accepted is consistent: every step shows an existing frame.
            for (const TAniStep &s : c->Steps) {
                EXPECT_GE(s.Frame, 0);
                EXPECT_LT(s.Frame, c->Frames.size());
                EXPECT_GE(s.Jiffies, 1);
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(CursorAnimatedFile, AMissingFileIsRefused) {
    QString error;
    EXPECT_FALSE(AnimatedCursorFile::load(QStringLiteral("/nonexistent/x.ani"), &error));
    EXPECT_FALSE(error.isEmpty());
}
