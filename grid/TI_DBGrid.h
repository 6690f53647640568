// TI_DBGrid: the read-only data grid. It shows the records of a data set, reached through a
// TDataSource, one record per row and one field per column; the current record is the
// selected row. It never edits: there is no cell editor and the Delete key deletes nothing.
//
// Following the data set. The grid keeps the values of the rows it shows; it re-reads them
// (only the visible rows) when its data link is told of a change, and paints from what it
// keeps. While the data set's controls are disabled the link hears nothing, so the grid goes
// on showing what it had and does not touch the data set: it neither reads rows nor moves the
// current record (clicks, keys, searches and scrolling wait), because a long operation is
// walking the data set meanwhile. EnableControls tells the link once and the grid redraws once.
//
// Reading rows. Rows are read by position with TDataSet::FieldValueAt, which does not move the
// current record; the data set must count positions (RecNo() >= 0), as TMemTable does.
//
// The display hook. OnDrawTextFormat is called for every data cell each time it is drawn, with
// the cell's field and the display text of the drawn row; whatever text it leaves is drawn.
// The field's own value accessors (AsBoolean, ...) read the data set's current record, not the
// drawn row: a hook that needs the drawn row's value reads DrawingValue(field) (or decides on
// the text, which for a boolean is "True", "False", or empty for a null value).
//
// The typing search (AutoSearch). Characters typed while the grid has the focus build a search
// text for the current column's field (see GridSearch); each change locates the first record
// whose value starts with the text, without regard to case. The text is shown in a hint window
// below the current cell; 5 seconds after the last key the hint goes and the search ends.
#pragma once

#include "grid/DBGridOptions.h"
#include "grid/GridLayout.h"
#include "grid/GridSearch.h"
#include "grid/TColumn.h"
#include "platform/Colors.h"
#include "platform/ui/TCustomForm.h"

#include <QHash>
#include <QPointer>
#include <QStaticText>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class QScrollBar;
class QTimer;
class TDataSet;
class TDataSource;
class TField;
class TGridDataLink;
class TGridSearchHint;

class TI_DBGrid : public QWidget, public TKeyClaimer {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int FixedColor READ FixedColor WRITE SetFixedColor)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TDBGridOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool AutoSearch READ AutoSearch WRITE SetAutoSearch)
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE SetTitleFont)
    Q_PROPERTY(int TitleFontColor READ TitleFontColor WRITE SetTitleFontColor)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)

