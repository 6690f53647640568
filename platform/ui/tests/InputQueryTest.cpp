#include "platform/ui/InputQuery.h"

#include "platform/ui/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// Runs action on the input dialog once it is shown modally.
void whenShown(std::function<void(TInputQueryForm *)> action) {
    QTimer::singleShot(0, [action] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *f = qobject_cast<TInputQueryForm *>(w); f && f->isVisible()) {
                action(f);
                return;
            }
        }
        ADD_FAILURE() << "no input dialog shown";
    });
}
} // namespace

TEST(InputQuery, ShowsCaptionPromptAndTheValueSelected) {
    QString value = QStringLiteral("HK-4711");
    whenShown([](TInputQueryForm *f) {
        EXPECT_EQ(f->Caption(), QStringLiteral("Eingabedialog"));
        EXPECT_EQ(f->OkButton()->text(), QStringLiteral("OK"));
        EXPECT_EQ(f->CancelButton()->text(), QStringLiteral("Abbrechen"));
        EXPECT_EQ(f->Edit()->selectedText(), QStringLiteral("HK-4711"));
        QTest::keyClicks(f->Edit(), QStringLiteral("neu"));
        f->OkButton()->click();
    });
    EXPECT_TRUE(
        InputQuery(QStringLiteral("Eingabedialog"), QStringLiteral("Eingabeaufforderung"), value));
    EXPECT_EQ(value, QStringLiteral("neu"));
}

TEST(InputQuery, CancelAndEscapeLeaveTheValueUnchanged) {
    QString value = QStringLiteral("alt");
    whenShown([](TInputQueryForm *f) {
        QTest::keyClicks(f->Edit(), QStringLiteral("x"));
        f->CancelButton()->click();
    });
    EXPECT_FALSE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    whenShown([](TInputQueryForm *f) { QTest::keyClick(f->Edit(), Qt::Key_Escape); });
    EXPECT_FALSE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("alt"));
}

TEST(InputQuery, TheEditAcceptsAtMostTheGivenLength) {
    QString value;
    whenShown([](TInputQueryForm *f) {
        QTest::keyClicks(f->Edit(), QString(60, u'x'));
        QTest::keyClick(f->Edit(), Qt::Key_Return);
    });
    EXPECT_TRUE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), value, 50));
    EXPECT_EQ(value.size(), 50);
}

TEST(InputQuery, ComesUpInTheMiddleOfTheScreen) {
    QString value = QStringLiteral("B-200");
    whenShown([](TInputQueryForm *f) {
        // The place is chosen before the window system adds its frame, so the frame may shift
        // the window by its own width.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect client = f->geometry();
        const int slackX = f->frameGeometry().width() - client.width() + 1;
        const int slackY = f->frameGeometry().height() - client.height() + 1;
        EXPECT_LE(std::abs(2 * client.left() + client.width() - 2 * screen.left() - screen.width()),
                  slackX);
        EXPECT_LE(std::abs(2 * client.top() + client.height() - 2 * screen.top() - screen.height()),
                  slackY);
        f->CancelButton()->click();
    });
    EXPECT_FALSE(InputQuery(QStringLiteral("Eingabedialog"), QStringLiteral("p"), value));
}

TEST(InputQuery, RunsTheWindowPreparationOnceItsControlsExist) {
    QList<TCustomForm *> prepared;
    int controls = 0;
    bool placed = true;
    Application::setWindowPreparation([&](TCustomForm *window, bool place) {
        prepared.append(window);
        controls = int(window->findChildren<QWidget *>().size());
        placed = place;
    });
    TInputQueryForm form(QStringLiteral("c"), QStringLiteral("p"), QStringLiteral("v"), 10);
    Application::setWindowPreparation({});
    EXPECT_EQ(prepared, QList<TCustomForm *>{&form});
    EXPECT_GE(controls, 4) << "prompt, edit and both buttons are there to be coloured";
    EXPECT_FALSE(placed) << "the dialog places itself";
}
