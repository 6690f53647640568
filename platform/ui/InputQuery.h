// The standard single-line input dialog: a caption, a prompt, an edit field and the buttons
// "OK" and "Abbrechen". The edit starts with the given value, all of it selected.
#pragma once

#include "platform/ui/TCustomForm.h"

class QLineEdit;
class QPushButton;

class TInputQueryForm : public TForm {
    Q_OBJECT
public:
    TInputQueryForm(const QString &caption, const QString &prompt, const QString &value,
                    int maxLength, QWidget *owner = nullptr);
    QLineEdit *Edit() const { return m_edit; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers shift) override;

private:
    QLineEdit *m_edit;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

// True when the user confirmed with "OK"; value then holds the entered text. The edit accepts at
// most maxLength characters.
bool InputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength = 255);