public:
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    using TDrawTextFormat = std::function<void(TField *Field, QString &Text)>;
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TDBGridClickEvent = std::function<void(TColumn *Column)>;

    // The search ends this long after the last key.
    static constexpr int SearchTimeout = 5000;
    // Narrowest column the user can drag or the grid sizes a column to.
    static constexpr int MinColumnWidth = 10;
    // Distance from a title separator within which the mouse resizes the column.
    static constexpr int ResizeTolerance = 3;
    // Background of the selected row while the grid does not have the focus.
    static constexpr TColor UnfocusedSelectionColor = 7987711;
    // The placeholder's colour.
    static constexpr TColor PlaceholderColor = 8421504;

    explicit TI_DBGrid(QWidget *owner = nullptr);
    ~TI_DBGrid() override;

    TDBGridColumns *Columns() { return m_columns.get(); }
    const TDBGridColumns *Columns() const { return m_columns.get(); }
    TDataSource *DataSource() const;
    void SetDataSource(TDataSource *source);
    // The data source's data set, or nullptr.
    TDataSet *DataSet() const;

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    // Colour of the title cells that keep the grid's colour, and of the fixed areas.
    TColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(TColor color);
    // A TBorderStyle; other numbers are ignored.
    int BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    TDBGridOptions Options() const { return m_options; }
    void SetOptions(TDBGridOptions options);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int height);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool AutoSearch() const { return m_autoSearch; }
    void SetAutoSearch(bool on);
    // Font of the titles that keep the grid's title font; the grid's font at first.
    QFont TitleFont() const { return m_titleFont; }
    void SetTitleFont(const QFont &font);
    TColor TitleFontColor() const { return m_titleFontColor; }
    void SetTitleFontColor(TColor color);
    // Text colour of the columns that keep the grid's font colour.
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);

    // The current column (its index in Columns()); -1 without columns.
    int SelectedIndex() const { return m_selectedIndex; }
    void SetSelectedIndex(int index);
    TColumn *SelectedColumn() const;
    // First visible row (a record number, from 1).
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    // The record number of the selected row as the grid last heard it; 0 without one.
    int CurrentRow() const { return m_currentRow; }
    int RowCount() const { return m_rowCount; }

    // While a cell is being drawn: its record number and the value of a field in that row
    // (as the grid read it). Outside drawing 0 and an invalid value.
    int DrawingRecNo() const { return m_drawingRecNo; }
    QVariant DrawingValue(const TField *field) const;

    // The running typing search, or an empty text.
    QString SearchText() const { return m_search.Text(); }
    bool Searching() const { return m_search.Active(); }
    // Ends the typing search and hides its hint.
    void EndSearch();
    TGridSearchHint *SearchHint() const { return m_hint; }

    // What the grid paints while it has nothing to show: true without columns, data source or
    // data set.
    bool ShowsPlaceholder() const;
    const GridGeometry &Geometry() const { return m_geometry; }
    // Screen areas, in widget coordinates.
    QRect CellRect(int column, int row) const;
    QRect TitleRect(int column) const;

    TDrawTextFormat OnDrawTextFormat;
    TNotifyEvent OnDblClick;
    TDBGridClickEvent OnTitleClick;

    bool ClaimsKey(quint16 key, Qt::KeyboardModifiers shift) const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TGridDataLink;
    friend class TDBGridColumns;
    friend class TColumn;

    // --- Data link ---------------------------------------------------------------------------
    void LinkDataSetChanged();
    void LinkRecordChanged(TField *field);
    void LinkScrolled();
    // Whether the grid may read and move the data set now.
    bool DataSetReady() const;
    bool DataSetUsable() const;
    void BindFields();
    // Reads the values of the visible rows; without force only when they are not all kept.
    void ReadRows(bool force);
    void ReadRow(int row);
    void MakeRowVisible(int row);

    // --- Layout ------------------------------------------------------------------------------
    void ColumnsChanged(bool layout);
    void Relayout();
    int MeasureTitleHeight() const;
    int BorderWidth() const;
    void SyncScrollBars();
    void ScrollTo(int topRow, int scrollX);
    void MakeColumnVisible(int column);
    void UpdateRow(int row);
    void UpdateTitles();

    // --- Painting ----------------------------------------------------------------------------
    void PaintBorder(QPainter &p);
    void PaintPlaceholder(QPainter &p);
    void PaintTitles(QPainter &p, const QRect &exposed);
    void PaintTitle(QPainter &p, int column, const QRect &rect);
    void PaintRows(QPainter &p, const QRect &exposed);
    void PaintCell(QPainter &p, int column, int row, const QRect &rect, const QRect &exposed,
                   bool selected);
    // Laid-out texts of a column, so that scrolling by a row does not lay out again what it
    // drew before.
    const QStaticText &CellText(int column, const QString &text, const QFont &font);
    bool CellSelected(int column, int row) const;

    // --- Input -------------------------------------------------------------------------------
    void HandleKey(QKeyEvent *event);
    void MoveColumn(int delta);
    void MoveRecord(int delta);
    void SelectRecord(int row);
    void SearchKey(GridSearch::Result result);
    void RunSearch();
    bool LocateSearchValue(TField *field, const QVariant &value);
    void PlaceHint();
    void TitleClicked(int column, Qt::KeyboardModifiers modifiers);
    void ResizeColumnTo(int x);

    std::unique_ptr<TDBGridColumns> m_columns;
    std::unique_ptr<TGridDataLink> m_link;
    QScrollBar *m_vBar = nullptr;
    QScrollBar *m_hBar = nullptr;
    TGridSearchHint *m_hint = nullptr;
    QTimer *m_searchTimer = nullptr;

    TColor m_color = clWindow;
    TColor m_fixedColor = clBtnFace;
    int m_borderStyle = bsSingle;
    TDBGridOptions m_options;
    int m_defaultRowHeight = 24;
    bool m_readOnly = false;
    bool m_autoSearch = false;
    QFont m_titleFont;
    TColor m_titleFontColor = clWindowText;
    TColor m_fontColor = clWindowText;

    GridGeometry m_geometry;
    int m_topRow = 1;
    int m_scrollX = 0;
    int m_rowCount = 0;
    int m_currentRow = 0;
    int m_selectedIndex = -1;
    bool m_syncingBars = false;

    // Values of the rows m_cacheTop .. m_cacheTop + m_cache.size() - 1, one per column.
    int m_cacheTop = 1;
    QList<QList<QVariant>> m_cache;
    int m_drawingRecNo = 0;
    QList<QHash<QString, QStaticText>> m_textCache;

    GridSearch m_search;

    // Mouse: the title pressed for a click, and the column being resized.
    int m_pressedTitle = -1;
    int m_resizing = -1;
    int m_resizeStartX = 0;
    QList<int> m_resizeStartWidths;
};
