#include "data/ui/LoginDialog.h"
#include "data/DbConnection.h"
#include "platform/Exception.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs action on the login dialog once it is shown modally.
void whenShown(std::function<void(TLoginDialog *)> action) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        if (auto *dialog = qobject_cast<TLoginDialog *>(QApplication::activeModalWidget()))
            action(dialog);
        else
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

TEST(LoginDialog, ShowsTheDatabaseAndReturnsWhatWasTypedOnOk) {
    QString focusedName;
    whenShown([&](TLoginDialog *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Datenbank-Login"));
        EXPECT_EQ(d->DatabaseName()->text(), QStringLiteral("DbConnection"));
        EXPECT_EQ(d->UserName()->maxLength(), 31);
        EXPECT_EQ(d->Password()->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(d->OKButton()->isDefault());
        EXPECT_EQ(d->CancelButton()->text(), QStringLiteral("Abbrechen"));
        focusedName = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        QTest::keyClicks(d->Password(), QStringLiteral("geheim"));
        QTest::mouseClick(d->OKButton(), Qt::LeftButton);
    });
    QString user = QStringLiteral("chef");
    QString password;
    EXPECT_TRUE(TLoginDialog::Execute(QStringLiteral("DbConnection"), user, password));
    EXPECT_EQ(user, QStringLiteral("chef"));
    EXPECT_EQ(password, QStringLiteral("geheim"));
    EXPECT_EQ(focusedName, QStringLiteral("Password"))
        << "a known user name sends the focus to the password";
}

TEST(LoginDialog, AnEmptyUserNameTakesTheFocusAndCancelRefuses) {
    QString focusedName;
    whenShown([&](TLoginDialog *d) {
        focusedName = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        QTest::keyClicks(d->UserName(), QStringLiteral("x"));
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
    });
    QString user;
    QString password;
    EXPECT_FALSE(TLoginDialog::Execute(QStringLiteral("DB"), user, password));
    EXPECT_EQ(focusedName, QStringLiteral("UserName"));
    EXPECT_TRUE(user.isEmpty());
}

TEST(LoginDialog, InstalledItAnswersADictionaryConnection) {
    InstallLoginDialog();
    TDbConnection connection;
    connection.setObjectName(QStringLiteral("DbConnection"));
    connection.SetConnectPath(QStringLiteral("/nirgends/daten.DIC"));
    whenShown([](TLoginDialog *d) { QTest::keyClick(d->focusWidget(), Qt::Key_Escape); });
    try {
        connection.SetIsConnected(true);
        ADD_FAILURE() << "a cancelled login connected";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot connect to database 'DbConnection'"));
    }
    TDbConnection::SetLoginPromptFunction(nullptr);
}

TEST(LoginDialog, IsAFormThatRunsTheWindowPreparation) {
    QList<TCustomForm *> prepared;
    int controls = 0;
    Application::setWindowPreparation([&](TCustomForm *window, bool) {
        prepared.append(window);
        controls = int(window->findChildren<QLineEdit *>().size());
    });
    TLoginDialog dialog;
    Application::setWindowPreparation({});
    EXPECT_EQ(prepared, QList<TCustomForm *>{&dialog});
    EXPECT_EQ(controls, 2);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("LoginDialog"));
}

TEST(LoginDialog, EnterConfirmsUnlessCancelHasTheFocus) {
    whenShown([](TLoginDialog *d) { QTest::keyClick(d->focusWidget(), Qt::Key_Return); });
    QString user = QStringLiteral("chef");
    QString password;
    EXPECT_TRUE(TLoginDialog::Execute(QStringLiteral("DB"), user, password));
    whenShown([](TLoginDialog *d) {
        d->CancelButton()->setFocus();
        QTest::keyClick(d->CancelButton(), Qt::Key_Return);
    });
    EXPECT_FALSE(TLoginDialog::Execute(QStringLiteral("DB"), user, password));
}
