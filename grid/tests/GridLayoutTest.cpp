#include "grid/GridLayout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace {

int sum(const QList<int> &values) {
    return std::accumulate(values.begin(), values.end(), 0);
}

// --- distribute ------------------------------------------------------------------------------

struct DistributeCase {
    const char *name;
    QList<double> shares;
    int total;
    int minWidth;
    QList<int> expected;
};

class DistributeTest : public ::testing::TestWithParam<DistributeCase> {};

TEST_P(DistributeTest, SplitsInProportion) {
    const DistributeCase &c = GetParam();
    EXPECT_EQ(GridLayout::distribute(c.shares, c.total, c.minWidth), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DistributeTest,
    ::testing::Values(
        // 220:134:189 in 540 pixels: 218.78, 133.26, 187.96; the two pixels left over go to
        // the largest remainders.
        DistributeCase{"designed_widths", {220, 134, 189}, 540, 10, {219, 133, 188}},
        DistributeCase{"exact_fit_unchanged", {100, 200}, 300, 10, {100, 200}},
        DistributeCase{"growing", {100, 200}, 600, 10, {200, 400}},
        DistributeCase{"small_share_gets_minimum", {1000, 1, 1}, 100, 10, {80, 10, 10}},
        DistributeCase{"too_narrow_all_minimum", {5, 5, 5}, 20, 10, {10, 10, 10}},
        DistributeCase{"zero_shares_equal", {0, 0, 0}, 31, 5, {11, 10, 10}},
        DistributeCase{"no_columns", {}, 100, 10, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DistributeProperty, AlwaysFillsExactlyAndStaysProportional) {
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        const int n = 1 + int(random() % 6);
        QList<double> shares;
        for (int i = 0; i < n; ++i)
            shares.append(1 + random() % 400);
        const int total = n * 10 + int(random() % 1500);
        const QList<int> widths = GridLayout::distribute(shares, total, 10);
        ASSERT_EQ(widths.size(), n);
        EXPECT_EQ(sum(widths), total);
        const double shareSum = std::accumulate(shares.begin(), shares.end(), 0.0);
        for (int i = 0; i < n; ++i) {
            EXPECT_GE(widths[i], 10);
            const double exact = shares[i] * total / shareSum;
            // A column is off its exact share by rounding, or lifted to the minimum (which
            // the others pay for).
            if (exact >= 10 + n) {
                EXPECT_LE(std::abs(widths[i] - exact), 1.0 + 10.0 * n * shares[i] / shareSum)
                    << "round " << round << " column " << i;
            }
        }
    }
}

// --- resizeWithin ----------------------------------------------------------------------------

struct ResizeCase {
    const char *name;
    QList<int> widths;
    int column;
    int width;
    int total;
    QList<int> expected;
};

class ResizeWithinTest : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ResizeWithinTest, OtherSideGivesWay) {
    const ResizeCase &c = GetParam();
    const QList<int> result = GridLayout::resizeWithin(c.widths, c.column, c.width, c.total, 10);
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResizeWithinTest,
    ::testing::Values(
        ResizeCase{"first_wider_right_shrinks", {100, 100, 100}, 0, 160, 300, {160, 70, 70}},
        ResizeCase{"right_side_keeps_proportion", {100, 100, 200}, 0, 160, 400, {160, 80, 160}},
        ResizeCase{"middle_left_untouched", {100, 100, 100}, 1, 50, 300, {100, 50, 150}},
        ResizeCase{"last_column_left_gives_way", {100, 100, 100}, 2, 150, 300, {75, 75, 150}},
        ResizeCase{"clamped_so_others_keep_minimum", {100, 100, 100}, 0, 500, 300, {280, 10, 10}},
        ResizeCase{"never_below_minimum", {100, 100, 100}, 0, 2, 300, {10, 145, 145}},
        ResizeCase{"single_column_fills", {100}, 0, 40, 300, {300}}),
    [](const auto &info) { return std::string(info.param.name); });

// --- arrange ---------------------------------------------------------------------------------

// The main window's grid: flat single border, titles, lines, rows of 17 pixels.
GridLayoutInput configuredGrid(QSize size, int rows) {
    GridLayoutInput in;
    in.size = size;
    in.border = 1;
    in.scrollBarExtent = 16;
    in.titleHeight = 19;
    in.rowHeight = 17;
    in.rowLine = 1;
    in.colLine = 1;
    in.rowCount = rows;
    in.widths = {220, 134, 189};
    in.shares = {220, 134, 189};
    in.autoSize = true;
    return in;
}

TEST(Arrange, AutoSizedColumnsFillTheViewWithTheirLines) {
    const GridGeometry g = GridLayout::arrange(configuredGrid(QSize(548, 202), 3));
    EXPECT_EQ(g.client, QRect(1, 1, 546, 200));
    EXPECT_FALSE(g.vBar);
    EXPECT_FALSE(g.hBar);
    EXPECT_EQ(g.view, g.client);
    EXPECT_EQ(sum(g.widths) + 3, 546);
    EXPECT_EQ(g.contentWidth, 546);
    EXPECT_EQ(g.lefts, (QList<int>{0, g.widths[0] + 1, g.widths[0] + g.widths[1] + 2}));
}

TEST(Arrange, RowsThatDoNotFitBringTheVerticalBarAndNarrowTheColumns) {
    // 200 pixels: title 19 + line, then rows of 17 + line: (180 + 1) / 18 = 10 whole rows.
    const GridGeometry fits = GridLayout::arrange(configuredGrid(QSize(548, 202), 10));
    EXPECT_FALSE(fits.vBar);
    EXPECT_EQ(fits.fullRows, 10);
    EXPECT_EQ(fits.visibleRows, 10);

    const GridGeometry more = GridLayout::arrange(configuredGrid(QSize(548, 202), 11));
    EXPECT_TRUE(more.vBar);
    EXPECT_FALSE(more.hBar);
    EXPECT_EQ(more.view.width(), 546 - 16);
    EXPECT_EQ(more.vBarRect, QRect(531, 1, 16, 200));
    EXPECT_EQ(sum(more.widths) + 3, 530);
    EXPECT_EQ(more.maxTopRow(), 2);
}

TEST(Arrange, WideFixedColumnsScrollHorizontallyAndTheBarCostsRows) {
    GridLayoutInput in = configuredGrid(QSize(300, 202), 10);
    in.autoSize = false;
    const GridGeometry g = GridLayout::arrange(in);
    EXPECT_TRUE(g.hBar);
    // The horizontal bar takes 16 pixels, so the ten rows no longer fit: both bars.
    EXPECT_TRUE(g.vBar);
    EXPECT_EQ(g.widths, in.widths);
    EXPECT_EQ(g.corner, QRect(283, 185, 16, 16));
    EXPECT_EQ(g.maxScrollX(), 546 - 282);
}

TEST(Arrange, HitTestFindsTitlesRowsAndSeparators) {
    const GridGeometry g = GridLayout::arrange(configuredGrid(QSize(548, 202), 40));
    const int topRow = 5;
    const int x = g.view.left() + g.lefts[1] + 3;
    EXPECT_EQ(g.hitTest(QPoint(x, 5), topRow, 0).area, GridGeometry::Area::Title);
    EXPECT_EQ(g.hitTest(QPoint(x, 5), topRow, 0).column, 1);

    const GridGeometry::Hit first = g.hitTest(QPoint(x, g.dataTop()), topRow, 0);
    EXPECT_EQ(first.area, GridGeometry::Area::Data);
    EXPECT_EQ(first.row, 5);
    EXPECT_EQ(g.hitTest(QPoint(x, g.dataTop() + 2 * 18 + 17), topRow, 0).row, 7);
    EXPECT_EQ(g.hitTest(QPoint(x, g.dataTop() + 3 * 18), topRow, 0).row, 8);
    // Outside the view (border, scroll bar) nothing is hit.
    EXPECT_EQ(g.hitTest(QPoint(0, 50), topRow, 0).area, GridGeometry::Area::None);
    EXPECT_EQ(g.hitTest(QPoint(g.vBarRect.left() + 1, 50), topRow, 0).area,
              GridGeometry::Area::None);

    const int edge = g.view.left() + g.lefts[0] + g.widths[0];
    EXPECT_EQ(g.separatorAt(edge, 0, 3), 0);
    EXPECT_EQ(g.separatorAt(edge + 3, 0, 3), 0);
    EXPECT_EQ(g.separatorAt(edge + 4, 0, 3), -1);
    // Scrolled by 20 pixels the separator has moved left.
    EXPECT_EQ(g.separatorAt(edge - 20, 20, 0), 0);
}

TEST(Arrange, BelowTheLastRowNoRowIsHit) {
    const GridGeometry g = GridLayout::arrange(configuredGrid(QSize(548, 202), 2));
    EXPECT_EQ(g.hitTest(QPoint(50, g.dataTop() + 18 + 5), 1, 0).row, 2);
    EXPECT_EQ(g.hitTest(QPoint(50, g.dataTop() + 2 * 18 + 5), 1, 0).row, 0);
}

TEST(Arrange, ExposedRectangleSelectsOnlyTheRowsInIt) {
    const GridGeometry g = GridLayout::arrange(configuredGrid(QSize(548, 202), 40));
    const int topRow = 11;
    // Rows 13 and 14 of the view (third and fourth visible rows).
    const QRect exposed(10, g.dataTop() + 2 * 18 + 4, 50, 18);
    EXPECT_EQ(g.rowsIn(exposed, topRow), std::make_pair(13, 14));
    EXPECT_EQ(g.rowsIn(g.view, topRow), std::make_pair(11, 20));
    const GridGeometry few = GridLayout::arrange(configuredGrid(QSize(548, 202), 3));
    EXPECT_EQ(few.rowsIn(few.view, 1), std::make_pair(1, 3));
    const GridGeometry none = GridLayout::arrange(configuredGrid(QSize(548, 202), 0));
    const auto [first, last] = none.rowsIn(none.view, 1);
    EXPECT_GT(first, last);
}

} // namespace
