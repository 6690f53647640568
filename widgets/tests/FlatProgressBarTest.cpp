#include "widgets/TFlatProgressBar.h"

#include "platform/ui/TCustomForm.h"
#include "widgets/FlatProgressGeometry.h"

#include <QApplication>
#include <QPaintEvent>

#include <gtest/gtest.h>

namespace G = FlatProgressGeometry;

namespace {

// ---- arithmetic ----------------------------------------------------------------------------

TEST(ProgressGeometry, SnapsTheLengthToWholeBlocks) {
    EXPECT_EQ(G::snappedLength(100), 93);
    EXPECT_EQ(G::snappedLength(417), 417);
    EXPECT_EQ(G::snappedLength(147), 147);
    EXPECT_EQ(G::snappedLength(20), 12);
    EXPECT_EQ(G::snappedLength(12), 12);
    EXPECT_EQ(G::snappedLength(11), 12);
    EXPECT_EQ(G::snappedLength(3), 12);
    // Snapping never changes how many blocks fit.
    for (int len = 12; len < 500; ++len)
        EXPECT_EQ(G::places(G::snappedLength(len)), G::places(len)) << len;
}

struct BlocksCase {
    int length, min, max, position;
    int places, filled;
};

class FilledBlocks : public ::testing::TestWithParam<BlocksCase> {};

TEST_P(FilledBlocks, CountsPlacesAndFilledBlocks) {
    const BlocksCase &c = GetParam();
    const int places = G::places(c.length);
    EXPECT_EQ(places, c.places);
    EXPECT_EQ(G::filledBlocks(c.position, c.min, c.max, places), c.filled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilledBlocks,
    ::testing::Values(
        BlocksCase{417, 0, 92, 2, 46, 1}, // the main window's bar: one block for 2 of 92
        BlocksCase{417, 0, 92, 1, 46, 0}, // half a block shows nothing
        BlocksCase{417, 0, 100, 100, 46, 46}, BlocksCase{417, 0, 100, 0, 46, 0},
        // 3 of 46 per block is 0.0652...; exactly 3 must give a whole block despite rounding.
        BlocksCase{417, 0, 3, 3, 46, 46}, BlocksCase{93, 0, 30, 3, 10, 1},
        BlocksCase{93, 10, 40, 13, 10, 1}, // measured from Min
        BlocksCase{147, 0, 1000000, 999999, 16, 15}, BlocksCase{12, 0, 100, 100, 1, 1},
        BlocksCase{5, 0, 100, 100, 0, 0}));

TEST(ProgressGeometry, BlocksSitTwoPixelsInsideAndNinePixelsApart) {
    const QSize client(417, 25);
    EXPECT_EQ(G::blockRect(0, client, false, false), QRect(2, 2, 8, 21)); // x 2 to 10
    EXPECT_EQ(G::blockRect(1, client, false, false), QRect(11, 2, 8, 21));
    EXPECT_EQ(G::blockRect(45, client, false, false).right(), 414);
    // Right to left: from the right edge inwards.
    EXPECT_EQ(G::blockRect(0, client, false, true), QRect(407, 2, 8, 21));
    // Vertical: from the bottom up.
    EXPECT_EQ(G::blockRect(0, QSize(16, 93), true, false), QRect(2, 83, 12, 8));
    EXPECT_EQ(G::blockRect(1, QSize(16, 93), true, false), QRect(2, 74, 12, 8));
    EXPECT_EQ(G::blocksRect(3, 5, client, false, false), QRect(29, 2, 26, 21));
}

TEST(ProgressGeometry, SmoothBarGrowsWithinTheFrame) {
    EXPECT_EQ(G::smoothRect(50, 0, 100, QSize(104, 16), false), QRect(2, 2, 50, 12));
    EXPECT_EQ(G::smoothRect(100, 0, 100, QSize(104, 16), false).right(), 101);
    EXPECT_EQ(G::smoothRect(100, 0, 100, QSize(16, 104), true), QRect(2, 2, 12, 100));
    // A range that does not start at 0 still ends at the frame.
    EXPECT_EQ(G::smoothLength(100, 50, 100, 104), 100);
    EXPECT_EQ(G::smoothLength(50, 50, 100, 104), 0);
}

// ---- the control ---------------------------------------------------------------------------

TEST(FlatProgressBar, Defaults) {
    TFlatProgressBar bar;
    EXPECT_EQ(bar.size(), QSize(147, 16));
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Step(), 10);
    EXPECT_EQ(bar.Orientation(), pbHorizontal);
    EXPECT_EQ(bar.ColorElement(), 10053171);
    EXPECT_EQ(bar.ColorBorder(), 8623776);
    EXPECT_EQ(bar.focusPolicy(), Qt::NoFocus);
}

TEST(FlatProgressBar, MainWindowBarShowsOneBlockForTwoOfNinetyTwo) {
    TFlatProgressBar bar;
    bar.setGeometry(8, 8, 417, 25);
    bar.SetMax(92);
    bar.SetPosition(2);
    EXPECT_EQ(bar.Places(), 46);
    EXPECT_EQ(bar.FilledBlocks(), 1);
}

TEST(FlatProgressBar, PositionIsLimitedToTheRange) {
    TFlatProgressBar bar;
    bar.resize(417, 25);
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(bar.FilledBlocks(), 46);
    bar.SetPosition(0);
    EXPECT_EQ(bar.FilledBlocks(), 0);
    bar.SetPosition(-4);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(FlatProgressBar, RangeNeverCollapses) {
    TFlatProgressBar bar;
    bar.SetPosition(60);
    bar.SetMax(40);
    EXPECT_EQ(bar.Position(), 40) << "a maximum below the position moves it down";
    bar.SetMax(0);
    EXPECT_EQ(bar.Max(), 1);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetMin(5);
    EXPECT_EQ(bar.Min(), 5);
    EXPECT_EQ(bar.Max(), 6);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_TRUE(bar.setProperty("Max", 1000));
    EXPECT_EQ(bar.Max(), 1000);
}

TEST(FlatProgressBar, SnapsItsLengthWhenShown) {
    TForm form;
    auto *bar = new TFlatProgressBar(&form);
    bar->resize(100, 16);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->width(), 93);
    bar->SetSmooth(true);
    bar->resize(100, 16);
    EXPECT_EQ(bar->width(), 100) << "a smooth bar keeps any length";
    bar->SetSmooth(false);
    EXPECT_EQ(bar->width(), 93);
    bar->SetOrientation(pbVertical);
    bar->resize(16, 50);
    EXPECT_EQ(bar->height(), 48);
}

// Records the areas the bar repaints.
class CountingBar : public TFlatProgressBar {
public:
    using TFlatProgressBar::TFlatProgressBar;
    QList<QRegion> painted;

protected:
    void paintEvent(QPaintEvent *e) override {
        painted << e->region();
        TFlatProgressBar::paintEvent(e);
    }
};

class ProgressRepaint : public ::testing::Test {
protected:
    void SetUp() override {
        bar = new CountingBar(&form);
        bar->setGeometry(8, 8, 417, 25);
        form.resize(440, 40);
        form.show();
        QCoreApplication::processEvents();
        bar->SetMax(46000); // 1000 positions per block
        QCoreApplication::processEvents();
        bar->painted.clear();
    }
    TForm form;
    CountingBar *bar = nullptr;
};

TEST_F(ProgressRepaint, AdvancingWithoutANewBlockPaintsNothing) {
    for (int pos = 1; pos < 1000; ++pos) {
        bar->SetPosition(pos);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(bar->FilledBlocks(), 0);
    EXPECT_TRUE(bar->painted.isEmpty()) << bar->painted.size() << " repaints";
}

TEST_F(ProgressRepaint, ANewBlockRepaintsOnlyItsArea) {
    for (int pos = 1; pos <= 1000; ++pos) {
        bar->SetPosition(pos);
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(bar->painted.size(), 1);
    EXPECT_EQ(bar->painted[0], QRegion(QRect(2, 2, 8, 21)));
    bar->painted.clear();
    bar->SetPosition(3500); // blocks 2 and 3 appear at once
    QCoreApplication::processEvents();
    ASSERT_EQ(bar->painted.size(), 1);
    EXPECT_EQ(bar->painted[0], QRegion(QRect(11, 2, 17, 21)));
}

TEST_F(ProgressRepaint, GoingBackRepaintsTheWholeBar) {
    bar->SetPosition(5000);
    QCoreApplication::processEvents();
    bar->painted.clear();
    bar->SetPosition(0);
    QCoreApplication::processEvents();
    ASSERT_FALSE(bar->painted.isEmpty());
    EXPECT_EQ(bar->painted.last(), QRegion(bar->rect()));
}

TEST_F(ProgressRepaint, PaintsFrameBlocksAndBackground) {
    bar->SetColor(clWhite);
    bar->SetPosition(2000);
    QImage shot(bar->size(), QImage::Format_RGB32);
    bar->render(&shot);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), Colors::toQColor(TFlatProgressBar::DefaultColorBorder));
    EXPECT_EQ(QColor(shot.pixel(5, 12)), Colors::toQColor(TFlatProgressBar::DefaultColorElement));
    EXPECT_EQ(QColor(shot.pixel(14, 12)), Colors::toQColor(TFlatProgressBar::DefaultColorElement));
    EXPECT_EQ(QColor(shot.pixel(10, 12)), QColor(Qt::white)) << "the gap between blocks";
    EXPECT_EQ(QColor(shot.pixel(25, 12)), QColor(Qt::white)) << "the third block is not due";
    EXPECT_EQ(QColor(shot.pixel(5, 1)), QColor(Qt::white));
}

TEST_F(ProgressRepaint, SmoothBarRepaintsOnlyTheGrowth) {
    bar->SetSmooth(true);
    bar->SetMax(413);
    QCoreApplication::processEvents();
    bar->painted.clear();
    bar->SetPosition(10);
    QCoreApplication::processEvents();
    ASSERT_EQ(bar->painted.size(), 1);
    EXPECT_EQ(bar->painted[0], QRegion(QRect(2, 2, 10, 21)));
    bar->painted.clear();
    bar->SetPosition(15);
    QCoreApplication::processEvents();
    ASSERT_EQ(bar->painted.size(), 1);
    EXPECT_EQ(bar->painted[0], QRegion(QRect(12, 2, 5, 21)));
}

} // namespace
