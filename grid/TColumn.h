// The columns of the data grid. A column shows one field of the grid's data set; what it does
// not set itself (colour, fonts, alignment) it takes from the grid or from its field, so that a
// colour scheme that recolours the grid recolours every column that keeps the grid's colour.
//
// Columns are not components: they belong to the grid's column list, not to the window, so a
// walk over the window's components never meets them.
#pragma once

// Field.h needs the data set class complete before it.
#include "data/DataSet.h"
#include "data/Field.h"
#include "grid/DBGridOptions.h"
#include "platform/Colors.h"

#include <QFont>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class TColumn;
class TDBGridColumns;
class TI_DBGrid;

// The title cell of a column.
class TColumnTitle {
public:
    explicit TColumnTitle(TColumn *column) : m_column(column) {}

    const QString &Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    // The grid's fixed colour unless set.
    TColor Color() const;
    void SetColor(TColor color);
    // The grid's title font unless set.
    QFont Font() const;
    void SetFont(const QFont &font);
    // The grid's title font colour unless set.
    TColor FontColor() const;
    void SetFontColor(TColor color);
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);

private:
    TColumn *m_column;
    QString m_caption;
    std::optional<TColor> m_color;
    std::optional<QFont> m_font;
    std::optional<TColor> m_fontColor;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

class TColumn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool Indexed READ Indexed WRITE SetIndexed)
    Q_PROPERTY(int IndexStyle READ IndexStyle WRITE SetIndexStyleValue)
    Q_PROPERTY(bool WordBreak READ WordBreak WRITE SetWordBreak)
    Q_PROPERTY(int FocusWidth READ FocusWidth WRITE SetFocusWidth)
    Q_PROPERTY(Qt::Alignment Alignment READ Alignment WRITE SetAlignment)

public:
    static constexpr int DefaultWidth = 64;

    TColumn(const TColumn &) = delete;
    TColumn &operator=(const TColumn &) = delete;
    ~TColumn() override;

    TDBGridColumns *Collection() const { return m_collection; }
    TI_DBGrid *Grid() const;
    // Position in the column list.
    int Index() const;

    const QString &FieldName() const { return m_fieldName; }
    void SetFieldName(const QString &name);
    // The grid's data set's field of that name; nullptr while there is none.
    TField *Field() const { return m_field; }

    TColumnTitle *Title() { return &m_title; }
    const TColumnTitle *Title() const { return &m_title; }

    int Width() const { return m_width; }
    // Also the column's share when the grid sizes its columns to its width.
    void SetWidth(int width);
    // The grid's colour unless set.
    TColor Color() const;
    void SetColor(TColor color);
    // The grid's font unless set.
    QFont Font() const;
    void SetFont(const QFont &font);
    // The grid's font colour unless set.
    TColor FontColor() const;
    void SetFontColor(TColor color);
    // The field's alignment (numbers right) unless set.
    Qt::Alignment Alignment() const;
    void SetAlignment(Qt::Alignment alignment);
    bool Indexed() const { return m_indexed; }
    void SetIndexed(bool indexed);
    TIndexStyle IndexStyle() const { return m_indexStyle; }
    void SetIndexStyle(TIndexStyle style);
    // Texts wrap at word boundaries instead of staying on one line.
    bool WordBreak() const { return m_wordBreak; }
    void SetWordBreak(bool on);
    // Width of the focus frame drawn round the current cell while the grid has the focus; 0
    // draws none.
    int FocusWidth() const { return m_focusWidth; }
    void SetFocusWidth(int width);

private:
    friend class TDBGridColumns;
    friend class TColumnTitle;
    friend class TI_DBGrid;
    explicit TColumn(TDBGridColumns *collection);
    void SetIndexStyleValue(int style) { SetIndexStyle(TIndexStyle(style)); }
    void Changed(bool layout);
    // Widths the grid gives its columns while it sizes them to its width; the share stays.
    void SetArrangedWidth(int width) { m_width = width; }
    double Share() const { return m_share; }
    void SetShare(double share) { m_share = share; }
    void SetField(TField *field) { m_field = field; }

    TDBGridColumns *m_collection;
    QString m_fieldName;
    QPointer<TField> m_field;
    TColumnTitle m_title;
    int m_width = DefaultWidth;
    double m_share = DefaultWidth;
    std::optional<TColor> m_color;
    std::optional<QFont> m_font;
    std::optional<TColor> m_fontColor;
    std::optional<Qt::Alignment> m_alignment;
    bool m_indexed = false;
    TIndexStyle m_indexStyle = idxNone;
    bool m_wordBreak = false;
    int m_focusWidth = 0;
};

// The grid's column list, in display order.
class TDBGridColumns {
public:
    explicit TDBGridColumns(TI_DBGrid *grid) : m_grid(grid) {}
    TDBGridColumns(const TDBGridColumns &) = delete;
    TDBGridColumns &operator=(const TDBGridColumns &) = delete;
    ~TDBGridColumns();

    TI_DBGrid *Grid() const { return m_grid; }
    int Count() const { return int(m_items.size()); }
    TColumn *Items(int index) const { return m_items.at(size_t(index)).get(); }
    TColumn *operator[](int index) const { return Items(index); }
    // A new column at the end.
    TColumn *Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TColumn *column) const;
    // The first column showing the field of that name (case-insensitive), or nullptr.
    TColumn *ColumnByFieldName(const QString &fieldName) const;

private:
    friend class TColumn;
    void Changed(bool layout);

    TI_DBGrid *m_grid;
    std::vector<std::unique_ptr<TColumn>> m_items;
};
