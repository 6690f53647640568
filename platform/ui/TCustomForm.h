// The base of every window of the program. It adds to a top-level QWidget what the window
// descriptions rely on: a colour, a border style and a position mode, a help context, a modal
// result with ShowModal, key preview (the window sees key presses before its controls do),
// and closing through a posted WM_CLOSE.
#pragma once

#include "platform/Colors.h"
#include "platform/ui/Messages.h"

#include <QWidget>

class QEventLoop;

enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// A control that handles some keys itself, so that the window's key preview never sees them
// (a flat button moves the focus on Enter).
class TKeyClaimer {
public:
    virtual ~TKeyClaimer() = default;
    virtual bool ClaimsKey(quint16 key, Qt::KeyboardModifiers shift) const = 0;
};

class TCustomForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)

public:
    enum TPosition {
        poDesigned,
        poDefault,
        poDefaultPosOnly,
        poDefaultSizeOnly,
        poScreenCenter,
        poDesktopCenter,
        poMainFormCenter,
        poOwnerFormCenter
    };
    Q_ENUM(TPosition)
    enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
    Q_ENUM(TFormBorderStyle)

    explicit TCustomForm(QWidget *owner = nullptr);
    ~TCustomForm() override;

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int context) { m_helpContext = context; }
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool on);
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    bool StayOnTop() const { return m_stayOnTop; }
    void SetStayOnTop(bool on);

    // Client area size in pixels (the window's inner size).
    void SetClientSize(int width, int height) { resize(width, height); }
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    void SetClientHeight(int height) { resize(width(), height); }

    int ModalResult() const { return m_modalResult; }
    // While the window runs modally, a result other than mrNone closes it.
    void SetModalResult(int result);
    // Shows the window modally and returns its modal result once it closes.
    int ShowModal();
    bool IsModal() const { return m_modalLoop != nullptr; }

    // Moves the window to the middle of the screen the reference window lies on (the primary
    // screen without one), as the library's own dialogs come up; left alone, the window system
    // may put a window into the screen's corner.
    void MoveToScreenCentre(const QWidget *reference);

    // Closes the window after the running handler has returned.
    void PostClose();
    // Brings the window to the foreground.
    void BringToFront();

protected:
    // Key preview: called for every key pressed in the window (unless a control claims it).
    // Setting key to 0 swallows the key.
    virtual void KeyDown(quint16 &key, Qt::KeyboardModifiers shift);
    virtual void KeyPress(QChar &key);
    // A posted message other than WM_CLOSE.
    virtual void MessageReceived(TMessageEvent &message);

    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TColor m_color;
    int m_helpContext = 0;
    bool m_keyPreview = false;
    bool m_stayOnTop = false;
    TPosition m_position = poDesigned;
    TFormBorderStyle m_borderStyle = bsSizeable;
    int m_modalResult = mrNone;
    QEventLoop *m_modalLoop = nullptr;
};

// The form class the program's windows derive from.
class TForm : public TCustomForm {
    Q_OBJECT
public:
    explicit TForm(QWidget *owner = nullptr) : TCustomForm(owner) {}
};
