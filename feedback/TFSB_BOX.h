// The program's own message and question box: a modal window that shows a markup text, may
// carry a help text the user opens inside the same window, stays in front of all windows and
// closes with the OK or the cancel result. ShowMessageBox and AskYesNo create one for each call
// and free it when it closes. The window also holds an input panel (a combo box with
// "Übernehmen" and "Abbrechen") whose keys and drawing belong to it, though no operation opens
// it in input mode.
#pragma once

#include "platform/ui/TCustomForm.h"

#include <QString>

class QComboBox;
class QLabel;
class TFlatButton;
class TFlatPanel;
class TPanel;
class TSBHTM;

class TFSB_BOX : public TForm {
    Q_OBJECT

public:
    // The client width the labels are laid out in (402 inside the border of 2).
    static constexpr int DesignClientWidth = 406;
    static constexpr int DesignClientHeight = 130;

    explicit TFSB_BOX(QWidget *owner = nullptr);
    ~TFSB_BOX() override;

    // The window's greatest height: 70 % of the given screen height, rounded to the nearest
    // pixel, halves to the even one.
    static int MaxHeightForScreen(int screenHeight);
    // Every "#13#10" in a text (the six characters) becomes a line break "<BR>".
    static QString ExpandLineBreaks(const QString &text);

    // The help text a "Hilfe" button shows (empty: the buttons do nothing).
    QString HelpText() const { return m_helpText; }
    void SetHelpText(const QString &text) { m_helpText = text; }
    // Set once a link in the message or the help was opened; the window then no longer pulls
    // itself to the front.
    bool LinkOpened() const { return m_linkOpened; }

    // The message label and the help label, created with the window.
    TSBHTM *MessageLabel = nullptr;
    TSBHTM *HelpLabel = nullptr;

    // Designed components.
    TPanel *Pinput = nullptr;
    TFlatPanel *FlatPanel1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *FINPE = nullptr;
    TPanel *Panel3 = nullptr;
    TFlatButton *FB_ICANCEL = nullptr;
    TFlatButton *FB_IOK = nullptr;
    TFlatButton *FB_HELPI = nullptr;
    TPanel *Pquestion = nullptr;
    QLabel *Image2 = nullptr;
    TPanel *Panel1 = nullptr;
    TFlatButton *FB_OK = nullptr;
    TFlatButton *FB_BREAK1 = nullptr;
    TFlatButton *FBhelpQ = nullptr;
    TPanel *Pmsg = nullptr;
    QLabel *Image1 = nullptr;
    TPanel *Panel2 = nullptr;
    TFlatButton *FB_BREAK2 = nullptr;
    TFlatButton *FBhelpS = nullptr;
    TFlatPanel *FP_help = nullptr;

    // Event handlers.
    void FormCreate();
    void FormShow();
    void FormDeactivate();
    void HelpClick(QObject *Sender);
    void ButtonKeyDown(QObject *Sender, quint16 &Key, Qt::KeyboardModifiers Shift);
    void LabelLinkOpened();

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar &key) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void CreateComponents();
    bool MessageMode() const;
    bool InputListOpen() const;

    QString m_helpText;
    bool m_linkOpened = false;
};

// Shows a message with the one button "Schließen" and returns when the user has closed it. With
// a help text the window has a "Hilfe" button; an empty caption is the application's title.
void ShowMessageBox(const QString &text, const QString &help = QString(),
                    const QString &caption = QString());
// Asks a question with "Ja" and "Nein"; true exactly when the window closed with the OK result.
bool AskYesNo(const QString &text, const QString &help = QString(),
              const QString &caption = QString());
