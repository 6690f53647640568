// Shows the program's dialogs and widgets for a person to look at:
//   feedback-demo message        a message box
//   feedback-demo question       a question with help text
//   feedback-demo question-help  the same question with its help opened
//   feedback-demo buttons        flat buttons in every state and progress bars
//   feedback-demo cursors        the cursor set, every frame of the animated cursors
//   feedback-demo                all of them, one after the other
// Each window prints "shown <name>" on standard output once it is on the screen, so that a
// script knows when to take its picture.
#include "feedback/Cursors.h"
#include "feedback/ScreenCursor.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/WindowPreparation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Keys.h"
#include "widgets/ButtonGlyphs.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatProgressBar.h"
#include "widgets/TPanel.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>

namespace {

void announce(const char *name) {
    std::printf("shown %s\n", name);
    std::fflush(stdout);
}

// Announces the box that the next call shows, once it is on the screen; with help, opens it.
void announceBox(const char *name, bool openHelp) {
    QTimer::singleShot(300, [name, openHelp] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<TFSB_BOX *>(w);
            if (!box || !box->isVisible())
                continue;
            if (openHelp)
                box->FBhelpQ->Click();
            announce(name);
        }
    });
}

const QString kQuestion =
    QStringLiteral("Es wurden <b>12 doppelte Artikel</b> ohne Buchungen gefunden.#13#10"
                   "Doppelte Artikel <b>jetzt löschen</b>?");
const QString kHelp = QStringLiteral(
    "Gelöscht werden nur Artikel <b>ohne Buchungen</b>; von jeder Bestellnummer bleibt ein "
    "Artikel erhalten.#13#10Mehr dazu: <a href=\"https://example.org/hilfe\">Hilfe im Netz</a>");

void showMessage() {
    announceBox("message", false);
    ShowMessageBox(QStringLiteral("<B>Fehler:</B><BR>Die Tabelle \"ArtikelMain.TBL\" konnte "
                                  "nicht geöffnet werden."));
}

void showQuestion(bool openHelp) {
    announceBox(openHelp ? "question-help" : "question", openHelp);
    const bool yes = AskYesNo(kQuestion, kHelp);
    std::printf("answer %s\n", yes ? "Ja" : "Nein");
    std::fflush(stdout);
}

// A button under a label naming its state.
TFlatButton *demoButton(QWidget *parent, const QString &caption, int x, const char *glyph) {
    auto *b = new TFlatButton(parent);
    b->setObjectName(caption);
    b->SetCaption(QStringLiteral("Prüfen"));
    b->SetLayout(blGlyphLeft);
    b->SetGlyph(ButtonGlyphs::load(QLatin1String(glyph)));
    b->SetTabStop(true);
    b->setGeometry(x, 28, 96, 25);
    auto *label = new QLabel(caption, parent);
    label->setGeometry(x, 8, 96, 16);
    label->setAlignment(Qt::AlignCenter);
    return b;
}

// A window that Escape closes.
class DemoForm : public TForm {
public:
    DemoForm() { SetKeyPreview(true); }

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers) override {
        if (key == VK_ESCAPE) {
            key = 0;
            PostClose();
        }
    }
};

