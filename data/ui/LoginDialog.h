// TLoginDialog: the modal login a dictionary connection asks for its user name and password.
// InstallLoginDialog makes it the login prompt of every TDbConnection. Like every window of the
// program it is a form and runs the window preparation, so the colour scheme reaches it.
#pragma once

#include "platform/ui/TCustomForm.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TLoginDialog : public TForm {
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget *owner = nullptr);

    QLabel *DatabaseName() const { return m_databaseName; }
    QLineEdit *UserName() const { return m_userName; }
    QLineEdit *Password() const { return m_password; }
    QPushButton *OKButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QWidget *Panel() const { return m_panel; }

    // Shows the dialog for the database; OK returns True with the two texts.
    static bool Execute(const QString &databaseName, QString &userName, QString &password);

protected:
    // Enter confirms (unless "Abbrechen" has the focus), Escape cancels.
    void KeyDown(quint16 &key, Qt::KeyboardModifiers shift) override;
    void showEvent(QShowEvent *event) override;

private:
    // The user name edit when it is empty, else the password edit.
    void InitialFocus();

    QWidget *m_panel;
    QLabel *m_databaseName;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// Installs TLoginDialog::Execute as TDbConnection's login prompt.
void InstallLoginDialog();
