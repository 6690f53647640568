#include "feedback/TFSB_BOX.h"

#include "feedback/ScreenLayout.h"
#include "feedback/TInputListDelegate.h"
#include "feedback/TSBHTM.h"
#include "feedback/WindowPreparation.h"
#include "platform/ui/Align.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Keys.h"
#include "widgets/ButtonGlyphs.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatPanel.h"
#include "widgets/TPanel.h"

#include <QAbstractItemView>
#include <QBitmap>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include <memory>

// The box's pictures are resources of this static library; nothing refers to them by symbol, so
// they are initialised by name (outside any namespace, as the resource system needs).
static void initMessageBoxResources() {
    Q_INIT_RESOURCE(messagebox);
}

namespace {

const QColor kMagenta(255, 0, 255);

QImage picture(const char *name) {
    initMessageBoxResources();
    return QImage(QStringLiteral(":/TFSB_BOX/") + QLatin1String(name));
}

// A picture whose magenta parts are transparent, as the designed images are drawn.
QLabel *makeImage(QWidget *parent, const char *name) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QPixmap pixmap = QPixmap::fromImage(picture("bubble.bmp"));
    pixmap.setMask(pixmap.createMaskFromColor(kMagenta));
    label->setPixmap(pixmap);
    label->setGeometry(5, 5, 24, 24);
    return label;
}

TPanel *makePanel(QWidget *parent, const char *name, const QRect &bounds, TAlign align,
                  TPanel::TBevelCut bevel) {
    auto *panel = new TPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->SetBevelOuter(bevel);
    panel->setGeometry(bounds);
    if (align != alNone)
        SetAlign(panel, align);
    return panel;
}

TFlatButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                        const QRect &bounds, const char *glyph, int modalResult, bool tabStop) {
    auto *button = new TFlatButton(parent);
    button->setObjectName(QLatin1String(name));
    button->SetCaption(caption);
    button->setGeometry(bounds);
    button->SetLayout(blGlyphLeft);
    // A two-image picture (the help glyph) sets NumGlyphs 2 by itself.
    button->SetGlyph(ButtonGlyphs::load(QLatin1String(glyph)));
    button->SetModalResult(modalResult);
    button->SetTabStop(tabStop);
    return button;
}

TSBHTM *makeLabel(QWidget *parent, const char *name) {
    auto *label = new TSBHTM(parent);
    label->setObjectName(QLatin1String(name));
    SetAlign(label, alTop);
    label->SetAutoSizing(true);
    label->SetAutoSizeType(TSBHTM::asVertical);
    return label;
}

} // namespace

TFSB_BOX::TFSB_BOX(QWidget *owner) : TForm(owner) {
    setObjectName(QStringLiteral("FSB_BOX"));
    SetBorderStyle(bsDialog);
    SetStayOnTop(true);
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetColor(clWhite);
    setFont(Fonts::make(QStringLiteral("Tahoma"), -11));
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Colors::toQColor(clWindowText));
    setPalette(p);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    CreateComponents();
    FormCreate();
}

TFSB_BOX::~TFSB_BOX() = default;

