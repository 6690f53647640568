#include "data/ui/LoginDialog.h"

#include "data/DbConnection.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keys.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TLoginDialog::TLoginDialog(QWidget *owner) : TForm(owner) {
    setObjectName(QStringLiteral("LoginDialog"));
    SetBorderStyle(bsDialog);
    SetCaption(QStringLiteral("Datenbank-Login"));
    SetKeyPreview(true);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel"));
    static_cast<QFrame *>(m_panel)->setFrameShape(QFrame::StyledPanel);
    auto *databaseLabel = new QLabel(QStringLiteral("Datenbank:"), m_panel);
    m_databaseName = new QLabel(m_panel);
    m_databaseName->setObjectName(QStringLiteral("DatabaseName"));
    auto *panelLayout = new QHBoxLayout(m_panel);
    panelLayout->addWidget(databaseLabel);
    panelLayout->addWidget(m_databaseName, 1);

    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("UserName"));
    m_userName->setMaxLength(31);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setMaxLength(31);
    m_password->setEchoMode(QLineEdit::Password);
    auto *userLabel = new QLabel(QStringLiteral("&Benutzername:"), this);
    userLabel->setBuddy(m_userName);
    auto *passwordLabel = new QLabel(QStringLiteral("&Paßwort:"), this);
    passwordLabel->setBuddy(m_password);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_ok, &QPushButton::clicked, this, [this] { SetModalResult(mrOk); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });

    auto *edits = new QGridLayout;
    edits->addWidget(userLabel, 0, 0);
    edits->addWidget(m_userName, 0, 1);
    edits->addWidget(passwordLabel, 1, 0);
    edits->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addLayout(edits);
    layout->addLayout(buttons);
    resize(sizeHint());
    SetPosition(poScreenCenter);
    MoveToScreenCentre(owner ? owner : Application::mainForm());
    Application::prepareWindow(this, false);
}

void TLoginDialog::KeyDown(quint16 &key, Qt::KeyboardModifiers) {
    if (key == VK_ESCAPE) {
        key = 0;
        SetModalResult(mrCancel);
    } else if (key == VK_RETURN) {
        key = 0;
        SetModalResult(focusWidget() == m_cancel ? mrCancel : mrOk);
    }
}

void TLoginDialog::showEvent(QShowEvent *event) {
    TForm::showEvent(event);
    // A long database name must not run past the panel: it ends 5 pixels inside it.
    const int right = m_databaseName->x() + m_databaseName->sizeHint().width();
    const int limit = m_panel->contentsRect().right() - 5;
    if (right > limit)
        m_databaseName->setMaximumWidth(std::max(0, limit - m_databaseName->x()));
    InitialFocus();
}

void TLoginDialog::InitialFocus() {
    QLineEdit *edit = m_userName->text().isEmpty() ? m_userName : m_password;
    edit->setFocus();
}

bool TLoginDialog::Execute(const QString &databaseName, QString &userName, QString &password) {
    TLoginDialog dialog;
    dialog.m_databaseName->setText(databaseName);
    dialog.m_userName->setText(userName);
    dialog.InitialFocus();
    if (dialog.ShowModal() != mrOk)
        return false;
    userName = dialog.m_userName->text();
    password = dialog.m_password->text();
    return true;
}

void InstallLoginDialog() {
    TDbConnection::SetLoginPromptFunction(&TLoginDialog::Execute);
}
