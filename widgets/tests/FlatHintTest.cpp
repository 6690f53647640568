#include "widgets/TFlatHint.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/TCustomForm.h"
#include "widgets/FlatHintWindow.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(FlatHintLayout, WrapsAtTheGreatestHintWidth) {
    const QFont font = Fonts::make(QStringLiteral("Tahoma"), -11);
    const auto one = FlatHintLayout::compute(QStringLiteral("Kurz"), font, 600);
    EXPECT_LT(one.size.width(), 100);
    EXPECT_EQ(one.arrow.left(), 1);
    EXPECT_GT(one.text.left(), one.arrow.right());
    const QString longText = QStringLiteral("Ein sehr langer Hinweis ").repeated(20);
    const auto wrapped = FlatHintLayout::compute(longText, font, 200);
    EXPECT_LE(wrapped.size.width(), 200);
    EXPECT_GT(wrapped.size.height(), 4 * one.size.height()) << "many lines";
    EXPECT_LE(wrapped.text.right(), wrapped.size.width() - 1);
}

TEST(TFlatHint, ShowsWidgetHintsInItsStyleAndHidesOnClick) {
    TForm form;
    form.resize(200, 100);
    auto *button = new TFlatButton(&form);
    button->setGeometry(10, 10, 80, 30);
    button->SetHint(QStringLiteral("Startet die Prüfung"));
    form.show();
    QApplication::setActiveWindow(&form);

    TFlatHint hint(&form);
    hint.SetColorBorder(16744576);
    hint.SetColorArrowBackground(16744576);
    hint.SetColorArrow(clWhite);
    hint.SetMaxHintWidth(600);
    EXPECT_EQ(TFlatHint::current(), &hint);

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    auto *window = qobject_cast<FlatHintWindow *>(hint.HintWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->text(), QStringLiteral("Startet die Prüfung"));
    EXPECT_GE(window->y(), button->mapToGlobal(QPoint(5, 5)).y()) << "below the pointer";

    QImage shot(window->size(), QImage::Format_RGB32);
    window->render(&shot);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(128, 128, 255)) << "the border";
    EXPECT_EQ(QColor(shot.pixel(2, window->height() - 3)), QColor(128, 128, 255))
        << "the arrow strip";

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(hint.HintWindow(), nullptr);
}

TEST(TFlatHint, WidgetWithoutHintShowsNothing) {
    TForm form;
    auto *button = new TFlatButton(&form);
    form.show();
    TFlatHint hint;
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    EXPECT_EQ(hint.HintWindow(), nullptr);
}

} // namespace