void TFSB_BOX::CreateComponents() {
    const int w = DesignClientWidth;

    // Input panel: the input row on a flat panel, the two buttons at the right below it.
    Pinput = makePanel(this, "Pinput", QRect(0, 0, w, 61), alNone, TPanel::bvRaised);
    Pinput->hide();
    SetAlign(Pinput, alBottom);
    Panel3 = makePanel(Pinput, "Panel3", QRect(w - 185, 0, 185, 61), alNone, TPanel::bvNone);
    FB_ICANCEL = makeButton(Panel3, "FB_ICANCEL", QStringLiteral("Abbrechen"), QRect(7, 30, 82, 25),
                            ButtonGlyphs::Cancel, mrCancel, true);
    FB_IOK = makeButton(Panel3, "FB_IOK", QStringLiteral("Übernehmen"), QRect(92, 30, 89, 25),
                        ButtonGlyphs::Accept, mrOk, true);
    FB_HELPI = makeButton(Pinput, "FB_HELPI", QStringLiteral("Hilfe"), QRect(93, 28, 94, 25),
                          ButtonGlyphs::Help, mrNone, false);
    FlatPanel1 = new TFlatPanel(Pinput);
    FlatPanel1->setObjectName(QStringLiteral("FlatPanel1"));
    FlatPanel1->setGeometry(0, 0, w, 25);
    SetAlign(FlatPanel1, alTop);
    Label1 = new QLabel(QStringLiteral("Eingabe:"), FlatPanel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Fonts::fromPoints(QStringLiteral("Arial"), 8));
    Label1->move(72, 6);
    Label1->adjustSize();
    // The accented capitals of this font rise a pixel above its ascent, which is all the room
    // the label's own size leaves; a pixel more above and below keeps the text where it was.
    Label1->setGeometry(Label1->geometry().adjusted(0, -1, 0, 1));
    FINPE = new QComboBox(FlatPanel1);
    FINPE->setObjectName(QStringLiteral("FINPE"));
    FINPE->setEditable(true);
    FINPE->setFrame(false);
    FINPE->lineEdit()->setPlaceholderText(QStringLiteral("Eingabe"));
    FINPE->setItemDelegate(new TInputListDelegate(FINPE));
    FINPE->setGeometry(116, 2, 289, 21);

    // Question panel: the speech bubble, "Ja" and "Nein" at the right, "Hilfe" between.
    Pquestion = makePanel(this, "Pquestion", QRect(0, 0, w, 35), alNone, TPanel::bvRaised);
    Pquestion->hide();
    SetAlign(Pquestion, alBottom);
    Image2 = makeImage(Pquestion, "Image2");
    Panel1 = makePanel(Pquestion, "Panel1", QRect(w - 173, 0, 173, 35), alRight, TPanel::bvNone);
    FB_OK = makeButton(Panel1, "FB_OK", QStringLiteral("Ja"), QRect(8, 4, 77, 25),
                       ButtonGlyphs::Yes, mrOk, true);
    FB_BREAK1 = makeButton(Panel1, "FB_BREAK1", QStringLiteral("Nein"), QRect(91, 4, 77, 25),
                           ButtonGlyphs::No, mrCancel, true);
    FBhelpQ = makeButton(Pquestion, "FBhelpQ", QStringLiteral("Hilfe"), QRect(93, 4, 94, 25),
                         ButtonGlyphs::Help, mrNone, false);

    // Message panel: the speech bubble, "Schließen" at the right, "Hilfe" between.
    Pmsg = makePanel(this, "Pmsg", QRect(0, 0, w, 35), alNone, TPanel::bvRaised);
    Pmsg->hide();
    SetAlign(Pmsg, alBottom);
    Image1 = makeImage(Pmsg, "Image1");
    Panel2 = makePanel(Pmsg, "Panel2", QRect(w - 89, 0, 89, 35), alRight, TPanel::bvNone);
    FB_BREAK2 = makeButton(Panel2, "FB_BREAK2", QStringLiteral("Schließen"), QRect(7, 4, 77, 25),
                           ButtonGlyphs::Close, mrCancel, true);
    FBhelpS = makeButton(Pmsg, "FBhelpS", QStringLiteral("Hilfe"), QRect(93, 4, 94, 25),
                         ButtonGlyphs::Help, mrNone, false);

    // Help panel: in the window's colour, below the buttons once opened.
    FP_help = new TFlatPanel(this);
    FP_help->setObjectName(QStringLiteral("FP_help"));
    FP_help->setGeometry(0, DesignClientHeight, w, 23);
    FP_help->hide();
    SetAlign(FP_help, alBottom);

    for (TFlatButton *help : {FB_HELPI, FBhelpQ, FBhelpS})
        help->OnClick = [this](QObject *sender) { HelpClick(sender); };
    for (TFlatButton *button : {FB_OK, FB_IOK, FB_BREAK1, FB_ICANCEL, FB_BREAK2}) {
        button->OnKeyDown = [this](QObject *sender, quint16 &key, Qt::KeyboardModifiers shift) {
            ButtonKeyDown(sender, key, shift);
        };
    }
}

int TFSB_BOX::MaxHeightForScreen(int screenHeight) {
    // 70 % in whole numbers, so that halves are recognised exactly.
    const qint64 tenths = qint64(screenHeight) * 7;
    qint64 pixels = tenths / 10;
    const qint64 rest = tenths % 10;
    if (rest > 5 || (rest == 5 && pixels % 2 != 0))
        ++pixels;
    return int(pixels);
}

QString TFSB_BOX::ExpandLineBreaks(const QString &text) {
    QString result = text;
    return result.replace(QLatin1String("#13#10"), QLatin1String("<BR>"));
}

void TFSB_BOX::FormCreate() {
    PrepareWindow(this, true);
    m_linkOpened = false;
    MessageLabel = makeLabel(this, "MessageLabel");
    // Created after the panels, so it would cover them; a text taller than the window is cut
    // by the button panel, which stays at the bottom edge.
    MessageLabel->lower();
    HelpLabel = makeLabel(FP_help, "HelpLabel");
    MessageLabel->OnLinkOpened = [this] { LabelLinkOpened(); };
    HelpLabel->OnLinkOpened = [this] { LabelLinkOpened(); };
    for (TPanel *panel : {Pmsg, Pinput, Pquestion})
        panel->SetColor(clBtnFace);
    const TScreenLayout screens = ScreenLayout::current();
    if (!screens.Monitors.isEmpty())
        setMaximumHeight(MaxHeightForScreen(screens.Monitors.first().height()));
}

void TFSB_BOX::FormShow() {
    SetColor(clWhite);
    MessageLabel->AdjustToText();
    for (TPanel *panel : {Pquestion, Pinput, Pmsg}) {
        if (!panel->isHidden()) {
            panel->move(panel->x(), MessageLabel->height() + 2);
            break;
        }
    }
    SetClientHeight(MessageLabel->height() + (Pinput->isHidden() ? 37 : 70));
    BringToFront();
}

