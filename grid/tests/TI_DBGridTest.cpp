// What the grid shows and how it follows its data set.
#include "GridFixture.h"

#include <QPaintEvent>

#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The rows area below the title row, inside the view.
QRect dataArea(const TI_DBGrid *grid) {
    const GridGeometry &g = grid->Geometry();
    return QRect(g.view.left(), g.dataTop(), g.view.width(), g.view.bottom() - g.dataTop() + 1);
}

TEST(GridDisplay, AnEmptyResultTableShowsOnlyTheThreeTitles) {
    GridFixture f;
    f.show();
    EXPECT_FALSE(f.Grid->ShowsPlaceholder());
    const QImage image = f.render();
    for (int c = 0; c < 3; ++c) {
        const QRect title = f.Grid->TitleRect(c);
        ASSERT_TRUE(title.isValid());
        // The title colour fills the cell and the white caption stands on it.
        EXPECT_EQ(image.pixel(title.left() + 1, title.top() + 1) & 0xFFFFFF,
                  rgbOf(kTitleColor) & 0xFFFFFF);
        EXPECT_GT(countColor(image, title, rgbOf(clWhite)), 10) << "column " << c;
    }
    // Below the titles there is nothing but the grid's colour: no rows, no placeholder.
    const QRect rows = dataArea(f.Grid);
    EXPECT_EQ(countColor(image, rows, rgbOf(clWindow)), rows.width() * rows.height());
}

enum class Missing { Columns, DataSource, DataSet };

class PlaceholderTest : public ::testing::TestWithParam<Missing> {};

TEST_P(PlaceholderTest, ShownWithoutColumnsDataSourceOrDataSet) {
    GridFixture f;
    switch (GetParam()) {
    case Missing::Columns:
        f.Grid->Columns()->Clear();
        break;
    case Missing::DataSource:
        f.Grid->SetDataSource(nullptr);
        break;
    case Missing::DataSet:
        f.DataSource_ARTMAIN->SetDataSet(nullptr);
        break;
    }
    f.show();
    EXPECT_TRUE(f.Grid->ShowsPlaceholder());
    const QImage image = f.render();
    // The grey text inside the border (which is grey too).
    const QRect client = f.Grid->Geometry().client;
    EXPECT_GT(countColor(image, client, rgbOf(TI_DBGrid::PlaceholderColor)), 20);
    EXPECT_EQ(countColor(image, image.rect(), rgbOf(kTitleColor)), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlaceholderTest,
                         ::testing::Values(Missing::Columns, Missing::DataSource,
                                           Missing::DataSet));

TEST(GridDisplay, ADestroyedDataSourceLeavesThePlaceholder) {
    GridFixture f;
    f.fill(5);
    f.show();
    delete f.DataSource_ARTMAIN;
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.Grid->ShowsPlaceholder());
    EXPECT_EQ(f.Grid->RowCount(), 0);
    EXPECT_GT(countColor(f.render(), f.Grid->Geometry().client, rgbOf(TI_DBGrid::PlaceholderColor)),
              20);
}

TEST(GridDisplay, AClosedDataSetShowsTitlesWithoutRows) {
    GridFixture f;
    f.fill(5);
    f.show();
    EXPECT_EQ(f.Grid->RowCount(), 5);
    f.KM->Close();
    EXPECT_EQ(f.Grid->RowCount(), 0);
    EXPECT_FALSE(f.Grid->ShowsPlaceholder());
    const QImage image = f.render();
    const QRect rows = dataArea(f.Grid);
    EXPECT_EQ(countColor(image, rows, rgbOf(clWindow)), rows.width() * rows.height());
}

// --- The selected row ------------------------------------------------------------------------

// A pixel inside a cell that no text covers (the texts are short and left-aligned).
QPoint emptySpotOf(const QRect &cell) {
    return QPoint(cell.right() - 2, cell.center().y());
}

TEST(GridSelection, WithoutTheFocusTheCurrentRowKeepsTheLightBackground) {
    GridFixture f;
    f.fill(5);
    f.KM->SetRecNo(3);
    f.focusOther();
    ASSERT_FALSE(f.Grid->hasFocus());
    const QImage image = f.render();
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(c, 3))) & 0xFFFFFF,
                  rgbOf(TI_DBGrid::UnfocusedSelectionColor) & 0xFFFFFF)
            << "column " << c;
        EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(c, 2))) & 0xFFFFFF,
                  rgbOf(clWindow) & 0xFFFFFF);
    }
    // The text keeps the column's font colour (black) on the light background.
    EXPECT_GT(countColor(image, f.Grid->CellRect(0, 3), rgbOf(clWindowText)), 5);
    EXPECT_EQ(TI_DBGrid::UnfocusedSelectionColor, rgbColor(255, 225, 121));
}

