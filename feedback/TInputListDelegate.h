// The rows of the message box's input list: the selected or focused row in the highlight
// colours, the others striped light yellow (odd rows) and white (even rows), the text on one
// line a little in from the left and cut with an ellipsis when it does not fit.
#pragma once

#include <QStyledItemDelegate>

class TInputListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int RowHeight = 19;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The fill of a row that is neither selected nor focused.
    static QColor StripeColor(int row);
    // Where a row's text goes inside the row.
    static QRect TextRect(const QRect &row);
};
