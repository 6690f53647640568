// A window with the widget set, for looking at it and for driving it with xdotool on a real X
// server. Every event it sees is printed on one line of standard output:
//   click <name> | keydown <name> <code> | focus <name> | alpha <name> <code> | up <name> |
//   dblclick <name> | position <n> paints <n>
// "Lauf" advances the progress bar over 200000 records with the message loop run once per
// record; "Schliessen" and Escape close the window.
#include "platform/ui/Fonts.h"
#include "platform/ui/TCustomForm.h"
#include "widgets/ButtonGlyphs.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatHint.h"
#include "widgets/TFlatProgressBar.h"
#include "widgets/TPanel.h"

#include <QApplication>
#include <QPaintEvent>

#include <cstdio>

namespace {

void say(const QString &line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class CountingBar : public TFlatProgressBar {
public:
    using TFlatProgressBar::TFlatProgressBar;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *e) override {
        ++paints;
        TFlatProgressBar::paintEvent(e);
    }
};

class DemoForm : public TForm {
public:
    DemoForm() {
        setObjectName(QStringLiteral("DemoForm"));
        SetCaption(QStringLiteral("Widgets"));
        SetKeyPreview(true);
        setFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
        resize(548, 160);
        auto *top = new TPanel(this);
        top->setObjectName(QStringLiteral("Panel3"));
        top->SetBevelOuter(bvNone);
        top->setGeometry(0, 0, 548, 61);
        const struct {
            const char *name, *caption, *glyph;
            int left, width;
        } defs[] = {{"FlatButton4", "&Überprüfen", ButtonGlyphs::Check, 8, 93},
                    {"FlatButton2", "Bestelllnummer ä&ndern", ButtonGlyphs::Edit, 108, 165},
                    {"FlatButton3", "Alle doppelten &löschen", ButtonGlyphs::Delete, 280, 165},
                    {"FlatButton5", "&Lauf", ButtonGlyphs::Yes, 452, 80}};
        for (const auto &d : defs) {
            auto *b = new TFlatButton(top);
            b->setObjectName(QString::fromLatin1(d.name));
            b->SetCaption(QString::fromUtf8(d.caption));
            b->SetGlyph(ButtonGlyphs::load(QString::fromLatin1(d.glyph)));
            b->SetLayout(blGlyphLeft);
            b->setGeometry(d.left, 12, d.width, 37);
            b->SetTabStop(true);
            b->SetHint(QStringLiteral("Hinweis zu ") + b->Caption().remove(u'&'));
            wire(b);
        }
        auto *bottom = new TPanel(this);
        bottom->SetBevelOuter(bvNone);
        bottom->setGeometry(0, 119, 548, 41);
        bar = new CountingBar(bottom);
        bar->setObjectName(QStringLiteral("PG"));
        bar->setGeometry(8, 8, 417, 25);
        auto *close = new TFlatButton(bottom);
        close->setObjectName(QStringLiteral("FlatButton1"));
        close->SetCaption(QStringLiteral("Schliessen"));
        close->SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Close7));
        close->SetLayout(blGlyphLeft);
        close->setGeometry(443, 8, 89, 29);
        close->SetTabStop(true);
        wire(close);
        close->OnClick = [this](QObject *) {
            say(QStringLiteral("click FlatButton1"));
            PostClose();
        };
        findChild<TFlatButton *>(QStringLiteral("FlatButton5"))->OnClick = [this](QObject *) {
            say(QStringLiteral("click FlatButton5"));
            run();
        };
        auto *hint = new TFlatHint(this);
        hint->SetColorBorder(16744576);
        hint->SetColorArrowBackground(16744576);
        hint->SetColorArrow(clWhite);
        hint->SetMaxHintWidth(600);
    }

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers) override {
        say(QStringLiteral("preview %1").arg(key));
        if (key == 27)
            PostClose();
    }

private:
    void wire(TFlatButton *b) {
        const QString name = b->objectName();
        b->OnClick = [name](QObject *) { say(QStringLiteral("click ") + name); };
        b->OnKeyDown = [name](QObject *, quint16 &key, Qt::KeyboardModifiers) {
            say(QStringLiteral("keydown %1 %2").arg(name).arg(key));
        };
        b->OnAlpha = [name](QObject *, quint16 key) {
            say(QStringLiteral("alpha %1 %2").arg(name).arg(key));
        };
        b->OnUp = [name](QObject *, bool &) { say(QStringLiteral("up ") + name); };
        b->OnDblClick = [name](QObject *) { say(QStringLiteral("dblclick ") + name); };
    }
    void run() {
        const int records = 200000;
        bar->SetMax(records);
        bar->SetPosition(0);
        QCoreApplication::processEvents();
        bar->paints = 0;
        for (int i = 1; i <= records; ++i) {
            bar->SetPosition(i);
            QCoreApplication::processEvents();
        }
        say(QStringLiteral("position %1 paints %2").arg(bar->Position()).arg(bar->paints));
    }

    CountingBar *bar = nullptr;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    Fonts::setup();
    DemoForm form;
    QObject::connect(&app, &QApplication::focusChanged, [](QWidget *, QWidget *now) {
        if (now)
            say(QStringLiteral("focus ") + now->objectName());
    });
    form.show();
    return app.exec();
}
