#include "grid/TColumn.h"

#include "data/Field.h"
#include "grid/TI_DBGrid.h"

#include <algorithm>

// --- TColumnTitle --------------------------------------------------------------------------

void TColumnTitle::SetCaption(const QString &caption) {
    m_caption = caption;
    m_column->Changed(false);
}

TColor TColumnTitle::Color() const {
    if (m_color)
        return *m_color;
    TI_DBGrid *grid = m_column->Grid();
    return grid ? grid->FixedColor() : clBtnFace;
}

void TColumnTitle::SetColor(TColor color) {
    m_color = color;
    m_column->Changed(false);
}

QFont TColumnTitle::Font() const {
    if (m_font)
        return *m_font;
    TI_DBGrid *grid = m_column->Grid();
    return grid ? grid->TitleFont() : QFont();
}

void TColumnTitle::SetFont(const QFont &font) {
    m_font = font;
    // The title row's height follows the largest title font.
    m_column->Changed(true);
}

TColor TColumnTitle::FontColor() const {
    if (m_fontColor)
        return *m_fontColor;
    TI_DBGrid *grid = m_column->Grid();
    return grid ? grid->TitleFontColor() : clWindowText;
}

void TColumnTitle::SetFontColor(TColor color) {
    m_fontColor = color;
    m_column->Changed(false);
}

void TColumnTitle::SetAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    m_column->Changed(false);
}

// --- TColumn -------------------------------------------------------------------------------

TColumn::TColumn(TDBGridColumns *collection) : m_collection(collection), m_title(this) {}

TColumn::~TColumn() = default;

TI_DBGrid *TColumn::Grid() const {
    return m_collection ? m_collection->Grid() : nullptr;
}

int TColumn::Index() const {
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void TColumn::SetFieldName(const QString &name) {
    m_fieldName = name;
    // Another field means other values to read for the shown rows.
    Changed(true);
}

void TColumn::SetWidth(int width) {
    width = std::max(width, 0);
    m_width = width;
    m_share = width;
    Changed(true);
}

TColor TColumn::Color() const {
    if (m_color)
        return *m_color;
    TI_DBGrid *grid = Grid();
    return grid ? grid->Color() : clWindow;
}

void TColumn::SetColor(TColor color) {
    m_color = color;
    Changed(false);
}

QFont TColumn::Font() const {
    if (m_font)
        return *m_font;
    TI_DBGrid *grid = Grid();
    return grid ? grid->font() : QFont();
}

void TColumn::SetFont(const QFont &font) {
    m_font = font;
    Changed(false);
}

TColor TColumn::FontColor() const {
    if (m_fontColor)
        return *m_fontColor;
    TI_DBGrid *grid = Grid();
    return grid ? grid->FontColor() : clWindowText;
}

void TColumn::SetFontColor(TColor color) {
    m_fontColor = color;
    Changed(false);
}

Qt::Alignment TColumn::Alignment() const {
    if (m_alignment)
        return *m_alignment;
    return m_field ? m_field->Alignment() : Qt::AlignLeft;
}

void TColumn::SetAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    Changed(false);
}

void TColumn::SetIndexed(bool indexed) {
    m_indexed = indexed;
    Changed(false);
}

void TColumn::SetIndexStyle(TIndexStyle style) {
    if (style != idxNone && style != idxAscending && style != idxDescending)
        return;
    m_indexStyle = style;
    Changed(false);
}

void TColumn::SetWordBreak(bool on) {
    m_wordBreak = on;
    Changed(false);
}

void TColumn::SetFocusWidth(int width) {
    m_focusWidth = std::max(width, 0);
    Changed(false);
}

void TColumn::Changed(bool layout) {
    if (m_collection)
        m_collection->Changed(layout);
}

// --- TDBGridColumns ------------------------------------------------------------------------

TDBGridColumns::~TDBGridColumns() {
    // The grid is going away; columns must not call back into it while they go.
    m_grid = nullptr;
    m_items.clear();
}

TColumn *TDBGridColumns::Add() {
    m_items.push_back(std::unique_ptr<TColumn>(new TColumn(this)));
    TColumn *column = m_items.back().get();
    Changed(true);
    return column;
}

void TDBGridColumns::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    Changed(true);
}

void TDBGridColumns::Clear() {
    if (m_items.empty())
        return;
    m_items.clear();
    Changed(true);
}

int TDBGridColumns::IndexOf(const TColumn *column) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == column)
            return int(i);
    }
    return -1;
}

TColumn *TDBGridColumns::ColumnByFieldName(const QString &fieldName) const {
    for (const auto &column : m_items) {
        if (column->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return column.get();
    }
    return nullptr;
}

void TDBGridColumns::Changed(bool layout) {
    if (m_grid)
        m_grid->ColumnsChanged(layout);
}
