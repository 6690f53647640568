// Keys, mouse and the typing search of the grid.
#include "GridFixture.h"

#include "grid/TGridSearchHint.h"
#include "platform/ui/Keys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <numeric>

namespace {

QTimer *searchTimer(TI_DBGrid *grid) {
    return grid->findChild<QTimer *>(QStringLiteral("SearchTimer"));
}

void fireTimer(QTimer *timer) {
    // What the timer does once its 5 seconds have passed.
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
}

void type(TI_DBGrid *grid, const char *text) {
    QTest::keyClicks(grid, QString::fromLatin1(text));
}

struct SearchFixture : GridFixture {
    SearchFixture() {
        add(1, QStringLiteral("Zeta"), QStringLiteral("Z1"));
        add(2, QStringLiteral("Alpha"), QStringLiteral("A1"));
        add(3, QStringLiteral("xab"), QStringLiteral("X1"));
        add(4, QStringLiteral("ABEND"), QStringLiteral("A2"));
        add(5, QStringLiteral("abc"), QStringLiteral("A3"));
        focusGrid();
    }
};

// --- Typing search ---------------------------------------------------------------------------

TEST(GridSearch, TypingFindsTheFirstRecordStartingWithTheTextInAnyCase) {
    SearchFixture f;
    ASSERT_EQ(f.Grid->SelectedIndex(), 0);
    type(f.Grid, "a");
    EXPECT_EQ(f.KM->RecNo(), 2);
    type(f.Grid, "b");
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("ab"));
    EXPECT_EQ(f.KM->RecNo(), 4);
    EXPECT_EQ(f.Grid->CurrentRow(), 4);

    // The hint shows the text at the found cell: at its middle, one row below its top.
    TGridSearchHint *hint = f.Grid->SearchHint();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->Text(), QStringLiteral("ab"));
    const QRect cell = f.Grid->CellRect(0, 4);
    EXPECT_EQ(hint->geometry().topLeft(),
              f.Grid->mapToGlobal(QPoint(cell.center().x(), cell.top() + 17)));

    QTimer *timer = searchTimer(f.Grid);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);

    fireTimer(timer);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_FALSE(f.Grid->Searching());
    // The next key starts a new text.
    type(f.Grid, "z");
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("z"));
    EXPECT_EQ(f.KM->RecNo(), 1);
}

TEST(GridSearch, EveryFurtherKeyRestartsTheTimer) {
    SearchFixture f;
    type(f.Grid, "a");
    QTimer *timer = searchTimer(f.Grid);
    timer->stop();
    type(f.Grid, "b");
    EXPECT_TRUE(timer->isActive());
    timer->stop();
    // Also a key that adds nothing to the text.
    type(f.Grid, "!");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("ab"));
}

TEST(GridSearch, ANotFoundTextKeepsTheCurrentRecord) {
    SearchFixture f;
    f.KM->SetRecNo(3);
    type(f.Grid, "q");
    EXPECT_EQ(f.KM->RecNo(), 3);
    EXPECT_TRUE(f.Grid->SearchHint()->isVisible());
}

TEST(GridSearch, BackspaceSearchesTheShorterTextAndEmptyEndsTheSearch) {
    SearchFixture f;
    type(f.Grid, "abe");
    EXPECT_EQ(f.KM->RecNo(), 4);
    f.KM->SetRecNo(1);
    QTest::keyClick(f.Grid, Qt::Key_Backspace);
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("ab"));
    EXPECT_EQ(f.KM->RecNo(), 4);
    QTest::keyClick(f.Grid, Qt::Key_Backspace);
    QTest::keyClick(f.Grid, Qt::Key_Backspace);
    EXPECT_FALSE(f.Grid->Searching());
    EXPECT_FALSE(f.Grid->SearchHint()->isVisible());
}