class ButtonsForm : public DemoForm {
public:
    ButtonsForm() {
        setObjectName(QStringLiteral("FButtons"));
        SetCaption(QStringLiteral("Flache Schalter und Fortschrittsbalken"));
        setFont(Fonts::make(QStringLiteral("Tahoma"), -11));
        SetClientSize(730, 150);
        auto *panel = new TPanel(this);
        panel->SetBevelOuter(bvNone);
        panel->setGeometry(0, 0, 730, 150);
        const char *glyph = ButtonGlyphs::Check;
        demoButton(panel, QStringLiteral("oben"), 8, glyph);
        highlighted = demoButton(panel, QStringLiteral("hervorgehoben"), 110, glyph);
        pressed = demoButton(panel, QStringLiteral("gedrückt"), 212, glyph);
        auto *latched = demoButton(panel, QStringLiteral("eingerastet"), 314, glyph);
        latched->SetGroupIndex(1);
        latched->SetDown(true);
        demoButton(panel, QStringLiteral("gesperrt"), 416, glyph)->SetEnabled(false);
        demoButton(panel, QStringLiteral("Standard"), 518, glyph)->SetDefault(true);
        // A rounded button draws no border; its own colour shows its shape.
        auto *round = demoButton(panel, QStringLiteral("rund"), 620, glyph);
        round->SetRound(10);
        round->SetColor(rgbColor(200, 215, 235));

        auto *bar = new TFlatProgressBar(panel);
        bar->setGeometry(8, 72, 417, 25);
        bar->SetMax(92);
        bar->SetPosition(40);
        auto *smooth = new TFlatProgressBar(panel);
        smooth->setGeometry(8, 108, 417, 25);
        smooth->SetSmooth(true);
        smooth->SetPosition(65);
        auto *caption = new QLabel(QStringLiteral("40 von 92 in Blöcken, 65 % glatt"), panel);
        caption->setGeometry(440, 76, 280, 16);
    }

    // The pressed state lasts while the mouse button is held: a press without a release. The
    // highlighted one has the focus, which highlights a flat button as the mouse does.
    void arrangeStates() {
        const QPointF inside(10, 10);
        QMouseEvent press(QEvent::MouseButtonPress, inside, pressed->mapToGlobal(inside),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pressed, &press);
        highlighted->setFocus(Qt::OtherFocusReason);
    }

    TFlatButton *highlighted = nullptr;
    TFlatButton *pressed = nullptr;
};

void showButtons() {
    ButtonsForm form;
    PrepareWindow(&form, true);
    QTimer::singleShot(300, &form, [&form] {
        form.arrangeStates();
        QTimer::singleShot(100, [] { announce("buttons"); });
    });
    form.ShowModal();
}

class CursorsForm : public DemoForm {
public:
    CursorsForm() {
        setObjectName(QStringLiteral("FCursors"));
        SetCaption(QStringLiteral("Mauszeiger"));
        setFont(Fonts::make(QStringLiteral("Tahoma"), -11));
        SetColor(rgbColor(160, 190, 160));
        auto *grid = new QGridLayout(this);
        const struct {
            int number;
            const char *name;
        } cursors[] = {{crXHand, "X_HAND"},
                       {crXMagnify, "X_MAGNIFY"},
                       {crXMove, "X_MOVE"},
                       {crPrintAnimated, "CRCURSOR_PRINT"},
                       {crWaitAnimated, "CRCURSOR_WAIT"},
                       {crPdfAnimated, "CRCURSOR_PDF"}};
        int row = 0;
        for (const auto &c : cursors) {
            grid->addWidget(
                new QLabel(QStringLiteral("%1 %2").arg(c.number).arg(QLatin1String(c.name))), row,
                0);
            // The frames as the screen-wide cursor shows them, one after the other.
            ScreenCursor::set(c.number);
            const int steps = ScreenCursor::frameCount(c.number) > 1 ? 8 : 1;
            for (int i = 0; i < steps; ++i) {
                auto *image = new QLabel;
                image->setPixmap(QGuiApplication::overrideCursor()->pixmap());
                image->setToolTip(QString::number(ScreenCursor::currentStep()));
                grid->addWidget(image, row, i + 1);
                ScreenCursor::advanceAnimation();
            }
            ++row;
        }
        ResetCursor();
    }
};

void showCursors() {
    CursorsForm form;
    PrepareWindow(&form, true);
    QTimer::singleShot(300, [] { announce("cursors"); });
    form.ShowModal();
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("message")) {
        showMessage();
    } else if (mode == QLatin1String("question")) {
        showQuestion(false);
    } else if (mode == QLatin1String("question-help")) {
        showQuestion(true);
    } else if (mode == QLatin1String("buttons")) {
        showButtons();
    } else if (mode == QLatin1String("cursors")) {
        showCursors();
    } else if (mode.isEmpty()) {
        showMessage();
        showQuestion(false);
        showButtons();
        showCursors();
    } else {
        std::fprintf(stderr, "Unbekannte Ansicht: %s\n", argv[1]);
        return 2;
    }
    return 0;
}
