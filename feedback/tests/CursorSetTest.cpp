// The program's cursor set, the temporary file it passes through, and the screen-wide wait
// cursor with its animation.
#include "feedback/Cursors.h"
#include "feedback/ScreenCursor.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs each test in an empty current directory, so that "Temp.ani" can be watched.
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

TEST_F(CursorSet, RegistersAllSixCursorsAndRemovesTheTemporaryFile) {
    {
        QFile stale(tempFile());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("left over from someone else");
    }
    RegisterCursors();
    EXPECT_FALSE(QFile::exists(tempFile()));
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

TEST_F(CursorSet, ADamagedAnimatedCursorLeavesItsNumberAtTheDefaultCursor) {
    for (const char *name : {"DAMAGED_TRUNCATED", "DAMAGED_NOFRAMES", "NO_SUCH_RESOURCE"}) {
        const int number = 4711;
        EXPECT_FALSE(LoadAnimatedCursor(QLatin1String(name), number)) << name;
        EXPECT_FALSE(ScreenCursor::has(number)) << name;
        EXPECT_EQ(ScreenCursor::cursorFor(number).shape(), Qt::ArrowCursor) << name;
        EXPECT_FALSE(QFile::exists(tempFile())) << name;
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
