#include "platform/ui/TCustomForm.h"

#include "platform/ui/Keys.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class RecordingForm : public TForm {
public:
    QList<quint16> keys;
    QString typed;
    quint16 swallow = 0;
    QList<int> messages;

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers) override {
        keys << key;
        if (key == swallow)
            key = 0;
    }
    void KeyPress(QChar &key) override { typed += key; }
    void MessageReceived(TMessageEvent &m) override { messages << m.Msg; }
};

class ClaimingEdit : public QLineEdit, public TKeyClaimer {
public:
    using QLineEdit::QLineEdit;
    bool ClaimsKey(quint16 key, Qt::KeyboardModifiers) const override { return key == VK_RETURN; }
};

} // namespace

TEST(TCustomForm, KeyPreviewSeesKeysOnceBeforeTheControl) {
    RecordingForm form;
    form.SetKeyPreview(true);
    auto *edit = new QLineEdit(&form);
    form.show();
    edit->setFocus();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(edit, Qt::Key_A);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(form.keys, (QList<quint16>{quint16('A'), VK_ESCAPE}));
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

TEST(TCustomForm, ASwallowedKeyNeverReachesTheControl) {
    RecordingForm form;
    form.SetKeyPreview(true);
    form.swallow = quint16('B');
    auto *edit = new QLineEdit(&form);
    form.show();
    edit->setFocus();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(edit, Qt::Key_B);
    QTest::keyClick(edit, Qt::Key_C);
    EXPECT_EQ(edit->text(), QStringLiteral("c"));
}

TEST(TCustomForm, WithoutPreviewTheWindowSeesNothing) {
    RecordingForm form;
    auto *edit = new QLineEdit(&form);
    form.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_TRUE(form.keys.isEmpty());
}

TEST(TCustomForm, ClaimedKeysBypassThePreview) {
    RecordingForm form;
    form.SetKeyPreview(true);
    auto *edit = new ClaimingEdit(&form);
    form.show();
    edit->setFocus();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(form.keys, QList<quint16>{quint16('X')});
}

TEST(TCustomForm, PostedCloseClosesAfterTheRunningHandler) {
    TForm form;
    form.show();
    form.PostClose();
    EXPECT_TRUE(form.isVisible()) << "the close must wait for the event loop";
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
}

TEST(TCustomForm, PostedMessagesArriveWithTheirNumber) {
    RecordingForm form;
    PostMessage(&form, 1524);
    EXPECT_EQ(messageEventType(1524), QEvent::Type(1524));
    QCoreApplication::processEvents();
    EXPECT_EQ(form.messages, QList<int>{1524});
}

TEST(TCustomForm, ShowModalReturnsTheModalResult) {
    TForm form;
    auto *ok = new QPushButton(&form);
    QObject::connect(ok, &QPushButton::clicked, &form, [&] { form.SetModalResult(mrOk); });
    QTimer::singleShot(0, ok, [ok] { ok->click(); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(form.isVisible());
}

TEST(TCustomForm, ClosingAModalWindowGivesCancel) {
    TForm form;
    QTimer::singleShot(0, &form, [&] { form.close(); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST(TCustomForm, ColourIsTheWindowBackground) {
    TForm form;
    EXPECT_EQ(form.Color(), clBtnFace);
    form.SetColor(clWhite);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(form.property("Color").toInt(), clWhite);
}
