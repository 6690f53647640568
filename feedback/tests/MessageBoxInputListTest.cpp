// The drawing of the input list's rows.
#include "feedback/TInputListDelegate.h"

#include "platform/Colors.h"
#include "platform/ui/Fonts.h"

#include <QImage>
#include <QPainter>
#include <QStringListModel>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 120;

// Paints one row of the list into a picture of its own.
QImage paintRow(const QString &text, int row, QStyle::State state) {
    QStringListModel model(QStringList(row + 1, text));
    TInputListDelegate delegate;
    QImage image(kWidth, TInputListDelegate::RowHeight, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.state = state;
    option.font = Fonts::make(QStringLiteral("Tahoma"), -11);
    option.fontMetrics = QFontMetrics(option.font);
    delegate.paint(&painter, option, model.index(row));
    return image;
}

bool columnIs(const QImage &image, int x, QColor colour) {
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(x, y) != colour)
            return false;
    }
    return true;
}

} // namespace

TEST(MessageBoxInputList, RowsAreStripedAndTheMarkedRowHighlighted) {
    const QColor white(255, 255, 255), yellow(254, 245, 188);
    const QColor highlight = Colors::toQColor(clHighlight);
    EXPECT_EQ(paintRow(QStringLiteral("x"), 0, QStyle::State_None).pixelColor(1, 1), white);
    EXPECT_EQ(paintRow(QStringLiteral("x"), 1, QStyle::State_None).pixelColor(1, 1), yellow);
    EXPECT_EQ(paintRow(QStringLiteral("x"), 2, QStyle::State_None).pixelColor(1, 1), white);
    EXPECT_EQ(paintRow(QStringLiteral("x"), 1, QStyle::State_Selected).pixelColor(1, 1), highlight);
    EXPECT_EQ(paintRow(QStringLiteral("x"), 2, QStyle::State_HasFocus).pixelColor(1, 1), highlight);
}

TEST(MessageBoxInputList, TextStartsFivePixelsInAndIsCutWithAnEllipsis) {
    const QImage shortText = paintRow(QStringLiteral("WWW"), 0, QStyle::State_None);
    for (int x = 0; x < 5; ++x)
        EXPECT_TRUE(columnIs(shortText, x, Qt::white)) << "column " << x;
    bool drawn = false;
    for (int x = 5; x < 12; ++x)
        drawn = drawn || !columnIs(shortText, x, Qt::white);
    EXPECT_TRUE(drawn) << "the text begins at 5";
    // A text far wider than the row ends in an ellipsis and leaves the last column free.
    const QImage longText = paintRow(QString(60, QLatin1Char('W')), 1, QStyle::State_None);
    EXPECT_TRUE(columnIs(longText, kWidth - 1, QColor(254, 245, 188)));
    const QImage selected = paintRow(QStringLiteral("WWW"), 0, QStyle::State_Selected);
    // Smoothed edges mix the two colours; the strokes' cores are nearer the text colour.
    auto distance = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    const QColor text = Colors::toQColor(clHighlightText);
    const QColor fill = Colors::toQColor(clHighlight);
    bool highlightText = false;
    for (int x = 5; x < 30 && !highlightText; ++x) {
        for (int y = 0; y < selected.height(); ++y) {
            const QColor c = selected.pixelColor(x, y);
            highlightText = highlightText || distance(c, text) < distance(c, fill);
        }
    }
    EXPECT_TRUE(highlightText) << "a marked row's text is in the highlight text colour";
}

TEST(MessageBoxInputList, RowsAre19High) {
    TInputListDelegate delegate;
    QStringListModel model(QStringList{QStringLiteral("a")});
    EXPECT_EQ(delegate.sizeHint(QStyleOptionViewItem(), model.index(0)).height(), 19);
}
