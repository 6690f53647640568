// TLoginDialog: the modal login a dictionary connection asks for its user name and password.
// InstallLoginDialog makes it the login prompt of every TDbConnection.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TLoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget *parent = nullptr);

    QLabel *DatabaseName() const { return m_databaseName; }
    QLineEdit *UserName() const { return m_userName; }
    QLineEdit *Password() const { return m_password; }
    QPushButton *OKButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    QWidget *Panel() const { return m_panel; }

    // Shows the dialog for the database; OK returns True with the two texts.
    static bool Execute(const QString &databaseName, QString &userName, QString &password);

protected:
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