TEST(GridSelection, WithTheFocusTheCurrentRowIsHighlighted) {
    GridFixture f;
    f.fill(5);
    f.KM->SetRecNo(2);
    f.focusGrid();
    ASSERT_TRUE(f.Grid->hasFocus());
    const QImage image = f.render();
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(c, 2))) & 0xFFFFFF,
                  rgbOf(clHighlight) & 0xFFFFFF);
    EXPECT_GT(countColor(image, f.Grid->CellRect(0, 2), rgbOf(clHighlightText)), 5);
    EXPECT_EQ(countColor(image, f.Grid->rect(), rgbOf(TI_DBGrid::UnfocusedSelectionColor)), 0);
}

TEST(GridSelection, WithoutAlwaysShowSelectionAnUnfocusedGridShowsNone) {
    GridFixture f;
    f.fill(5);
    f.Grid->SetOptions(f.Grid->Options() & ~TDBGridOptions(dgAlwaysShowSelection));
    f.KM->SetRecNo(2);
    f.focusOther();
    const QImage image = f.render();
    EXPECT_EQ(countColor(image, f.Grid->rect(), rgbOf(TI_DBGrid::UnfocusedSelectionColor)), 0);
    EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(1, 2))) & 0xFFFFFF,
              rgbOf(clWindow) & 0xFFFFFF);
}

TEST(GridSelection, WithoutRowSelectOnlyTheCurrentCellIsSelected) {
    GridFixture f;
    f.fill(5);
    f.Grid->SetOptions(f.Grid->Options() & ~TDBGridOptions(dgRowSelect));
    f.Grid->SetSelectedIndex(1);
    f.KM->SetRecNo(2);
    f.focusOther();
    const QImage image = f.render();
    const QRgb selected = rgbOf(TI_DBGrid::UnfocusedSelectionColor) & 0xFFFFFF;
    EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(1, 2))) & 0xFFFFFF, selected);
    EXPECT_NE(image.pixel(emptySpotOf(f.Grid->CellRect(0, 2))) & 0xFFFFFF, selected);
    EXPECT_NE(image.pixel(emptySpotOf(f.Grid->CellRect(2, 2))) & 0xFFFFFF, selected);
}

// --- The display hook ------------------------------------------------------------------------

TEST(GridDrawTextFormat, AskedForEveryDrawnCellWithItsFieldAndDisplayText) {
    GridFixture f(QSize(548, 200));
    f.add(10, QStringLiteral("Schraube"), QStringLiteral("S-1"), true);
    f.add(11, QStringLiteral("Mutter"), QStringLiteral("M-1"));
    f.add(12, QStringLiteral("Scheibe"), QStringLiteral("W-1"), false);
    f.show();
    struct Call {
        TField *field;
        QString text;
        int recNo;
        QVariant value;
    };
    QList<Call> calls;
    f.Grid->OnDrawTextFormat = [&](TField *field, QString &text) {
        calls.append({field, text, f.Grid->DrawingRecNo(), f.Grid->DrawingValue(field)});
    };
    f.render();
    ASSERT_EQ(calls.size(), 9);
    const QList<TField *> fields = {f.KMBZ, f.KMBSTN, f.KMHASBOOKS};
    const QStringList expected = {
        QStringLiteral("Schraube"), QStringLiteral("S-1"), QStringLiteral("True"),
        QStringLiteral("Mutter"),   QStringLiteral("M-1"), QString(),
        QStringLiteral("Scheibe"),  QStringLiteral("W-1"), QStringLiteral("False")};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(calls[i].field, fields[i % 3]) << i;
        EXPECT_EQ(calls[i].text, expected[i]) << i;
        EXPECT_EQ(calls[i].recNo, i / 3 + 1) << i;
        // The hook can read the drawn row's value, which is not the current record's.
        EXPECT_EQ(calls[i].value, f.KM->FieldValueAt(i / 3 + 1, fields[i % 3])) << i;
    }
    EXPECT_EQ(f.KM->RecNo(), 3);
    EXPECT_EQ(f.Grid->DrawingRecNo(), 0);

    // Every drawing asks again.
    f.render();
    EXPECT_EQ(calls.size(), 18);
}

