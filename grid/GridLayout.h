// Where everything of the data grid lies: border, scroll bars, title row, rows and columns,
// and the widths of columns sized to the grid's width. Pure arithmetic, so that it can be
// checked without a screen; the grid paints and hit-tests with what it computes.
//
// Coordinates are the widget's. Column positions are kept in content coordinates (0 at the
// view's left edge, before horizontal scrolling). Rows are counted from 1 like record
// numbers; each row and each column is followed by its grid line when lines are shown.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

struct GridLayoutInput {
    QSize size;               // the widget's size
    int border = 0;           // frame width on each side
    int scrollBarExtent = 16; // width of the vertical bar, height of the horizontal one
    int titleHeight = 0;      // 0 without a title row
    int rowHeight = 24;
    int rowLine = 0; // 1 with row lines
    int colLine = 0; // 1 with column lines
    int rowCount = 0;
    QList<int> widths; // the columns' current widths
    // With autoSize the columns share the view's width in proportion to these weights.
    bool autoSize = false;
    QList<double> shares;
    int minColumnWidth = 10;
};

struct GridGeometry {
    QRect client; // inside the border
    QRect view;   // client without the scroll bars: title row and rows
    bool vBar = false;
    bool hBar = false;
    QRect vBarRect;
    QRect hBarRect;
    QRect corner;         // between the two bars when both are shown
    QList<int> widths;    // the columns' widths (sized to the view with autoSize)
    QList<int> lefts;     // content x of each column
    int contentWidth = 0; // all columns with their lines
    int titleHeight = 0;
    int titlePitch = 0; // title row with its line; 0 without titles
    int rowHeight = 0;
    int rowPitch = 1; // row with its line
    int colLine = 0;
    int visibleRows = 0; // rows at least partly in the view
    int fullRows = 1;    // rows wholly in the view (at least 1)
    int rowCount = 0;

    int columnCount() const { return int(widths.size()); }
    int dataTop() const { return view.top() + titlePitch; }
    // Largest first row that still fills the view.
    int maxTopRow() const;
    // Largest horizontal scroll offset.
    int maxScrollX() const;

    // Content rectangle of a title or data cell, in widget coordinates.
    QRect titleRect(int column, int scrollX) const;
    QRect cellRect(int column, int row, int topRow, int scrollX) const;
    // The whole row across the view.
    QRect rowRect(int row, int topRow) const;

    enum class Area { None, Title, Data };
    struct Hit {
        Area area = Area::None;
        int column = -1; // -1 right of the last column
        int row = 0;     // record number for Data; 0 elsewhere
    };
    Hit hitTest(QPoint point, int topRow, int scrollX) const;
    // The column whose right edge lies within tolerance of x (the rightmost such), or -1.
    int separatorAt(int x, int scrollX, int tolerance) const;
    // Rows drawn for an exposed rectangle: [first, last] record numbers, clipped to the rows
    // that exist; first > last when none.
    std::pair<int, int> rowsIn(const QRect &exposed, int topRow) const;
};

namespace GridLayout {

// Lays the grid out. With autoSize the widths are distributed so that, with their lines, the
// columns fill the view's width.
GridGeometry arrange(const GridLayoutInput &input);

// Splits total pixels among columns in proportion to their shares (equal shares when they are
// all 0), none narrower than minWidth. Rounding goes to the largest remainders, so the result
// adds up to total exactly unless the minimum widths alone exceed it.
QList<int> distribute(const QList<double> &shares, int total, int minWidth);

// A user drags column `column` to `width` within `total` pixels of column widths: the columns
// that give way are those right of it (left of it when it is the last one); they are scaled in
// proportion to their widths in `widths`. The dragged width is clamped so that every column
// keeps minWidth.
QList<int> resizeWithin(const QList<int> &widths, int column, int width, int total, int minWidth);

} // namespace GridLayout