TEST(GridSearch, TheHourglassShowsWhileTheSearchRuns) {
    SearchFixture f;
    QList<int> shapes;
    f.KM->AfterScroll = [&](TDataSet *) {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        shapes << (cursor ? int(cursor->shape()) : -1);
    };
    type(f.Grid, "a");
    EXPECT_EQ(shapes, QList<int>{int(Qt::WaitCursor)});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A screen cursor that was already set (a long operation's) is put back, not stacked.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    type(f.Grid, "b");
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(shapes.size(), 2);
    EXPECT_EQ(shapes.last(), int(Qt::WaitCursor));
}

struct BooleanCase {
    const char *text;
    int expectedRow;
};

class BooleanSearchTest : public ::testing::TestWithParam<BooleanCase> {};

TEST_P(BooleanSearchTest, TheBookingsColumnIsSearchedByZeroAndOne) {
    GridFixture f;
    f.add(1, QStringLiteral("A"), QStringLiteral("B1"), true);
    f.add(2, QStringLiteral("B"), QStringLiteral("B1")); // never marked: reads as False
    f.add(3, QStringLiteral("C"), QStringLiteral("B2"), false);
    f.add(4, QStringLiteral("D"), QStringLiteral("B2"), true);
    f.focusGrid();
    QTest::keyClick(f.Grid, Qt::Key_Right);
    QTest::keyClick(f.Grid, Qt::Key_Right);
    ASSERT_EQ(f.Grid->SelectedColumn()->FieldName(), QStringLiteral("HASBOOKS"));
    ASSERT_EQ(f.KM->RecNo(), 4);
    type(f.Grid, GetParam().text);
    EXPECT_EQ(f.KM->RecNo(), GetParam().expectedRow);
    EXPECT_EQ(f.Grid->SearchText(), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, BooleanSearchTest,
                         ::testing::Values(BooleanCase{"1", 1}, BooleanCase{"0", 2},
                                           BooleanCase{"2", 4}, BooleanCase{"x", 2}),
                         [](const auto &info) { return std::string("typed_") + info.param.text; });

TEST(GridSearch, EscapeEndsTheSearchWithoutReachingTheWindow) {
    SearchFixture f;
    type(f.Grid, "a");
    EXPECT_TRUE(f.Grid->ClaimsKey(VK_ESCAPE, {}));
    QTest::keyClick(f.Grid, Qt::Key_Escape);
    EXPECT_FALSE(f.Grid->Searching());
    EXPECT_FALSE(f.Grid->SearchHint()->isVisible());
    EXPECT_FALSE(f.Grid->ClaimsKey(VK_ESCAPE, {}));
    // Without a search Escape is the window's (which closes on it).
    QTest::keyClick(f.Grid, Qt::Key_Escape);
    EXPECT_EQ(f.window->keys, (QList<quint16>{quint16('A'), VK_ESCAPE}));
}

TEST(GridSearch, CtrlTakesTheSearchTextFromTheClipboard) {
    SearchFixture f;
    QGuiApplication::clipboard()->setText(QStringLiteral("  Abe \n"));
    QTest::keyClick(f.Grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("Abe"));
    EXPECT_EQ(f.KM->RecNo(), 4);
}

TEST(GridSearch, AnotherColumnStartsANewText) {
    SearchFixture f;
    type(f.Grid, "a");
    QTest::keyClick(f.Grid, Qt::Key_Right);
    EXPECT_FALSE(f.Grid->Searching());
    EXPECT_FALSE(f.Grid->SearchHint()->isVisible());
    type(f.Grid, "x");
    EXPECT_EQ(f.Grid->SearchText(), QStringLiteral("x"));
    EXPECT_EQ(f.KM->RecNo(), 3);
}

TEST(GridSearch, WithoutAutoSearchTypingDoesNothing) {
    SearchFixture f;
    f.Grid->SetAutoSearch(false);
    type(f.Grid, "a");
    EXPECT_FALSE(f.Grid->Searching());
    EXPECT_EQ(f.KM->RecNo(), 5);
}

// --- Keys ------------------------------------------------------------------------------------

struct KeyStep {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expectedRow; // 0: rows are fullRows + 2
};

TEST(GridKeys, ArrowPageAndHomeEndKeysMoveTheCurrentRecord) {
    GridFixture f(QSize(548, 200));
    f.fill(50);
    f.KM->First();
    f.focusGrid();
    const int page = f.Grid->Geometry().fullRows;
    const QList<KeyStep> steps = {
        {Qt::Key_Down, {}, 2},   {Qt::Key_Down, {}, 3},
        {Qt::Key_Up, {}, 2},     {Qt::Key_PageDown, {}, 2 + page},
        {Qt::Key_PageUp, {}, 2}, {Qt::Key_End, Qt::ControlModifier, 50},
        {Qt::Key_Down, {}, 50},  {Qt::Key_Home, Qt::ControlModifier, 1},
        {Qt::Key_Up, {}, 1},     {Qt::Key_End, {}, 50},
        {Qt::Key_Home, {}, 1},
    };
    for (const KeyStep &step : steps) {
        QTest::keyClick(f.Grid, step.key, step.modifiers);
        EXPECT_EQ(f.KM->RecNo(), step.expectedRow) << "key " << std::hex << step.key;
        EXPECT_EQ(f.Grid->CurrentRow(), f.KM->RecNo());
        EXPECT_GE(f.Grid->CurrentRow(), f.Grid->TopRow());
        EXPECT_LT(f.Grid->CurrentRow(), f.Grid->TopRow() + page);
    }
}

TEST(GridKeys, TabMovesBetweenColumnsAndOnToTheNextRecord) {
    GridFixture f;
    f.fill(3);
    f.KM->First();
    f.focusGrid();
    QTest::keyClick(f.Grid, Qt::Key_Tab);
    EXPECT_EQ(f.Grid->SelectedIndex(), 1);
    QTest::keyClick(f.Grid, Qt::Key_Tab);
    EXPECT_EQ(f.Grid->SelectedIndex(), 2);
    EXPECT_EQ(f.KM->RecNo(), 1);
    QTest::keyClick(f.Grid, Qt::Key_Tab);
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
    EXPECT_EQ(f.KM->RecNo(), 2);
    QTest::keyClick(f.Grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(f.Grid->SelectedIndex(), 2);
    EXPECT_EQ(f.KM->RecNo(), 1);
    EXPECT_TRUE(f.Grid->hasFocus());
}

TEST(GridKeys, WithoutTabsTabLeavesTheGrid) {
    GridFixture f;
    f.fill(3);
    f.Grid->SetOptions(f.Grid->Options() & ~TDBGridOptions(dgTabs));
    f.focusGrid();
    QTest::keyClick(f.Grid, Qt::Key_Tab);
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
    EXPECT_TRUE(f.other->hasFocus());
}

TEST(GridKeys, DeleteInsertAndEnterChangeNothing) {
    GridFixture f;
    f.fill(3);
    f.KM->SetRecNo(2);
    f.focusGrid();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Return, Qt::Key_F2}) {
        QTest::keyClick(f.Grid, key);
        QTest::keyClick(f.Grid, key, Qt::ControlModifier);
    }
    EXPECT_EQ(f.KM->RecordCount(), 3);
    EXPECT_EQ(f.KM->State(), dsBrowse);
    EXPECT_EQ(f.ids(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(f.KM->RecNo(), 2);
}

// --- Mouse -----------------------------------------------------------------------------------

TEST(GridMouse, AClickSelectsTheRowAndColumn) {
    GridFixture f(QSize(548, 200));
    f.fill(40);
    f.KM->First();
    f.focusOther();
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.cellCenter(1, 3));
    EXPECT_EQ(f.KM->RecNo(), 3);
    EXPECT_EQ(f.Grid->SelectedIndex(), 1);
    EXPECT_TRUE(f.Grid->hasFocus());

    // Scrolled to the end, a click on the first visible row takes that row.
    QTest::keyClick(f.Grid, Qt::Key_End, Qt::ControlModifier);
    const int top = f.Grid->TopRow();
    ASSERT_GT(top, 1);
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.cellCenter(2, top));
    EXPECT_EQ(f.KM->RecNo(), top);
}

TEST(GridMouse, AClickBelowTheLastRowMovesNothing) {
    GridFixture f;
    f.fill(3);
    f.KM->SetRecNo(2);
    f.show();
    const QRect last = f.Grid->CellRect(0, 3);
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 30));
    EXPECT_EQ(f.KM->RecNo(), 2);
}