TEST(GridDrawTextFormat, TheTextTheHookLeavesIsDrawn) {
    GridFixture f(QSize(548, 200));
    f.add(1, QStringLiteral("Schraube"), QStringLiteral("S-1"));
    f.add(2, QStringLiteral("Mutter"), QStringLiteral("M-1"), true);
    f.KM->SetRecNo(1);
    f.focusOther();

    // The hook empties every cell but one, whose text it replaces.
    f.Grid->OnDrawTextFormat = [&](TField *field, QString &text) {
        text = field == f.KMHASBOOKS && f.Grid->DrawingRecNo() == 2 ? QStringLiteral("WWWWWW")
                                                                    : QString();
    };
    QImage image = f.render();
    EXPECT_GT(countDark(image, f.Grid->CellRect(2, 2)), 10);
    EXPECT_EQ(countDark(image, f.Grid->CellRect(0, 2)), 0);
    EXPECT_EQ(countDark(image, f.Grid->CellRect(1, 2)), 0);
    EXPECT_EQ(countDark(image, f.Grid->CellRect(0, 1)), 0);
    // Without the hook the cells show their own texts; an empty boolean shows nothing.
    f.Grid->OnDrawTextFormat = nullptr;
    image = f.render();
    EXPECT_EQ(countDark(image, f.Grid->CellRect(2, 1)), 0);
    EXPECT_GT(countDark(image, f.Grid->CellRect(0, 2)), 10);
}

// --- Following the data set ------------------------------------------------------------------

TEST(GridFollowsDataSet, RefilledWithControlsDisabledItRedrawsOnceWhenEnabled) {
    GridFixture f;
    f.fill(30);
    f.KM->First();
    f.show();
    QCoreApplication::processEvents();
    PaintCounter counter(f.Grid);

    f.KM->DisableControls();
    f.KM->EmptyTable();
    for (int i = 1; i <= 40; ++i)
        f.add(100 + i, QStringLiteral("Neu %1").arg(i), QStringLiteral("N%1").arg(i));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    // Meanwhile the grid still shows what it had, and does not read the table even when it
    // is resized and has room for more rows.
    const int visibleBefore = f.Grid->Geometry().visibleRows;
    f.KM->reads = 0;
    f.Grid->resize(548, 500);
    f.Grid->repaint();
    ASSERT_GT(f.Grid->Geometry().visibleRows, visibleBefore);
    EXPECT_EQ(f.KM->reads, 0);
    EXPECT_EQ(f.Grid->RowCount(), 30);
    QStringList drawn;
    f.Grid->OnDrawTextFormat = [&](TField *field, QString &text) {
        if (field == f.KMBZ)
            drawn << text;
    };
    f.render();
    EXPECT_EQ(drawn.first(), QStringLiteral("Artikel 1"));
    counter.paints = 0;

    f.KM->First();
    f.KM->EnableControls();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(f.Grid->RowCount(), 40);
    EXPECT_EQ(f.Grid->CurrentRow(), 1);
    drawn.clear();
    f.render();
    EXPECT_EQ(drawn.first(), QStringLiteral("Neu 1"));
}

TEST(GridFollowsDataSet, EmptyTableShowsNoRows) {
    GridFixture f;
    f.fill(8);
    f.show();
    f.KM->EmptyTable();
    EXPECT_EQ(f.Grid->RowCount(), 0);
    EXPECT_EQ(f.Grid->CurrentRow(), 0);
    const QImage image = f.render();
    const QRect rows = dataArea(f.Grid);
    EXPECT_EQ(countColor(image, rows, rgbOf(clWindow)), rows.width() * rows.height());
}

TEST(GridFollowsDataSet, TheSelectedRowIsAlwaysTheCurrentRecord) {
    GridFixture f(QSize(548, 200));
    f.fill(100);
    f.show();
    const int fullRows = f.Grid->Geometry().fullRows;
    f.KM->Last();
    EXPECT_EQ(f.Grid->CurrentRow(), 100);
    // Scrolled into view as the last whole row.
    EXPECT_EQ(f.Grid->TopRow(), 100 - fullRows + 1);
    ASSERT_TRUE(f.KM->Locate(QStringLiteral("ID"), 40, {}));
    EXPECT_EQ(f.Grid->CurrentRow(), 40);
    EXPECT_EQ(f.Grid->TopRow(), 40);
    f.KM->Next();
    EXPECT_EQ(f.Grid->CurrentRow(), 41);
    EXPECT_EQ(f.Grid->TopRow(), 40);
}

