#include "feedback/TInputListDelegate.h"

#include "platform/Colors.h"

#include <QPainter>

QColor TInputListDelegate::StripeColor(int row) {
    return row % 2 ? Colors::toQColor(rgbColor(254, 245, 188)) : Colors::toQColor(clWhite);
}

QRect TInputListDelegate::TextRect(const QRect &row) {
    return row.adjusted(5, 1, -1, 0);
}

void TInputListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const {
    const bool marked = option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
    painter->save();
    painter->fillRect(option.rect,
                      marked ? Colors::toQColor(clHighlight) : StripeColor(index.row()));
    painter->setFont(option.font);
    painter->setPen(Colors::toQColor(marked ? clHighlightText : clWindowText));
    const QRect text = TextRect(option.rect);
    const QString shown = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                        Qt::ElideRight, text.width());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    painter->restore();
}

QSize TInputListDelegate::sizeHint(const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), RowHeight);
}