TEST(GridMouse, ADoubleClickOnARowRaisesOnDblClick) {
    GridFixture f;
    f.fill(3);
    f.KM->First();
    f.show();
    QList<std::pair<QObject *, int>> calls;
    f.Grid->OnDblClick = [&](QObject *sender) { calls.append({sender, f.KM->RecNo()}); };
    QTest::mouseDClick(f.Grid, Qt::LeftButton, {}, f.cellCenter(0, 2));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].first, f.Grid);
    EXPECT_EQ(calls[0].second, 2);

    // Not on a title, not below the rows.
    QTest::mouseDClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(1));
    const QRect last = f.Grid->CellRect(0, 3);
    QTest::mouseDClick(f.Grid, Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 30));
    EXPECT_EQ(calls.size(), 1);
}

TEST(GridMouse, ATitleClickMarksTheIndexedColumnDescendingWithoutReordering) {
    GridFixture f;
    f.add(1, QStringLiteral("C"), QStringLiteral("B1"));
    f.add(2, QStringLiteral("A"), QStringLiteral("B2"));
    f.add(3, QStringLiteral("B"), QStringLiteral("B3"));
    f.KM->SetRecNo(2);
    f.show();
    TColumn *bz = f.Grid->Columns()->Items(0);
    ASSERT_EQ(bz->Title()->Caption(), QStringLiteral("Bezeichnung 1"));
    EXPECT_EQ(bz->IndexStyle(), idxNone);
    const int whiteBefore = countColor(f.render(), f.Grid->TitleRect(0), rgbOf(clWhite));

    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(0));
    EXPECT_EQ(bz->IndexStyle(), idxDescending);
    EXPECT_EQ(f.ids(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(f.KM->RecNo(), 2);
    // The mark stands right of the caption.
    EXPECT_GT(countColor(f.render(), f.Grid->TitleRect(0), rgbOf(clWhite)), whiteBefore);
}

TEST(GridMouse, TitleClicksRaiseOnTitleClickAndResetOtherIndexesUnlessShift) {
    GridFixture f;
    f.fill(3);
    f.show();
    QList<TColumn *> clicked;
    f.Grid->OnTitleClick = [&](TColumn *column) { clicked << column; };
    TColumn *bz = f.Grid->Columns()->Items(0);
    TColumn *bstn = f.Grid->Columns()->Items(1);
    TColumn *books = f.Grid->Columns()->Items(2);
    bstn->SetIndexed(true);

    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(0));
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(1));
    EXPECT_EQ(bz->IndexStyle(), idxNone);
    EXPECT_EQ(bstn->IndexStyle(), idxDescending);
    QTest::mouseClick(f.Grid, Qt::LeftButton, Qt::ShiftModifier, f.titleCenter(0));
    EXPECT_EQ(bz->IndexStyle(), idxDescending);
    EXPECT_EQ(bstn->IndexStyle(), idxDescending);
    // A column that is not indexed gets no mark and changes no other.
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(2));
    EXPECT_EQ(books->IndexStyle(), idxNone);
    EXPECT_EQ(bz->IndexStyle(), idxDescending);
    EXPECT_EQ(clicked, (QList<TColumn *>{bz, bstn, bz, books}));

    // Pressed on one title and released on another is no click.
    QTest::mousePress(f.Grid, Qt::LeftButton, {}, f.titleCenter(1));
    QTest::mouseRelease(f.Grid, Qt::LeftButton, {}, f.titleCenter(2));
    EXPECT_EQ(clicked.size(), 4);

    // Without dgTitleClicked titles are not clicked at all.
    f.Grid->SetOptions(f.Grid->Options() & ~TDBGridOptions(dgTitleClicked));
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.titleCenter(1));
    EXPECT_EQ(clicked.size(), 4);
}

