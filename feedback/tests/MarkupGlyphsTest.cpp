// The markup labels, the markup hint and the message box show the marks of capitals and the
// descenders whole: "Ä" is not drawn like "A", and "g" keeps its tail.
#include "MarkupFixture.h"

#include "feedback/TFSB_BOX.h"
#include "feedback/TInputListDelegate.h"
#include "feedback/TMarkupHintWindow.h"
#include "feedback/TMarkupLabel.h"
#include "feedback/TSBHTM.h"
#include "platform/ui/Align.h"
#include "testsupport/TextInk.h"
#include "widgets/TFlatPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QStringListModel>

namespace {

// Labels that size themselves to their text, put on a canvas of one size in their own colour.
QImage onCanvas(const QImage &picture) {
    return TextInk::onCanvas(picture, QSize(400, 60), QColor(picture.pixel(0, 0)));
}

class MarkupGlyphs : public MarkupFixture {};

TEST_F(MarkupGlyphs, StatusLineLabel) {
    // As the main window's status line: a border of 6, sized to its text, plain and in bold.
    for (const char *tag : {"", "<B>"}) {
        SCOPED_TRACE(tag);
        const auto render = [&](const QString &text) {
            QWidget window;
            window.resize(548, 397);
            window.setFont(labelFont());
            TMarkupLabel status(&window);
            status.SetBorderWidth(6);
            status.SetAutoSizing(true);
            status.SetAutoSizeType(TMarkupLabel::asBoth);
            status.SetText(QLatin1String(tag) + text);
            return onCanvas(TextInk::picture(status));
        };
        EXPECT_TRUE(TextInk::drawnWhole(render, labelFont(*tag != 0)));
    }
}

TEST_F(MarkupGlyphs, MessageLabel) {
    const auto render = [&](const QString &text) {
        TFSB_BOX box;
        box.MessageLabel->SetText(text);
        return TextInk::picture(*box.MessageLabel);
    };
    EXPECT_TRUE(TextInk::drawnWhole(render, labelFont()));
}

TEST_F(MarkupGlyphs, MarkupHint) {
    const auto render = [&](const QString &text) {
        TMarkupHintWindow hint;
        hint.setFont(labelFont());
        hint.ShowAt(text, QPoint(0, 0));
        const QImage inside = TextInk::picture(hint).copy(hint.rect().adjusted(1, 1, -1, -1));
        hint.hide();
        return onCanvas(inside);
    };
    EXPECT_TRUE(TextInk::drawnWhole(render, labelFont()));
}

TEST_F(MarkupGlyphs, MessageBoxInputRow) {
    // The prompt in front of the input field, in its own font, as high as the box made it.
    const QFont arial = Fonts::fromPoints(QStringLiteral("Arial"), 8);
    const auto prompt = [&](const QString &text) {
        TFSB_BOX box;
        box.Label1->setText(text);
        box.Label1->resize(200, box.Label1->height());
        return TextInk::picture(*box.Label1);
    };
    EXPECT_TRUE(TextInk::drawnWhole(prompt, arial));

    // What the user types into the input field.
    const auto input = [&](const QString &text) {
        TFSB_BOX box;
        box.FINPE->setEditText(text);
        return TextInk::picture(*box.FINPE);
    };
    // An empty field shows its placeholder; a blank shows nothing.
    EXPECT_TRUE(TextInk::drawnWhole(input, labelFont(), QStringLiteral(" ")));

    // The rows of the input list, as the delegate paints them.
    const auto row = [&](const QString &text) {
        QStringListModel model(QStringList{text});
        TInputListDelegate delegate;
        QImage image(200, TInputListDelegate::RowHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.font = labelFont();
        option.fontMetrics = QFontMetrics(option.font);
        delegate.paint(&painter, option, model.index(0));
        return image;
    };
    EXPECT_TRUE(TextInk::drawnWhole(row, labelFont()));
}

} // namespace
