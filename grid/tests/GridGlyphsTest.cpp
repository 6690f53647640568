// The grid shows the marks of capitals and the descenders in its cells, its titles and its search
// hint: "Ä-400" must not look like "A-400".
#include "GridFixture.h"

#include "grid/TGridSearchHint.h"
#include "testsupport/TextInk.h"

#include <gtest/gtest.h>

namespace {

class GridGlyphs : public ::testing::Test {
protected:
    void SetUp() override {
        Fonts::setup();
        if (!Fonts::tahomaAvailable())
            GTEST_SKIP() << "the Tahoma of fonts-wine is not installed";
    }
};

// The order number cell of a result row with the text, in the grid as the main window has it:
// the current row drawn selected (the grid has the focus), or another row.
QImage cellWith(const QString &text, bool selected) {
    GridFixture f;
    f.add(1, QStringLiteral("Artikel"), selected ? text : QStringLiteral("B1"));
    f.add(2, QStringLiteral("Artikel"), selected ? QStringLiteral("B2") : text);
    f.KM->First();
    f.focusGrid();
    return f.render().copy(f.Grid->CellRect(1, selected ? 1 : 2));
}

TEST_F(GridGlyphs, CellsInTheRowHeightOfTheWindow) {
    const QFont font = Fonts::make(QStringLiteral("Tahoma"), -12);
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected row" : "plain row");
        EXPECT_TRUE(TextInk::drawnWhole(
            [&](const QString &text) { return cellWith(text, selected); }, font));
    }
}

TEST_F(GridGlyphs, TitlesInTheirOwnAndInTheGridsFont) {
    for (const bool ownFont : {true, false}) {
        SCOPED_TRACE(ownFont ? "column title font" : "grid title font");
        const QFont font = ownFont ? Fonts::make(QStringLiteral("Tahoma"), -12)
                                   : Fonts::make(QStringLiteral("MS Sans Serif"), -11);
        const auto render = [&](const QString &text) {
            GridFixture f;
            TColumnTitle *title = f.Grid->Columns()->Items(1)->Title();
            title->SetCaption(text);
            if (!ownFont)
                title->SetFont(font);
            f.show();
            return f.render().copy(f.Grid->TitleRect(1));
        };
        EXPECT_TRUE(TextInk::drawnWhole(render, font));
    }
}

TEST_F(GridGlyphs, SearchHint) {
    const QFont font = Fonts::make(QStringLiteral("Tahoma"), -11);
    const auto render = [&](const QString &text) {
        TGridSearchHint hint(nullptr);
        hint.ShowAt(text, QPoint(0, 0));
        // The hint is as wide as its text: what lies inside its frame, on a canvas of one size.
        const QImage inside = TextInk::picture(hint).copy(hint.rect().adjusted(1, 1, -1, -1));
        hint.hide();
        return TextInk::onCanvas(inside, QSize(200, 40), Colors::toQColor(clInfoBk));
    };
    EXPECT_TRUE(TextInk::drawnWhole(render, font));
}

} // namespace