// --- Column widths ---------------------------------------------------------------------------

QList<int> widthsOf(TI_DBGrid *grid) {
    QList<int> widths;
    for (int c = 0; c < grid->Columns()->Count(); ++c)
        widths << grid->Columns()->Items(c)->Width();
    return widths;
}

int sum(const QList<int> &values) {
    return std::accumulate(values.begin(), values.end(), 0);
}

TEST(GridAutoSize, ColumnsFillTheWidthAndTheOtherSideGivesWayToADrag) {
    // 700 pixels: a border pixel on each side and three column lines leave 695 for columns.
    GridFixture f(QSize(700, 250));
    f.show();
    // 220:134:189 scaled from 543 to 695 pixels.
    EXPECT_EQ(widthsOf(f.Grid), (QList<int>{282, 171, 242}));

    // The user drags the first separator 40 pixels to the right.
    const int separator = 1 + 282;
    const int y = f.titleCenter(0).y();
    // Hovering over the separator shows the resize cursor. (The move is sent directly: on a
    // real X server QTest moves the pointer, and the event would come later.)
    const QPoint hover(separator, y);
    QMouseEvent move(QEvent::MouseMove, hover, f.Grid->mapToGlobal(hover), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.Grid, &move);
    EXPECT_EQ(f.Grid->cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(f.Grid, Qt::LeftButton, {}, QPoint(separator, y));
    QTest::mouseMove(f.Grid, QPoint(separator + 20, y));
    QTest::mouseMove(f.Grid, QPoint(separator + 40, y));
    QTest::mouseRelease(f.Grid, Qt::LeftButton, {}, QPoint(separator + 40, y));
    // The two right columns share the 373 pixels left in proportion 171:242.
    EXPECT_EQ(widthsOf(f.Grid), (QList<int>{322, 154, 219}));
    EXPECT_EQ(f.Grid->Columns()->Items(0)->IndexStyle(), idxNone); // no title click

    // A narrower grid keeps the proportions the user made.
    f.Grid->resize(548, 250);
    EXPECT_EQ(widthsOf(f.Grid), (QList<int>{252, 120, 171}));

    // Rows that need the vertical bar leave less width, still filled.
    f.fill(100);
    ASSERT_TRUE(f.Grid->Geometry().vBar);
    EXPECT_EQ(sum(widthsOf(f.Grid)) + 3, f.Grid->Geometry().view.width());
    EXPECT_FALSE(f.Grid->Geometry().hBar);
}

TEST(GridAutoSize, WithoutAutoSizeADragSetsOnlyThatColumn) {
    GridFixture f(QSize(700, 250));
    f.Grid->SetOptions(f.Grid->Options() & ~TDBGridOptions(dgAutoSize));
    for (int c = 0; c < 3; ++c)
        f.Grid->Columns()->Items(c)->SetWidth(QList<int>{220, 134, 189}[c]);
    f.show();
    EXPECT_EQ(widthsOf(f.Grid), (QList<int>{220, 134, 189}));
    const int separator = 1 + 220;
    const int y = f.titleCenter(0).y();
    QTest::mousePress(f.Grid, Qt::LeftButton, {}, QPoint(separator, y));
    QTest::mouseMove(f.Grid, QPoint(separator - 300, y));
    QTest::mouseRelease(f.Grid, Qt::LeftButton, {}, QPoint(separator - 300, y));
    EXPECT_EQ(widthsOf(f.Grid), (QList<int>{TI_DBGrid::MinColumnWidth, 134, 189}));
}

// --- While a long operation runs -------------------------------------------------------------

TEST(GridWhileControlsDisabled, KeysClicksAndSearchesLeaveTheDataSetAlone) {
    GridFixture f;
    f.fill(10);
    f.KM->SetRecNo(5);
    f.focusGrid();
    f.KM->DisableControls();
    QTest::keyClick(f.Grid, Qt::Key_Down);
    QTest::keyClick(f.Grid, Qt::Key_End, Qt::ControlModifier);
    QTest::mouseClick(f.Grid, Qt::LeftButton, {}, f.cellCenter(0, 2));
    type(f.Grid, "Artikel 9");
    QTest::mouseDClick(f.Grid, Qt::LeftButton, {}, f.cellCenter(0, 3));
    EXPECT_EQ(f.KM->RecNo(), 5);
    EXPECT_FALSE(f.Grid->Searching());
    f.KM->EnableControls();
    QTest::keyClick(f.Grid, Qt::Key_Down);
    EXPECT_EQ(f.KM->RecNo(), 6);
}

} // namespace