TEST(GridFollowsDataSet, AChangedRecordIsShownAtItsPlace) {
    GridFixture f;
    f.fill(3);
    f.show();
    f.KM->SetRecNo(2);
    f.KM->Edit();
    f.KMBZ->SetAsString(QStringLiteral("Geändert"));
    f.KM->Post();
    QStringList drawn;
    f.Grid->OnDrawTextFormat = [&](TField *field, QString &text) {
        if (field == f.KMBZ)
            drawn << text;
    };
    f.render();
    EXPECT_EQ(drawn, (QStringList{QStringLiteral("Artikel 1"), QStringLiteral("Geändert"),
                                  QStringLiteral("Artikel 3")}));
}

TEST(GridFollowsDataSet, OnlyTheVisibleRowsAreRead) {
    GridFixture f(QSize(548, 200));
    f.fill(5000);
    f.show();
    const int visible = f.Grid->Geometry().visibleRows;
    ASSERT_GT(visible, 5);
    ASSERT_LT(visible, 20);

    // Refilled: the visible rows are read once, three fields each.
    f.KM->reads = 0;
    f.KM->DisableControls();
    f.KM->EmptyTable();
    for (int i = 1; i <= 5000; ++i)
        f.add(i, QStringLiteral("Zeile %1").arg(i), QString());
    f.KM->First();
    f.KM->reads = 0;
    f.KM->EnableControls();
    EXPECT_LE(f.KM->reads, 2 * 3 * visible);
    EXPECT_GE(f.KM->reads, 3 * visible);

    // Painting reads nothing: it draws what the grid keeps.
    f.KM->reads = 0;
    f.render();
    f.Grid->repaint();
    EXPECT_EQ(f.KM->reads, 0);

    // Jumping to the end reads one screen of rows, not the 5000 between.
    f.KM->Last();
    EXPECT_LE(f.KM->reads, 3 * visible);
    EXPECT_EQ(f.Grid->CurrentRow(), 5000);
    // Moving within the screen reads nothing.
    f.KM->reads = 0;
    f.KM->Prior();
    EXPECT_EQ(f.KM->reads, 0);
}

// --- Published properties --------------------------------------------------------------------

TEST(GridProperties, TheColourSchemePropertiesAreSetByName) {
    GridFixture f;
    f.fill(2);
    f.focusOther();
    ASSERT_TRUE(f.Grid->setProperty("Color", int(clYellow)));
    ASSERT_TRUE(f.Grid->setProperty("FixedColor", int(clAqua)));
    ASSERT_TRUE(f.Grid->setProperty("BorderStyle", int(TI_DBGrid::bsNone)));
    EXPECT_EQ(f.Grid->property("Color").toInt(), clYellow);
    EXPECT_EQ(f.Grid->Geometry().client.topLeft(), QPoint(0, 0));
    QImage image = f.render();
    // Cells and the empty area take the grid's colour.
    EXPECT_EQ(image.pixel(emptySpotOf(f.Grid->CellRect(1, 1))) & 0xFFFFFF,
              rgbOf(clYellow) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(f.Grid->width() / 2, f.Grid->height() - 3) & 0xFFFFFF,
              rgbOf(clYellow) & 0xFFFFFF);
    // A title with the designed colour keeps it.
    EXPECT_EQ(image.pixel(f.Grid->TitleRect(0).topLeft() + QPoint(1, 1)) & 0xFFFFFF,
              rgbOf(kTitleColor) & 0xFFFFFF);

    // Unknown border styles are ignored; a single border comes back.
    f.Grid->setProperty("BorderStyle", 7);
    EXPECT_EQ(f.Grid->BorderStyle(), TI_DBGrid::bsNone);
    f.Grid->setProperty("BorderStyle", int(TI_DBGrid::bsSingle));
    EXPECT_EQ(f.Grid->Geometry().client.topLeft(), QPoint(1, 1));
    image = f.render();
    EXPECT_EQ(image.pixel(0, 40) & 0xFFFFFF, rgbOf(clBtnShadow) & 0xFFFFFF);
}

TEST(GridProperties, TitlesWithoutTheirOwnColourTakeTheFixedColour) {
    GridFixture f;
    TColumn *column = f.Grid->Columns()->Add();
    column->SetFieldName(QStringLiteral("ID"));
    column->Title()->SetCaption(QStringLiteral("ID"));
    f.Grid->SetFixedColor(clLime);
    f.show();
    const QImage image = f.render();
    EXPECT_EQ(image.pixel(f.Grid->TitleRect(3).topLeft() + QPoint(1, 1)) & 0xFFFFFF,
              rgbOf(clLime) & 0xFFFFFF);
}

} // namespace
