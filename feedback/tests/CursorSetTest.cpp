// The program's cursor set, the temporary file it passes through, and the screen-wide wait
// cursor with its animation.
#include "feedback/Cursors.h"
#include "feedback/ScreenCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs each test in an empty current directory, so that what is written there can be watched.
class CursorSet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override {
        ResetCursor();
        QDir::setCurrent(previous);
    }
    QString tempFile() const { return dir.filePath(QStringLiteral("Temp.ani")); }

    QTemporaryDir dir;
    QString previous;
};

QImage shownImage() {
    const QCursor *c = QGuiApplication::overrideCursor();
    return c ? c->pixmap().toImage().convertToFormat(QImage::Format_ARGB32) : QImage();
}

QImage imageOf(int number) {
    return ScreenCursor::cursorFor(number).pixmap().toImage().convertToFormat(
        QImage::Format_ARGB32);
}

} // namespace

TEST_F(CursorSet, RegistersAllSixCursors) {
    RegisterCursors();
    const std::pair<int, int> expected[] = {{crXHand, 1},        {crXMagnify, 1},
                                            {crXMove, 1},        {crPrintAnimated, 4},
                                            {crWaitAnimated, 8}, {crPdfAnimated, 4}};
    for (auto [number, frames] : expected) {
        EXPECT_TRUE(ScreenCursor::has(number)) << number;
        EXPECT_EQ(ScreenCursor::frameCount(number), frames) << number;
        EXPECT_EQ(ScreenCursor::cursorFor(number).shape(), Qt::BitmapCursor) << number;
    }
    EXPECT_EQ(ScreenCursor::cursorFor(crXHand).hotSpot(), QPoint(11, 1));
}

// A link named "Temp.ani" in the working folder must not lead the start into writing (or
// removing) the file it points at; a file of that name is the user's, and stays.
TEST_F(CursorSet, AFileOrLinkNamedTempAniInTheWorkingFolderIsLeftAlone) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString target = elsewhere.filePath(QStringLiteral("precious.txt"));
    const QByteArray content = "must stay as it is";
    for (bool link : {true, false}) {
        SCOPED_TRACE(link ? "link" : "file");
        QFile::remove(tempFile());
        {
            QFile file(link ? target : tempFile());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        if (link) {
            ASSERT_TRUE(QFile::link(target, tempFile()));
        }
        RegisterCursors();
        EXPECT_TRUE(ScreenCursor::has(crWaitAnimated));
        QFile check(link ? target : tempFile());
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), content);
        EXPECT_EQ(QFileInfo(tempFile()).isSymLink(), link);
        EXPECT_TRUE(QFileInfo::exists(tempFile()));
    }
}

// The cursor passes through a file in the temporary folder that is gone once loaded.
TEST_F(CursorSet, TheTemporaryCursorFileIsRemovedAfterLoading) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    const bool entered = LoadAnimatedCursor(QStringLiteral("CRCURSOR_WAIT"), 4712);
    const bool damagedEntered = LoadAnimatedCursor(QStringLiteral("DAMAGED_TRUNCATED"), 4713);
    const QStringList left =
        QDir(temp.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (hadTmpdir)
        qputenv("TMPDIR", previous);
    else
        qunsetenv("TMPDIR");
    EXPECT_TRUE(entered);
    EXPECT_FALSE(damagedEntered);
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing is written to the working folder";
}

TEST_F(CursorSet, ADamagedAnimatedCursorLeavesItsNumberAtTheDefaultCursor) {
    for (const char *name : {"DAMAGED_TRUNCATED", "DAMAGED_NOFRAMES", "NO_SUCH_RESOURCE"}) {
        const int number = 4711;
        EXPECT_FALSE(LoadAnimatedCursor(QLatin1String(name), number)) << name;
        EXPECT_FALSE(ScreenCursor::has(number)) << name;
        EXPECT_EQ(ScreenCursor::cursorFor(number).shape(), Qt::ArrowCursor) << name;
    }
    ScreenCursor::set(4711);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
}

TEST_F(CursorSet, TheWaitCursorIsNotNested) {
    RegisterCursors();
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ShowWaitCursor();
    ShowWaitCursor();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ScreenCursor::current(), crWaitAnimated);
    ResetCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "one reset ends the wait cursor";
    EXPECT_EQ(ScreenCursor::current(), crDefault);
    EXPECT_FALSE(ScreenCursor::animating());
    ResetCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(CursorSet, TheWaitCursorAnimatesThroughItsFrames) {
    RegisterCursors();
    ShowWaitCursor();
    EXPECT_TRUE(ScreenCursor::animating());
    const QImage first = shownImage();
    EXPECT_EQ(first, imageOf(crWaitAnimated));
    ScreenCursor::advanceAnimation();
    EXPECT_EQ(ScreenCursor::currentStep(), 1);
    EXPECT_NE(shownImage(), first) << "the next frame is shown";
    for (int i = 1; i < 8; ++i)
        ScreenCursor::advanceAnimation();
    EXPECT_EQ(ScreenCursor::currentStep(), 0) << "the animation starts over";
    EXPECT_EQ(shownImage(), first);
    // Asking again keeps the animation where it is.
    ScreenCursor::advanceAnimation();
    ShowWaitCursor();
    EXPECT_EQ(ScreenCursor::currentStep(), 1);
}

TEST_F(CursorSet, APlainCursorDoesNotAnimate) {
    RegisterCursors();
    ScreenCursor::set(crXHand);
    EXPECT_FALSE(ScreenCursor::animating());
    EXPECT_EQ(shownImage(), imageOf(crXHand));
    ScreenCursor::set(crWaitAnimated);
    EXPECT_TRUE(ScreenCursor::animating()) << "switching cursors needs no reset in between";
    ResetCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
