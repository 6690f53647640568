#include "grid/TI_DBGrid.h"

#include "data/DataSet.h"
#include "data/DataSource.h"
#include "data/Field.h"
#include "grid/TGridDataLink.h"
#include "grid/TGridSearchHint.h"
#include "platform/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Keys.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>

namespace {

constexpr int kTextMargin = 2;
constexpr int kPlaceholderInset = 5;
constexpr int kIndexMarkWidth = 7;
constexpr TColor kDataLineColor = clSilver;
constexpr TColor kTitleLineColor = clBtnShadow;

QColor qc(TColor color) {
    return Colors::toQColor(color);
}

// The hourglass while a search runs. The screen cursor is one application-wide setting, not a
// stack: a cursor already set (the wait cursor of a long operation) is put back as it was.
class SearchCursor {
public:
    SearchCursor() {
        if (const QCursor *current = QGuiApplication::overrideCursor()) {
            m_previous = *current;
            m_hadOne = true;
            QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
        } else {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~SearchCursor() {
        if (m_hadOne)
            QGuiApplication::changeOverrideCursor(m_previous);
        else
            QGuiApplication::restoreOverrideCursor();
    }
    SearchCursor(const SearchCursor &) = delete;
    SearchCursor &operator=(const SearchCursor &) = delete;

private:
    QCursor m_previous;
    bool m_hadOne = false;
};

} // namespace

TI_DBGrid::TI_DBGrid(QWidget *owner)
    : QWidget(owner), m_columns(std::make_unique<TDBGridColumns>(this)),
      m_link(std::make_unique<TGridDataLink>(this)),
      m_options(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgConfirmDelete |
                dgCancelOnExit),
      m_titleFont(font()) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_vBar = new QScrollBar(Qt::Vertical, this);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    for (QScrollBar *bar : {m_vBar, m_hBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
    }
    connect(m_vBar, &QScrollBar::valueChanged, this, [this](int value) {
        guarded([&] {
            if (!m_syncingBars)
                ScrollTo(value + 1, m_scrollX);
        });
    });
    connect(m_hBar, &QScrollBar::valueChanged, this, [this](int value) {
        guarded([&] {
            if (!m_syncingBars)
                ScrollTo(m_topRow, value);
        });
    });

    m_hint = new TGridSearchHint(this);
    m_searchTimer = new QTimer(this);
    m_searchTimer->setObjectName(QStringLiteral("SearchTimer"));
    m_searchTimer->setSingleShot(true);
    // A coarse timer may end the search up to 5 % early.
    m_searchTimer->setTimerType(Qt::PreciseTimer);
    m_searchTimer->setInterval(SearchTimeout);
    connect(m_searchTimer, &QTimer::timeout, this, [this] { guarded([&] { EndSearch(); }); });

    Relayout();
}

TI_DBGrid::~TI_DBGrid() {
    // The link goes first: the data set must not reach a grid that is half gone.
    m_link.reset();
}

// --- Properties ------------------------------------------------------------------------------

TDataSource *TI_DBGrid::DataSource() const {
    return m_link->DataSource();
}

void TI_DBGrid::SetDataSource(TDataSource *source) {
    if (source == DataSource())
        return;
    if (TDataSource *old = DataSource())
        disconnect(old, nullptr, this, nullptr);
    m_link->SetDataSource(source);
    if (source) {
        // A data source that goes away takes the rows with it.
        connect(source, &QObject::destroyed, this,
                [this] { guarded([&] { LinkDataSetChanged(); }); });
    }
    LinkDataSetChanged();
}

TDataSet *TI_DBGrid::DataSet() const {
    return m_link->DataSet();
}

void TI_DBGrid::SetColor(TColor color) {
    m_color = color;
    update();
}

void TI_DBGrid::SetFixedColor(TColor color) {
    m_fixedColor = color;
    update();
}

void TI_DBGrid::SetBorderStyle(int style) {
    if (style != bsNone && style != bsSingle)
        return;
    m_borderStyle = style;
    Relayout();
}

void TI_DBGrid::SetOptions(TDBGridOptions options) {
    m_options = options;
    Relayout();
}

void TI_DBGrid::SetDefaultRowHeight(int height) {
    m_defaultRowHeight = std::max(1, height);
    Relayout();
}

void TI_DBGrid::SetAutoSearch(bool on) {
    m_autoSearch = on;
    if (!on)
        EndSearch();
}

void TI_DBGrid::SetTitleFont(const QFont &font) {
    m_titleFont = font;
    Relayout();
}

void TI_DBGrid::SetTitleFontColor(TColor color) {
    m_titleFontColor = color;
    update();
}

void TI_DBGrid::SetFontColor(TColor color) {
    m_fontColor = color;
    update();
}

TColumn *TI_DBGrid::SelectedColumn() const {
    return m_selectedIndex >= 0 && m_selectedIndex < m_columns->Count()
               ? m_columns->Items(m_selectedIndex)
               : nullptr;
}

void TI_DBGrid::SetSelectedIndex(int index) {
    if (m_columns->Count() == 0)
        index = -1;
    else
        index = std::clamp(index, 0, m_columns->Count() - 1);
    if (index == m_selectedIndex)
        return;
    // A search belongs to its column: another column starts a new text.
    EndSearch();
    m_selectedIndex = index;
    if (index >= 0)
        MakeColumnVisible(index);
    UpdateRow(m_currentRow);
}

void TI_DBGrid::SetTopRow(int row) {
    ScrollTo(row, m_scrollX);
}

QVariant TI_DBGrid::DrawingValue(const TField *field) const {
    if (m_drawingRecNo <= 0 || !field)
        return {};
    const int index = m_drawingRecNo - m_cacheTop;
    if (index >= 0 && index < m_cache.size()) {
        const QList<QVariant> &values = m_cache[index];
        for (int c = 0; c < m_columns->Count() && c < values.size(); ++c) {
            if (m_columns->Items(c)->Field() == field)
                return values[c];
        }
    }
    if (DataSetReady() && field->DataSet() == DataSet())
        return DataSet()->FieldValueAt(m_drawingRecNo, field);
    return {};
}

bool TI_DBGrid::ShowsPlaceholder() const {
    return m_columns->Count() == 0 || !DataSource() || !DataSet();
}

QRect TI_DBGrid::CellRect(int column, int row) const {
    return m_geometry.cellRect(column, row, m_topRow, m_scrollX);
}

QRect TI_DBGrid::TitleRect(int column) const {
    return m_geometry.titleRect(column, m_scrollX);
}

// --- Following the data set ------------------------------------------------------------------

bool TI_DBGrid::DataSetReady() const {
    const TDataSet *ds = DataSet();
    return ds && ds->Active() && !ds->ControlsDisabled();
}

bool TI_DBGrid::DataSetUsable() const {
    return DataSetReady() && m_rowCount > 0;
}

void TI_DBGrid::BindFields() {
    TDataSet *ds = DataSet();
    for (int c = 0; c < m_columns->Count(); ++c) {
        TColumn *column = m_columns->Items(c);
        column->SetField(ds && !column->FieldName().isEmpty() ? ds->FindField(column->FieldName())
                                                              : nullptr);
    }
}

void TI_DBGrid::LinkDataSetChanged() {
    BindFields();
    TDataSet *ds = DataSet();
    m_rowCount = 0;
    m_currentRow = 0;
    // Only a data set that counts positions can be shown row by row.
    if (ds && ds->Active() && ds->RecNo() >= 0) {
        m_rowCount = ds->RecordCount() + (ds->State() == dsInsert ? 1 : 0);
        m_currentRow = std::clamp(ds->RecNo(), 0, m_rowCount);
    }
    if (!ds || !ds->Active())
        EndSearch();
    Relayout();
    MakeRowVisible(m_currentRow);
    ReadRows(true);
    SyncScrollBars();
    update();
}

void TI_DBGrid::LinkRecordChanged(TField *) {
    ReadRow(m_currentRow);
    UpdateRow(m_currentRow);
}

void TI_DBGrid::LinkScrolled() {
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active())
        return;
    const int old = m_currentRow;
    m_currentRow = std::clamp(ds->RecNo(), 0, m_rowCount);
    const int oldTop = m_topRow;
    MakeRowVisible(m_currentRow);
    if (m_topRow != oldTop) {
        ReadRows(false);
        SyncScrollBars();
        update();
    } else {
        UpdateRow(old);
        UpdateRow(m_currentRow);
    }
}

void TI_DBGrid::MakeRowVisible(int row) {
    if (row < 1)
        return;
    int top = m_topRow;
    if (row < top)
        top = row;
    else if (row > top + m_geometry.fullRows - 1)
        top = row - m_geometry.fullRows + 1;
    m_topRow = std::clamp(top, 1, m_geometry.maxTopRow());
}

void TI_DBGrid::ReadRows(bool force) {
    TDataSet *ds = DataSet();
    if (!ds || !ds->Active() || m_rowCount == 0) {
        m_cache.clear();
        return;
    }
    // While the data set's controls are disabled the grid keeps showing what it has.
    if (ds->ControlsDisabled())
        return;
    const int first = m_topRow;
    const int last = std::min(m_rowCount, m_topRow + m_geometry.visibleRows - 1);
    const int cachedLast = m_cacheTop + int(m_cache.size()) - 1;
    if (!force && first >= m_cacheTop && last <= cachedLast)
        return;
    QList<QList<QVariant>> rows;
    rows.reserve(std::max(0, last - first + 1));
    for (int row = first; row <= last; ++row) {
        QList<QVariant> values(m_columns->Count());
        for (int c = 0; c < m_columns->Count(); ++c) {
            if (TField *field = m_columns->Items(c)->Field())
                values[c] = ds->FieldValueAt(row, field);
        }
        rows.append(std::move(values));
    }
    m_cacheTop = first;
    m_cache = std::move(rows);
}

void TI_DBGrid::ReadRow(int row) {
    const int index = row - m_cacheTop;
    if (!DataSetReady() || row < 1 || index < 0 || index >= m_cache.size())
        return;
    TDataSet *ds = DataSet();
    QList<QVariant> &values = m_cache[index];
    values.resize(m_columns->Count());
    for (int c = 0; c < m_columns->Count(); ++c) {
        TField *field = m_columns->Items(c)->Field();
        values[c] = field ? ds->FieldValueAt(row, field) : QVariant();
    }
}

// --- Layout ----------------------------------------------------------------------------------

void TI_DBGrid::ColumnsChanged(bool layout) {
    // Fonts may have changed.
    m_textCache.clear();
    if (!layout) {
        update();
        return;
    }
    if (m_columns->Count() == 0)
        m_selectedIndex = -1;
    else
        m_selectedIndex = std::clamp(m_selectedIndex, 0, m_columns->Count() - 1);
    BindFields();
    Relayout();
    ReadRows(true);
}

int TI_DBGrid::BorderWidth() const {
    if (m_borderStyle == bsNone)
        return 0;
    // The flat look has a single line where the three-dimensional edge has two.
    return m_options.testFlag(dgFlatButtons) ? 1 : 2;
}

int TI_DBGrid::MeasureTitleHeight() const {
    int height = QFontMetrics(m_titleFont).height();
    for (int c = 0; c < m_columns->Count(); ++c)
        height = std::max(height, QFontMetrics(m_columns->Items(c)->Title()->Font()).height());
    return height + 2 * kTextMargin;
}

void TI_DBGrid::Relayout() {
    GridLayoutInput in;
    in.size = size();
    in.border = BorderWidth();
    in.scrollBarExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool placeholder = ShowsPlaceholder();
    in.titleHeight =
        m_options.testFlag(dgTitles) && m_columns->Count() > 0 ? MeasureTitleHeight() : 0;
    in.rowHeight = m_defaultRowHeight;
    in.rowLine = m_options.testFlag(dgRowLines) ? 1 : 0;
    in.colLine = m_options.testFlag(dgColLines) ? 1 : 0;
    in.rowCount = placeholder ? 0 : m_rowCount;
    in.autoSize = m_options.testFlag(dgAutoSize);
    in.minColumnWidth = MinColumnWidth;
    for (int c = 0; c < m_columns->Count(); ++c) {
        const TColumn *column = m_columns->Items(c);
        in.widths.append(column->Width());
        in.shares.append(column->Share());
    }
    m_geometry = GridLayout::arrange(in);
    if (placeholder)
        m_geometry.vBar = m_geometry.hBar = false;
    if (in.autoSize) {
        for (int c = 0; c < m_columns->Count(); ++c)
            m_columns->Items(c)->SetArrangedWidth(m_geometry.widths[c]);
    }
    m_vBar->setGeometry(m_geometry.vBarRect);
    m_vBar->setVisible(m_geometry.vBar);
    m_hBar->setGeometry(m_geometry.hBarRect);
    m_hBar->setVisible(m_geometry.hBar);
    m_topRow = std::clamp(m_topRow, 1, m_geometry.maxTopRow());
    m_scrollX = std::clamp(m_scrollX, 0, m_geometry.maxScrollX());
    SyncScrollBars();
    ReadRows(false);
    update();
}

void TI_DBGrid::SyncScrollBars() {
    m_syncingBars = true;
    m_vBar->setRange(0, m_geometry.maxTopRow() - 1);
    m_vBar->setPageStep(m_geometry.fullRows);
    m_vBar->setSingleStep(1);
    m_vBar->setValue(m_topRow - 1);
    m_hBar->setRange(0, m_geometry.maxScrollX());
    m_hBar->setPageStep(std::max(1, m_geometry.view.width()));
    m_hBar->setSingleStep(20);
    m_hBar->setValue(m_scrollX);
    m_syncingBars = false;
}

void TI_DBGrid::ScrollTo(int topRow, int scrollX) {
    topRow = std::clamp(topRow, 1, m_geometry.maxTopRow());
    scrollX = std::clamp(scrollX, 0, m_geometry.maxScrollX());
    // Other rows cannot be read while a long operation walks the data set.
    if (topRow != m_topRow && DataSet() && DataSet()->ControlsDisabled())
        topRow = m_topRow;
    if (topRow == m_topRow && scrollX == m_scrollX) {
        SyncScrollBars();
        return;
    }
    m_topRow = topRow;
    m_scrollX = scrollX;
    ReadRows(false);
    SyncScrollBars();
    update();
    if (m_search.Active())
        PlaceHint();
}

void TI_DBGrid::MakeColumnVisible(int column) {
    if (column < 0 || column >= m_geometry.columnCount())
        return;
    const int left = m_geometry.lefts[column];
    const int right = left + m_geometry.widths[column];
    int scrollX = m_scrollX;
    if (left < scrollX)
        scrollX = left;
    else if (right > scrollX + m_geometry.view.width())
        scrollX = right - m_geometry.view.width();
    ScrollTo(m_topRow, scrollX);
}

void TI_DBGrid::UpdateRow(int row) {
    if (row < 1)
        return;
    const QRect rect = m_geometry.rowRect(row, m_topRow) & m_geometry.view;
    if (!rect.isEmpty())
        update(rect);
}

void TI_DBGrid::UpdateTitles() {
    if (m_geometry.titlePitch > 0)
        update(QRect(m_geometry.view.topLeft(),
                     QSize(m_geometry.view.width(), m_geometry.titlePitch)));
}

// --- Painting --------------------------------------------------------------------------------

void TI_DBGrid::paintEvent(QPaintEvent *event) {
    guarded([&] {
        QPainter p(this);
        PaintBorder(p);
        if (ShowsPlaceholder()) {
            PaintPlaceholder(p);
            return;
        }
        const QRect exposed = event->rect() & m_geometry.view;
        if (!exposed.isEmpty()) {
            p.save();
            p.setClipRect(exposed);
            p.fillRect(exposed, qc(m_color));
            PaintTitles(p, exposed);
            PaintRows(p, exposed);
            p.restore();
        }
        if (!m_geometry.corner.isEmpty())
            p.fillRect(m_geometry.corner, qc(clBtnFace));
    });
}

void TI_DBGrid::PaintBorder(QPainter &p) {
    const int width = BorderWidth();
    if (width == 0)
        return;
    const QRect r = rect();
    auto edge = [&](const QRect &box, TColor topLeft, TColor bottomRight) {
        p.setPen(qc(topLeft));
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(qc(bottomRight));
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
    };
    if (width == 1) {
        // Flat: a sunken outer line at the left and top, a raised inner line at the right and
        // bottom.
        const TColor sunkenOuterTopLeft = clBtnShadow;
        const TColor raisedInnerBottomRight = clBtnShadow;
        edge(r, sunkenOuterTopLeft, raisedInnerBottomRight);
    } else {
        edge(r, clBtnShadow, clBtnHighlight);
        edge(r.adjusted(1, 1, -1, -1), cl3DDkShadow, cl3DLight);
    }
}

void TI_DBGrid::PaintPlaceholder(QPainter &p) {
    const QRect client = m_geometry.client;
    p.fillRect(client, qc(m_color));
    p.setFont(Fonts::fromPoints(QStringLiteral("Tahoma"), 10, true));
    p.setPen(qc(PlaceholderColor));
    p.drawText(client.adjusted(kPlaceholderInset, kPlaceholderInset, -kPlaceholderInset,
                               -kPlaceholderInset),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QStringLiteral("Keine Daten"));
}

void TI_DBGrid::PaintTitles(QPainter &p, const QRect &exposed) {
    const GridGeometry &g = m_geometry;
    if (g.titlePitch == 0)
        return;
    const QRect row(g.view.left(), g.view.top(), g.view.width(), g.titlePitch);
    if (!row.intersects(exposed))
        return;
    const int contentRight = g.view.left() + g.contentWidth - m_scrollX;
    for (int c = 0; c < g.columnCount(); ++c) {
        const QRect rect = g.titleRect(c, m_scrollX);
        if (rect.right() + g.colLine < exposed.left() || rect.left() > exposed.right())
            continue;
        PaintTitle(p, c, rect);
        if (g.colLine) {
            p.setPen(qc(kTitleLineColor));
            p.drawLine(rect.right() + 1, rect.top(), rect.right() + 1,
                       rect.bottom() + g.titlePitch - g.titleHeight);
        }
    }
    if (g.titlePitch > g.titleHeight) {
        p.setPen(qc(kTitleLineColor));
        const int y = g.view.top() + g.titleHeight;
        p.drawLine(g.view.left(), y, std::min(contentRight, g.view.right()), y);
    }
}

void TI_DBGrid::PaintTitle(QPainter &p, int column, const QRect &rect) {
    const TColumn *col = m_columns->Items(column);
    const TColumnTitle *title = col->Title();
    const bool pressed = column == m_pressedTitle;
    QColor background = qc(title->Color());
    if (pressed)
        background = background.darker(115);
    p.fillRect(rect, background);
    if (!m_options.testFlag(dgFlatButtons)) {
        // Raised like a button, sunken while pressed.
        const QColor light = qc(clBtnHighlight), dark = qc(clBtnShadow);
        p.setPen(pressed ? dark : light);
        p.drawLine(rect.topLeft(), rect.topRight());
        p.drawLine(rect.topLeft(), rect.bottomLeft());
        p.setPen(pressed ? light : dark);
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
        p.drawLine(rect.topRight(), rect.bottomRight());
    } else if (pressed) {
        p.setPen(qc(clBtnShadow));
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }

    const bool marked = col->Indexed() && col->IndexStyle() != idxNone;
    QRect text = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (pressed)
        text.translate(1, 1);
    if (marked)
        text.setRight(text.right() - kIndexMarkWidth - 4);
    const QFont font = title->Font();
    p.setFont(font);
    p.setPen(qc(title->FontColor()));
    const QFontMetrics fm(font);
    const QString caption =
        fm.elidedText(title->Caption(), Qt::ElideRight, std::max(0, text.width()));
    p.drawText(text,
               (title->Alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter |
                   Qt::TextSingleLine,
               caption);
    if (marked) {
        // The mark stands right of the caption (right of the cell for a right-aligned one).
        int x = text.left() + std::min(fm.horizontalAdvance(caption), text.width()) + 4;
        if (title->Alignment() & Qt::AlignRight)
            x = text.right() + 4;
        const int mid = text.center().y();
        QPolygon mark;
        if (col->IndexStyle() == idxDescending)
            mark << QPoint(x, mid - 2) << QPoint(x + kIndexMarkWidth - 1, mid - 2)
                 << QPoint(x + kIndexMarkWidth / 2, mid + 2);
        else
            mark << QPoint(x, mid + 2) << QPoint(x + kIndexMarkWidth - 1, mid + 2)
                 << QPoint(x + kIndexMarkWidth / 2, mid - 2);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(qc(title->FontColor()));
        p.drawPolygon(mark);
        p.restore();
    }
}

bool TI_DBGrid::CellSelected(int column, int row) const {
    if (row < 1 || row != m_currentRow)
        return false;
    if (!hasFocus() && !m_options.testFlag(dgAlwaysShowSelection))
        return false;
    return m_options.testFlag(dgRowSelect) || column == m_selectedIndex;
}

void TI_DBGrid::PaintRows(QPainter &p, const QRect &exposed) {
    const GridGeometry &g = m_geometry;
    const auto [first, last] = g.rowsIn(exposed, m_topRow);
    if (first > last)
        return;
    for (int row = first; row <= last; ++row) {
        for (int c = 0; c < g.columnCount(); ++c) {
            const QRect cell = g.cellRect(c, row, m_topRow, m_scrollX);
            if (cell.right() < exposed.left() || cell.left() > exposed.right())
                continue;
            PaintCell(p, c, row, cell, exposed, CellSelected(c, row));
        }
    }
    const int top = g.dataTop() + (first - m_topRow) * g.rowPitch;
    const int bottom = g.dataTop() + (last - m_topRow + 1) * g.rowPitch - 1;
    const int contentRight =
        std::min(g.view.left() + g.contentWidth - m_scrollX - 1, g.view.right());
    p.setPen(qc(kDataLineColor));
    if (g.rowPitch > g.rowHeight) {
        for (int row = first; row <= last; ++row) {
            const int y = g.dataTop() + (row - m_topRow) * g.rowPitch + g.rowHeight;
            p.drawLine(g.view.left(), y, contentRight, y);
        }
    }
    if (g.colLine) {
        for (int c = 0; c < g.columnCount(); ++c) {
            const int x = g.view.left() + g.lefts[c] + g.widths[c] - m_scrollX;
            if (x >= exposed.left() && x <= exposed.right())
                p.drawLine(x, top, x, bottom);
        }
    }
}

void TI_DBGrid::PaintCell(QPainter &p, int column, int row, const QRect &rect, const QRect &exposed,
                          bool selected) {
    const TColumn *col = m_columns->Items(column);
    const bool focused = hasFocus();
    QColor background, foreground;
    if (selected && focused) {
        background = qc(clHighlight);
        foreground = qc(clHighlightText);
    } else if (selected) {
        background = qc(UnfocusedSelectionColor);
        foreground = qc(col->FontColor());
    } else {
        background = qc(col->Color());
        foreground = qc(col->FontColor());
    }
    p.fillRect(rect, background);

    TField *field = col->Field();
    const int index = row - m_cacheTop;
    // A row the grid has not read (it may not read while the data set's controls are
    // disabled) stays empty.
    if (field && index >= 0 && index < m_cache.size() && column < m_cache[index].size()) {
        QString text = field->DisplayTextOf(m_cache[index][column]);
        if (OnDrawTextFormat) {
            m_drawingRecNo = row;
            struct Reset {
                int &recNo;
                ~Reset() { recNo = 0; }
            } reset{m_drawingRecNo};
            OnDrawTextFormat(field, text);
        }
        const QFont font = col->Font();
        p.setFont(font);
        p.setPen(foreground);
        const QRect textRect = rect.adjusted(kTextMargin, kTextMargin, -kTextMargin, 0);
        const Qt::Alignment horizontal = col->Alignment() & Qt::AlignHorizontal_Mask;
        if (col->WordBreak()) {
            p.drawText(textRect, int(horizontal) | Qt::AlignTop | Qt::TextWordWrap, text);
        } else if (!text.isEmpty()) {
            const QStaticText &laidOut = CellText(column, text, font);
            const int width = qCeil(laidOut.size().width());
            int x = textRect.left();
            if (horizontal & Qt::AlignRight)
                x = textRect.right() + 1 - width;
            else if (horizontal & Qt::AlignHCenter)
                x = textRect.left() + (textRect.width() - width) / 2;
            // Cut at the margins left and right only: above and below, the marks of capitals and
            // the descenders may use the cell's margin.
            const QRect clip(textRect.left(), rect.top(), textRect.width(), rect.height());
            p.setClipRect(clip & exposed);
            p.drawStaticText(QPoint(x, textRect.top()), laidOut);
            p.setClipRect(exposed);
        }
    }

    if (focused && row == m_currentRow && column == m_selectedIndex && col->FocusWidth() > 0) {
        const int w = col->FocusWidth();
        p.save();
        p.setPen(QPen(foreground, w, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
        p.restore();
    }
}

const QStaticText &TI_DBGrid::CellText(int column, const QString &text, const QFont &font) {
    // Two screens of texts per column are plenty; beyond that start afresh.
    constexpr int kMaxTexts = 256;
    if (m_textCache.size() != m_columns->Count())
        m_textCache = QList<QHash<QString, QStaticText>>(m_columns->Count());
    QHash<QString, QStaticText> &texts = m_textCache[column];
    auto it = texts.find(text);
    if (it != texts.end())
        return *it;
    if (texts.size() >= kMaxTexts)
        texts.clear();
    QString line = text;
    // One line: line breaks show as blanks, as a single-line text draws them.
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    QStaticText laidOut(line);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return *texts.insert(text, laidOut);
}

// --- Input -----------------------------------------------------------------------------------

bool TI_DBGrid::ClaimsKey(quint16 key, Qt::KeyboardModifiers) const {
    // Escape ends a running search; it must not reach the window (which would close).
    return key == VK_ESCAPE && m_search.Active();
}

bool TI_DBGrid::event(QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        // With dgTabs, Tab moves between the columns instead of leaving the grid.
        if (tab && m_options.testFlag(dgTabs) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void TI_DBGrid::keyPressEvent(QKeyEvent *event) {
    guarded([&] { HandleKey(event); });
}

void TI_DBGrid::HandleKey(QKeyEvent *event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool rowSelect = m_options.testFlag(dgRowSelect);
    event->accept();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!m_options.testFlag(dgTabs) || m_columns->Count() == 0) {
            event->ignore();
            return;
        }
        const bool back = key == Qt::Key_Backtab || mods.testFlag(Qt::ShiftModifier);
        const int last = m_columns->Count() - 1;
        if (!back && m_selectedIndex < last) {
            SetSelectedIndex(m_selectedIndex + 1);
        } else if (back && m_selectedIndex > 0) {
            SetSelectedIndex(m_selectedIndex - 1);
        } else if (DataSetUsable()) {
            // Past the last column the next record's first column follows (and back).
            const bool atEnd = back ? m_currentRow <= 1 : m_currentRow >= m_rowCount;
            if (!atEnd) {
                MoveRecord(back ? -1 : 1);
                SetSelectedIndex(back ? last : 0);
            }
        }
        return;
    }
    case Qt::Key_Left:
        MoveColumn(-1);
        return;
    case Qt::Key_Right:
        MoveColumn(1);
        return;
    case Qt::Key_Up:
        MoveRecord(-1);
        return;
    case Qt::Key_Down:
        MoveRecord(1);
        return;
    case Qt::Key_PageUp:
        MoveRecord(-m_geometry.fullRows);
        return;
    case Qt::Key_PageDown:
        MoveRecord(m_geometry.fullRows);
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (ctrl || rowSelect) {
            if (DataSetUsable()) {
                if (key == Qt::Key_Home)
                    DataSet()->First();
                else
                    DataSet()->Last();
            }
        } else {
            SetSelectedIndex(key == Qt::Key_Home ? 0 : m_columns->Count() - 1);
        }
        return;
    case Qt::Key_Delete:
    case Qt::Key_Insert:
        // Read-only: nothing is ever deleted or inserted here.
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->ignore();
        return;
    case Qt::Key_Escape:
        if (m_search.Active())
            EndSearch();
        else
            event->ignore();
        return;
    default:
        break;
    }

    if (!m_autoSearch || !DataSetReady()) {
        event->ignore();
        return;
    }
    if (key == Qt::Key_Backspace) {
        SearchKey(m_search.Type(QChar(8)));
        return;
    }
    if (ctrl && !mods.testFlag(Qt::AltModifier)) {
        if (key >= Qt::Key_Space && key < Qt::Key_Escape) {
            const QClipboard *clipboard = QGuiApplication::clipboard();
            SearchKey(m_search.Paste(clipboard ? clipboard->text() : QString()));
        } else {
            event->ignore();
        }
        return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    SearchKey(m_search.Type(text.at(0)));
}

void TI_DBGrid::MoveColumn(int delta) {
    if (m_columns->Count() == 0)
        return;
    SetSelectedIndex(std::max(0, m_selectedIndex) + delta);
}

void TI_DBGrid::MoveRecord(int delta) {
    if (!DataSetUsable() || delta == 0)
        return;
    DataSet()->MoveBy(delta);
}

void TI_DBGrid::SelectRecord(int row) {
    if (!DataSetUsable() || row < 1 || row > m_rowCount)
        return;
    TDataSet *ds = DataSet();
    if (row != ds->RecNo())
        ds->SetRecNo(row);
}

void TI_DBGrid::SearchKey(GridSearch::Result result) {
    switch (result) {
    case GridSearch::Result::Closed:
        EndSearch();
        return;
    case GridSearch::Result::Changed:
        RunSearch();
        return;
    case GridSearch::Result::Ignored:
        // Every key the search sees keeps it alive.
        if (m_search.Active())
            m_searchTimer->start();
        return;
    }
}

void TI_DBGrid::RunSearch() {
    m_searchTimer->start();
    PlaceHint();
    TColumn *column = SelectedColumn();
    TField *field = column ? column->Field() : nullptr;
    if (field && DataSetUsable()) {
        if (const std::optional<QVariant> value = SearchValueFor(field, m_search.Text())) {
            SearchCursor cursor;
            LocateSearchValue(field, *value);
        }
    }
    // The hint follows the cell the search found.
    PlaceHint();
}

bool TI_DBGrid::LocateSearchValue(TField *field, const QVariant &value) {
    TDataSet *ds = DataSet();
    if (field->DataType() == ftBoolean && !value.toBool()) {
        // A boolean never assigned reads and shows as False, but Locate compares it as null:
        // look for the first row that reads as False instead.
        const int count = ds->RecordCount();
        for (int row = 1; row <= count; ++row) {
            const QVariant v = ds->FieldValueAt(row, field);
            if (!v.isValid() || v.isNull() || !v.toBool()) {
                if (row != ds->RecNo())
                    ds->SetRecNo(row);
                return true;
            }
        }
        return false;
    }
    return ds->Locate(field->FieldName(), value, loCaseInsensitive | loPartialKey);
}

void TI_DBGrid::PlaceHint() {
    if (!m_search.Active() || !isVisible()) {
        m_hint->hide();
        return;
    }
    const GridGeometry &g = m_geometry;
    const int column = std::max(0, m_selectedIndex);
    QRect cell;
    if (column < g.columnCount()) {
        const int row = m_currentRow > 0 ? m_currentRow : m_topRow;
        cell = g.cellRect(column, row, m_topRow, m_scrollX);
    } else {
        cell = QRect(g.view.left(), g.dataTop(), g.view.width(), g.rowHeight);
    }
    // Horizontally at the cell's middle, one row below the cell's top.
    const QPoint anchor(cell.center().x(), cell.top() + g.rowHeight);
    m_hint->ShowAt(m_search.Text(), mapToGlobal(anchor));
}

void TI_DBGrid::EndSearch() {
    m_search.Close();
    if (m_searchTimer)
        m_searchTimer->stop();
    if (m_hint)
        m_hint->hide();
}

void TI_DBGrid::TitleClicked(int column, Qt::KeyboardModifiers modifiers) {
    TColumn *clicked = m_columns->Items(column);
    if (clicked->Indexed()) {
        if (!modifiers.testFlag(Qt::ShiftModifier)) {
            for (int c = 0; c < m_columns->Count(); ++c) {
                TColumn *other = m_columns->Items(c);
                if (other != clicked && other->Indexed())
                    other->SetIndexStyle(idxNone);
            }
        }
        clicked->SetIndexStyle(idxDescending);
        UpdateTitles();
    }
    if (OnTitleClick)
        OnTitleClick(clicked);
}

void TI_DBGrid::ResizeColumnTo(int x) {
    const int column = m_resizing;
    if (column < 0 || column >= m_columns->Count() || column >= m_resizeStartWidths.size())
        return;
    const int width = m_resizeStartWidths[column] + (x - m_resizeStartX);
    if (m_options.testFlag(dgAutoSize)) {
        // The columns on the side that gives way share what the dragged one leaves.
        const int n = m_columns->Count();
        const int total = std::max(0, m_geometry.view.width() - n * m_geometry.colLine);
        const QList<int> widths =
            GridLayout::resizeWithin(m_resizeStartWidths, column, width, total, MinColumnWidth);
        for (int c = 0; c < n; ++c) {
            m_columns->Items(c)->SetShare(widths[c]);
            m_columns->Items(c)->SetArrangedWidth(widths[c]);
        }
        Relayout();
    } else {
        m_columns->Items(column)->SetWidth(std::max(MinColumnWidth, width));
    }
}

void TI_DBGrid::mousePressEvent(QMouseEvent *event) {
    guarded([&] {
        if (event->button() != Qt::LeftButton || ShowsPlaceholder())
            return;
        const QPoint pos = event->position().toPoint();
        const GridGeometry::Hit hit = m_geometry.hitTest(pos, m_topRow, m_scrollX);
        if (hit.area == GridGeometry::Area::Title) {
            if (m_options.testFlag(dgColumnResize)) {
                const int separator = m_geometry.separatorAt(pos.x(), m_scrollX, ResizeTolerance);
                if (separator >= 0) {
                    m_resizing = separator;
                    m_resizeStartX = pos.x();
                    m_resizeStartWidths = m_geometry.widths;
                    return;
                }
            }
            if (m_options.testFlag(dgTitleClicked) && hit.column >= 0) {
                m_pressedTitle = hit.column;
                UpdateTitles();
            }
            return;
        }
        if (hit.area == GridGeometry::Area::Data) {
            if (!DataSetReady())
                return;
            if (hit.column >= 0)
                SetSelectedIndex(hit.column);
            if (hit.row > 0)
                SelectRecord(hit.row);
        }
    });
}

void TI_DBGrid::mouseMoveEvent(QMouseEvent *event) {
    guarded([&] {
        const QPoint pos = event->position().toPoint();
        if (m_resizing >= 0) {
            ResizeColumnTo(pos.x());
            return;
        }
        if (event->buttons() != Qt::NoButton)
            return;
        const GridGeometry::Hit hit = m_geometry.hitTest(pos, m_topRow, m_scrollX);
        const bool onSeparator = m_options.testFlag(dgColumnResize) &&
                                 hit.area == GridGeometry::Area::Title &&
                                 m_geometry.separatorAt(pos.x(), m_scrollX, ResizeTolerance) >= 0;
        if (onSeparator)
            setCursor(Qt::SplitHCursor);
        else
            unsetCursor();
    });
}

void TI_DBGrid::mouseReleaseEvent(QMouseEvent *event) {
    guarded([&] {
        if (event->button() != Qt::LeftButton)
            return;
        if (m_resizing >= 0) {
            m_resizing = -1;
            m_resizeStartWidths.clear();
            return;
        }
        if (m_pressedTitle < 0)
            return;
        const int pressed = m_pressedTitle;
        m_pressedTitle = -1;
        UpdateTitles();
        const GridGeometry::Hit hit =
            m_geometry.hitTest(event->position().toPoint(), m_topRow, m_scrollX);
        if (hit.area == GridGeometry::Area::Title && hit.column == pressed &&
            pressed < m_columns->Count())
            TitleClicked(pressed, event->modifiers());
    });
}

void TI_DBGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    guarded([&] {
        if (event->button() != Qt::LeftButton || ShowsPlaceholder())
            return;
        const GridGeometry::Hit hit =
            m_geometry.hitTest(event->position().toPoint(), m_topRow, m_scrollX);
        if (hit.area != GridGeometry::Area::Data) {
            // Two quick clicks on a title are two title clicks.
            mousePressEvent(event);
            return;
        }
        if (hit.row <= 0 || !DataSetReady())
            return;
        if (hit.column >= 0)
            SetSelectedIndex(hit.column);
        SelectRecord(hit.row);
        if (OnDblClick)
            OnDblClick(this);
    });
}

void TI_DBGrid::wheelEvent(QWheelEvent *event) {
    guarded([&] {
        const int steps = event->angleDelta().y() / 120;
        if (steps == 0)
            return;
        ScrollTo(m_topRow - steps * QApplication::wheelScrollLines(), m_scrollX);
    });
}

void TI_DBGrid::resizeEvent(QResizeEvent *) {
    guarded([&] {
        Relayout();
        if (m_search.Active())
            PlaceHint();
    });
}

void TI_DBGrid::focusInEvent(QFocusEvent *) {
    guarded([&] { UpdateRow(m_currentRow); });
}

void TI_DBGrid::focusOutEvent(QFocusEvent *) {
    guarded([&] {
        EndSearch();
        UpdateRow(m_currentRow);
    });
}

void TI_DBGrid::changeEvent(QEvent *event) {
    guarded([&] {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            m_textCache.clear();
            Relayout();
        }
    });
    QWidget::changeEvent(event);
}
