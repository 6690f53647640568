#include "widgets/FlatButtonGeometry.h"

#include <gtest/gtest.h>

namespace G = FlatButtonGeometry;

namespace {

struct PlaceCase {
    const char *name;
    QSize client, glyph, caption;
    TFlatButton::TButtonLayout layout;
    int margin, spacing;
    QPoint offset;
    QPoint glyphAt;
    QRect captionAt;
};

void PrintTo(const PlaceCase &c, std::ostream *os) {
    *os << c.name;
}

class Placement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Placement, PutsGlyphAndCaptionWhereTheRulesSay) {
    const PlaceCase &c = GetParam();
    const G::Placement p =
        G::place(c.client, c.glyph, c.caption, c.layout, c.margin, c.spacing, c.offset);
    EXPECT_EQ(p.glyph, c.glyphAt);
    EXPECT_EQ(p.caption, c.captionAt);
}

const QSize kNone(0, 0);

INSTANTIATE_TEST_SUITE_P(
    Rules, Placement,
    ::testing::Values(
        // The main window's check button: glyph left, centred together with the spacing.
        PlaceCase{"margin -1 with spacing",
                  {93, 37},
                  {16, 16},
                  {56, 13},
                  blGlyphLeft,
                  -1,
                  4,
                  {},
                  {9, 11},
                  {29, 12, 56, 13}},
        PlaceCase{"same, pressed",
                  {93, 37},
                  {16, 16},
                  {56, 13},
                  blGlyphLeft,
                  -1,
                  4,
                  {1, 1},
                  {10, 12},
                  {30, 13, 56, 13}},
        PlaceCase{"margin and spacing -1 spread evenly",
                  {100, 30},
                  {16, 16},
                  {40, 13},
                  blGlyphLeft,
                  -1,
                  -1,
                  {},
                  {14, 7},
                  {44, 9, 40, 13}},
        PlaceCase{"margin with spacing -1, glyph right",
                  {100, 30},
                  {16, 16},
                  {40, 13},
                  blGlyphRight,
                  5,
                  -1,
                  {},
                  {79, 7},
                  {20, 9, 40, 13}},
        PlaceCase{"glyph bottom with margin and spacing",
                  {80, 50},
                  {16, 16},
                  {30, 13},
                  blGlyphBottom,
                  3,
                  2,
                  {},
                  {32, 31},
                  {25, 16, 30, 13}},
        PlaceCase{"glyph alone on top: spacing 0",
                  {25, 25},
                  {16, 16},
                  kNone,
                  blGlyphTop,
                  -1,
                  4,
                  {},
                  {5, 5},
                  {13, 21, 0, 0}},
        PlaceCase{"caption alone: spacing 0",
                  {93, 37},
                  kNone,
                  {56, 13},
                  blGlyphLeft,
                  -1,
                  4,
                  {},
                  {19, 19},
                  {19, 12, 56, 13}},
        // (20 - 16 - 30) / 3 truncates towards zero to -8.
        PlaceCase{"too little room truncates towards zero",
                  {20, 30},
                  {16, 16},
                  {30, 13},
                  blGlyphLeft,
                  -1,
                  -1,
                  {},
                  {-8, 7},
                  {0, 9, 30, 13}},
        // (10 - 16 + 1) / 2 rounds down to -3.
        PlaceCase{"glyph taller than the button rounds down",
                  {60, 10},
                  {16, 16},
                  kNone,
                  blGlyphLeft,
                  2,
                  4,
                  {},
                  {2, -3},
                  {18, 5, 0, 0}}));

TEST(GlyphChoice, FollowsTheImageTable) {
    using B = TFlatButton;
    // {numGlyphs, up, disabled, pressed, latched} as image numbers from 1.
    const int table[4][5] = {{1, 1, 1, 1, 1}, {2, 1, 2, 1, 1}, {3, 1, 2, 3, 3}, {4, 1, 2, 3, 4}};
    const B::TButtonState states[4] = {B::bsUp, B::bsDisabled, B::bsDown, B::bsExclusive};
    for (const auto &row : table) {
        for (int s = 0; s < 4; ++s) {
            const G::GlyphChoice c = G::chooseGlyph(row[0], states[s]);
            EXPECT_EQ(c.index + 1, row[s + 1]) << "NumGlyphs " << row[0] << " state " << s;
            EXPECT_EQ(c.drawDisabled, row[0] == 1 && states[s] == B::bsDisabled);
        }
    }
}

TEST(GlyphChoice, StripOfFourSixtyFourWideGivesSixteenSquareImages) {
    EXPECT_EQ(G::imageSize({64, 16}, 4), QSize(16, 16));
    EXPECT_EQ(G::imageSize({64, 16}, 1), QSize(64, 16));
    EXPECT_EQ(G::imageSize({0, 0}, 4), QSize(0, 0));
}

TEST(GlyphChoice, AssignedStripImpliesItsNumberOfImages) {
    EXPECT_EQ(G::impliedNumGlyphs({64, 16}), 4);
    EXPECT_EQ(G::impliedNumGlyphs({32, 16}), 2);
    EXPECT_EQ(G::impliedNumGlyphs({16, 16}), 1);
    EXPECT_EQ(G::impliedNumGlyphs({80, 16}), 1); // five images: more than a button shows
    EXPECT_EQ(G::impliedNumGlyphs({30, 16}), 0); // no whole multiple: NumGlyphs unchanged
    EXPECT_EQ(G::impliedNumGlyphs({0, 0}), 0);
}

TEST(ShortcutLabel, MovesTheClientRectangleByLayout) {
    const QSize client(93, 37);
    // Left: dx = 10 - 93 / 2 = -36; the top is then set to 1.
    EXPECT_EQ(G::shortcutLabelRect(client, blGlyphLeft), QRect(-36, 1, 93, 36));
    EXPECT_EQ(G::shortcutLabelRect(client, blGlyphRight), QRect(30, 1, 93, 56));
    EXPECT_EQ(G::shortcutLabelRect(client, blGlyphTop), QRect(12, 1, 93, 16));
    EXPECT_EQ(G::shortcutLabelRect(client, blGlyphBottom), QRect(-20, 1, 93, 56));
    EXPECT_EQ(G::shortcutLabelRect({25, 25}, blGlyphLeft).left(), -2);
}

TEST(RoundedOutline, CutsTheCornersOnly) {
    const QRegion full = G::roundedOutline({25, 25}, 0);
    EXPECT_TRUE(full.contains(QPoint(0, 0)));
    const QRegion round = G::roundedOutline({40, 25}, 20);
    EXPECT_FALSE(round.contains(QPoint(0, 0)));
    EXPECT_FALSE(round.contains(QPoint(39, 24)));
    EXPECT_TRUE(round.contains(QPoint(20, 12)));
    EXPECT_TRUE(round.contains(QPoint(20, 0)));
}

} // namespace