void TFSB_BOX::FormDeactivate() {
    if (!m_linkOpened && isVisible())
        BringToFront();
}

void TFSB_BOX::HelpClick(QObject *Sender) {
    if (m_helpText.isEmpty())
        return;
    HelpLabel->SetText(ExpandLineBreaks(m_helpText));
    FP_help->resize(FP_help->width(), HelpLabel->height() + 5);
    SetClientHeight(ClientHeight() + FP_help->height());
    if (auto *button = qobject_cast<TFlatButton *>(Sender))
        button->SetEnabled(false);
    // Below everything, so that the bottom edge alignment puts it under the button panel.
    FP_help->move(0, ClientHeight());
    FP_help->show();
}

void TFSB_BOX::ButtonKeyDown(QObject *Sender, quint16 &Key, Qt::KeyboardModifiers) {
    if (Key != VK_RETURN)
        return;
    if (Sender == FB_OK || Sender == FB_IOK || Sender == FB_BREAK2)
        SetModalResult(mrOk);
    else if (Sender == FB_BREAK1 || Sender == FB_ICANCEL)
        SetModalResult(mrCancel);
}

void TFSB_BOX::LabelLinkOpened() {
    m_linkOpened = true;
    SetModalResult(mrCancel);
}

bool TFSB_BOX::MessageMode() const {
    return Pinput->isHidden() && Pquestion->isHidden();
}

bool TFSB_BOX::InputListOpen() const {
    return FINPE->view() && FINPE->view()->isVisible();
}

void TFSB_BOX::KeyDown(quint16 &key, Qt::KeyboardModifiers shift) {
    if (key == VK_F1) {
        key = 0;
        return;
    }
    // A modifier key on its own counts as held.
    if (key == VK_SHIFT)
        shift |= Qt::ShiftModifier;
    else if (key == VK_CONTROL)
        shift |= Qt::ControlModifier;
    else if (key == VK_MENU)
        shift |= Qt::AltModifier;
    if (MessageMode() && !(shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        SetModalResult(mrCancel);
        key = 0;
        return;
    }
    switch (key) {
    case VK_RETURN:
        SetModalResult(mrOk);
        key = 0;
        break;
    case VK_ESCAPE:
        if (!Pinput->isHidden() && FB_ICANCEL->isHidden()) {
            SetModalResult(mrOk);
            key = 0;
        } else if (!InputListOpen()) {
            SetModalResult(mrCancel);
            key = 0;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        QWidget *focus = focusWidget();
        QWidget *next = nullptr;
        if (focus == FB_OK)
            next = FB_BREAK1;
        else if (focus == FB_BREAK1)
            next = FB_OK;
        else if (focus == FB_IOK && FB_ICANCEL->isEnabled() && !FB_ICANCEL->isHidden())
            next = FB_ICANCEL;
        else if (focus == FB_ICANCEL)
            next = FB_IOK;
        if (next) {
            next->setFocus(Qt::OtherFocusReason);
            key = 0;
        }
        break;
    }
    default:
        break;
    }
}

void TFSB_BOX::KeyPress(QChar &key) {
    if (key == QChar(27)) {
        if (!InputListOpen())
            key = QChar();
        return;
    }
    // Keys without a virtual key code of their own (umlauts, for one) close a message as the
    // others do.
    const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
    if (MessageMode() && key >= QChar(u' ') &&
        !(held & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        SetModalResult(mrCancel);
        key = QChar();
    }
}

void TFSB_BOX::showEvent(QShowEvent *event) {
    TForm::showEvent(event);
    guarded([&] { FormShow(); });
}

void TFSB_BOX::changeEvent(QEvent *event) {
    TForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        guarded([&] { FormDeactivate(); });
}

namespace {

std::unique_ptr<TFSB_BOX> createBox() {
    auto box = std::make_unique<TFSB_BOX>(nullptr);
    box->SetColor(clWhite);
    PlaceWindow(box.get(), false);
    return box;
}

// Shows the prepared box modally; the box is freed by the caller's owner whatever happens.
int run(TFSB_BOX &box, QWidget *panel, TFlatButton *help, QWidget *focus, const QString &text,
        const QString &helpText, const QString &caption) {
    box.SetHelpText(QString());
    box.FP_help->hide();
    box.MessageLabel->SetText(TFSB_BOX::ExpandLineBreaks(text));
    panel->show();
    box.SetCaption(caption.isEmpty() ? Application::title() : caption);
    help->setVisible(!helpText.isEmpty());
    box.SetHelpText(helpText);
    focus->setFocus(Qt::OtherFocusReason);
    return box.ShowModal();
}

} // namespace

void ShowMessageBox(const QString &text, const QString &help, const QString &caption) {
    auto box = createBox();
    run(*box, box->Pmsg, box->FBhelpS, box->FB_BREAK2, text, help, caption);
}

bool AskYesNo(const QString &text, const QString &help, const QString &caption) {
    auto box = createBox();
    return run(*box, box->Pquestion, box->FBhelpQ, box->FB_OK, text, help, caption) == mrOk;
}
