#include "MarkupFixture.h"

#include "feedback/DocumentShell.h"
#include "feedback/OpenDocument.h"
#include "feedback/TMarkupLabel.h"
#include "feedback/TSBHTM.h"
#include "platform/Paths.h"
#include "platform/ui/Align.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A desktop that records what it is asked to open.
class RecordingShell : public DocumentShell {
public:
    QString association = QStringLiteral("/usr/bin/leser");
    bool startSucceeds = true;
    ShellResult executeResult = ShellResult::Opened;
    QStringList started;  // "program argument"
    QStringList executed; // "verb target"

    QString AssociatedProgram(const QString &) override { return association; }
    bool StartProgram(const QString &program, const QStringList &arguments) override {
        started << program + u' ' + arguments.join(u' ');
        return startSucceeds;
    }
    ShellResult Execute(const QString &verb, const QString &target) override {
        executed << verb + u' ' + target;
        return executeResult;
    }
    bool RightControlDown() override { return false; }
    std::optional<QString> ChooseProgram(const QString &, const QString &) override {
        return std::nullopt;
    }
};

class LabelTest : public MarkupFixture {
protected:
    void SetUp() override {
        MarkupFixture::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(programDir.isValid());
        Paths::overrideProgramPath(programDir.path() + QStringLiteral("/dupcheck"));
        DocumentShell::Replace(&shell);
        TSBHTM::SetBeep([this] { ++beeps; });
        parent.setFont(labelFont());
    }
    void TearDown() override {
        DocumentShell::Replace(nullptr);
        TSBHTM::SetBeep({});
        Paths::overrideProgramPath(QString());
    }
    void show(QWidget &w) {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    // The middle of the first area of a link.
    static QPoint linkPoint(const TMarkupLabelBase &label, int number) {
        for (const MarkupLinkArea &area : label.Measure().links) {
            if (area.number == number)
                return area.rect.center();
        }
        ADD_FAILURE() << "no link " << number;
        return {};
    }

    QTemporaryDir programDir;
    RecordingShell shell;
    int beeps = 0;
    QWidget parent;
};

TEST_F(LabelTest, AutosizingLabelWithEmptyTextIsOneLineAndSixHigh) {
    TSBHTM message(&parent);
    message.SetAutoSizing(true);
    EXPECT_EQ(message.height(), gh() + 6);
    TMarkupLabel status(&parent);
    status.SetAutoSizing(true);
    EXPECT_EQ(status.height(), gh() + 6);
}

TEST_F(LabelTest, HeightFollowsTheTextAsSoonAsItIsSet) {
    TSBHTM label(&parent);
    label.resize(300, 10);
    label.SetAutoSizing(true);
    label.SetAutoSizeType(TSBHTM::asVertical);
    label.SetText(QStringLiteral("<B>Fehler:</B><BR>zweite Zeile<br>dritte"));
    EXPECT_EQ(label.height(), 3 * gh() + 6);
    EXPECT_EQ(label.width(), 300);
    label.SetText(QString());
    EXPECT_EQ(label.height(), gh() + 6);
    // The lines of HTMLText join without a break between them.
    label.SetHTMLText({QStringLiteral("eins"), QStringLiteral("zwei")});
    EXPECT_EQ(label.height(), gh() + 6);
    EXPECT_EQ(label.Measure().plainText, QStringLiteral("einszwei"));
    // A whole text is split at its line ends, which therefore break no line either.
    label.SetText(QStringLiteral("eins\r\nzwei\ndrei"));
    EXPECT_EQ(label.HTMLText(), (QStringList{QStringLiteral("eins"), QStringLiteral("zwei"),
                                             QStringLiteral("drei")}));
    EXPECT_EQ(label.height(), gh() + 6);
}

TEST_F(LabelTest, MessageLabelAlignedToTheTopWrapsAtTheWindowWidth) {
    parent.resize(406, 300);
    auto *label = new TSBHTM(&parent);
    SetAlign(label, alTop);
    label->SetAutoSizing(true);
    label->SetAutoSizeType(TSBHTM::asVertical);
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("Wort ");
    label->SetText(words);
    EXPECT_EQ(label->width(), 406);
    const MarkupLayout layout = label->Measure();
    EXPECT_GT(layout.lines.size(), 1);
    EXPECT_EQ(label->height(), int(layout.lines.size()) * gh() + 6);
    for (const MarkupLine &line : layout.lines)
        EXPECT_LT(line.width, 406);
}

TEST_F(LabelTest, StatusLineAlignedToTheBottomSizesOnlyItsHeight) {
    parent.resize(548, 397);
    auto *status = new TMarkupLabel(&parent);
    SetAlign(status, alBottom);
    status->SetBorderWidth(6);
    status->SetAutoSizing(true);
    status->SetAutoSizeType(TMarkupLabel::asBoth);
    status->SetText(QStringLiteral("<B>Es existieren mindestens 12<BR>doppelte Bestellnummern."));
    EXPECT_EQ(status->width(), 548);
    EXPECT_EQ(status->height(), 2 * gh() + 6);
    EXPECT_EQ(status->geometry().bottom(), 396);
    EXPECT_EQ(status->TextRect().left(), 6);

    QString words;
    for (int i = 0; i < 60; ++i)
        words += QStringLiteral("Wort ");
    status->SetText(words);
    EXPECT_EQ(status->width(), 548); // the text wraps instead
    EXPECT_GT(status->height(), 2 * gh() + 6);
}

TEST_F(LabelTest, HorizontalAutosizingTakesTheWidestLine) {
    TMarkupLabel label(&parent);
    label.SetAutoSizeType(TMarkupLabel::asHorizontal);
    label.SetAutoSizing(true);
    label.SetText(QStringLiteral("kurz<BR>eine lange Zeile ohne Umbruch"));
    EXPECT_EQ(label.width(), lineWidth(QStringLiteral("eine lange Zeile ohne Umbruch")) + 6);
}

TEST_F(LabelTest, FontChangeResizesAnAutosizingLabel) {
    TSBHTM label(&parent);
    label.SetAutoSizing(true);
    label.SetText(QStringLiteral("Text"));
    label.setFont(Fonts::make("Tahoma", -20));
    EXPECT_EQ(label.height(), TextMetrics::lineHeight(Fonts::make("Tahoma", -20)) + 6);
}

TEST_F(LabelTest, NothingCarriesOverFromOneTextToTheNext) {
    parent.resize(200, 100);
    TMarkupLabel reused(&parent);
    TMarkupLabel fresh(&parent);
    for (TMarkupLabel *l : {&reused, &fresh})
        l->resize(200, 40);
    reused.SetText(QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
    reused.SetText(QStringLiteral("Text <FONT COLOR=\"clRed\">rot"));
    reused.SetText(QStringLiteral("Normal"));
    fresh.SetText(QStringLiteral("Normal"));
    EXPECT_EQ(reused.grab().toImage(), fresh.grab().toImage());
}

TEST_F(LabelTest, BevelsAndBordersInsetTheTextArea) {
    TMarkupLabel label(&parent);
    label.resize(100, 50);
    label.SetBevelOuter(TMarkupLabel::bvLowered);
    label.SetBevelWidth(2);
    label.SetBorderWidth(3);
    // Outer bevel 2, border 3, and the bevel width once more as any bevel is set.
    EXPECT_EQ(label.TextRect(), QRect(7, 7, 86, 36));
    label.SetBorderStyle(TMarkupLabel::bsSingle);
    EXPECT_EQ(label.TextRect(), QRect(10, 10, 80, 30));

    label.SetBorderStyle(TMarkupLabel::bsNone);
    label.SetColor(clWhite);
    const QImage image = label.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), Colors::toQColor(clBtnShadow));
    EXPECT_EQ(image.pixelColor(99, 49), Colors::toQColor(clBtnHighlight));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::white));
}

TEST_F(LabelTest, SingleBorderIsABlackFrame) {
    TMarkupLabel label(&parent);
    label.resize(60, 30);
    label.SetColor(clWhite);
    label.SetBorderWidth(2);
    label.SetBorderStyle(TMarkupLabel::bsSingle);
    const QImage image = label.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 15), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));
}

TEST_F(LabelTest, VerticalAlignmentMovesTheTextDown) {
    TMarkupLabel label(&parent);
    label.resize(100, 60);
    label.SetText(QStringLiteral("x"));
    EXPECT_EQ(label.TextRect().top(), 0);
    label.SetVAlignment(TMarkupLabel::tvaCenter);
    EXPECT_EQ(label.TextRect().top(), (60 - gh()) / 2);
    label.SetVAlignment(TMarkupLabel::tvaBottom);
    EXPECT_EQ(label.TextRect().top(), 60 - gh());
}

TEST_F(LabelTest, LabelTakesItsParentsColourUntilItGetsItsOwn) {
    parent.setProperty("Color", int(clYellow));
    TSBHTM label(&parent);
    EXPECT_EQ(label.EffectiveColor(), clYellow);
    label.SetColor(clWhite);
    EXPECT_EQ(label.EffectiveColor(), clWhite);
}

TEST_F(LabelTest, MouseOverALinkShowsTheHandAndFiresEnterAndExit) {
    parent.resize(300, 100);
    auto *label = new TMarkupLabel(&parent);
    label->setGeometry(0, 0, 300, 50);
    label->SetText(QStringLiteral("Mehr <A href=\"intern\">dazu</A> hier"));
    QStringList events;
    label->OnAnchorEnter = [&](QObject *sender, const QString &a) {
        EXPECT_EQ(sender, label);
        events << QStringLiteral("enter ") + a;
    };
    label->OnAnchorExit = [&](QObject *, const QString &a) {
        events << QStringLiteral("exit ") + a;
    };
    show(parent);

    QTest::mouseMove(label, linkPoint(*label, 1));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(label->LinkUnderMouse(), 1);
    QTest::mouseMove(label, QPoint(3, 5)); // on "Mehr"
    EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(label->LinkUnderMouse(), 0);
    EXPECT_EQ(events, (QStringList{QStringLiteral("enter intern"), QStringLiteral("exit intern")}));
}

TEST_F(LabelTest, ClickOnAnInternalLinkFiresAnchorClickAndAnAddressGoesToTheDesktop) {
    parent.resize(400, 100);
    auto *label = new TMarkupLabel(&parent);
    label->setGeometry(0, 0, 400, 50);
    label->SetText(QStringLiteral("<A href=\"Artikel 17\">intern</A> und "
                                  "<A href=\"https://example.org/Hilfe\">extern</A>"));
    QStringList clicked;
    label->OnAnchorClick = [&](QObject *, const QString &a) { clicked << a; };
    show(parent);

    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 1));
    EXPECT_EQ(clicked, QStringList{QStringLiteral("Artikel 17")});
    EXPECT_TRUE(shell.executed.isEmpty());

    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 2));
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(shell.executed, QStringList{QStringLiteral("open https://example.org/Hilfe")});

    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(390, 45)); // beside the links
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(shell.executed.size(), 1);
}

TEST_F(LabelTest, MessageLabelOpensFileLinksAndTellsItsOwner) {
    parent.resize(400, 100);
    auto *label = new TSBHTM(&parent);
    label->setGeometry(0, 0, 400, 50);
    label->SetText(QStringLiteral("Siehe <A href=\"FILE:///daten/Handbuch.pdf\">Handbuch</A>"
                                  " oder <A href=\"Kapitel2\">Kapitel 2</A>"));
    int opened = 0;
    label->OnLinkOpened = [&] { ++opened; };
    show(parent);

    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 1));
    EXPECT_EQ(shell.started, QStringList{QStringLiteral("/usr/bin/leser /daten/Handbuch.pdf")});
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(beeps, 0);

    // A target without "://" and without "mailto:" does nothing in the message box.
    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 2));
    EXPECT_EQ(shell.started.size(), 1);
    EXPECT_TRUE(shell.executed.isEmpty());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(beeps, 0);
}

TEST_F(LabelTest, MessageLabelBeepsWhenALinkCannotBeOpened) {
    parent.resize(400, 100);
    auto *label = new TSBHTM(&parent);
    label->setGeometry(0, 0, 400, 50);
    label->SetText(QStringLiteral("<A href=\"file:///fehlt/x.doc\">weg</A> "
                                  "<A href=\"http://example.org\">Netz</A>"));
    int opened = 0;
    label->OnLinkOpened = [&] { ++opened; };
    shell.association.clear();
    show(parent);

    shell.executeResult = DocumentShell::ShellResult::Failed; // file not found
    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 1));
    EXPECT_EQ(shell.executed, QStringList{QStringLiteral("open /fehlt/x.doc")});
    EXPECT_EQ(beeps, 1);
    shell.executeResult = DocumentShell::ShellResult::NoAssociation;
    QTest::mouseClick(label, Qt::LeftButton, {}, linkPoint(*label, 2));
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(opened, 0);
}

TEST_F(LabelTest, HintsShowTheTargetOrTheWholeText) {
    TMarkupLabel label(&parent);
    label.resize(300, 40);
    label.SetText(QStringLiteral("<B>Status:</B> <A href=\"ziel\">Link</A>"));
    const QPoint onLink = linkPoint(label, 1);
    EXPECT_EQ(label.HintAt(onLink), QString());
    label.SetAnchorHint(true);
    EXPECT_EQ(label.HintAt(onLink), QStringLiteral("ziel"));
    label.OnAnchorHint = [](QObject *, QString &anchor) {
        anchor = QStringLiteral("Ziel: ") + anchor;
    };
    EXPECT_EQ(label.HintAt(onLink), QStringLiteral("Ziel: ziel"));
    EXPECT_EQ(label.HintAt(QPoint(2, 2)), QString());
    label.SetHintShowFull(true);
    EXPECT_EQ(label.HintAt(QPoint(2, 2)), QStringLiteral("Status: Link"));
    label.SetHTMLHint(true);
    bool markup = false;
    EXPECT_EQ(label.HintAt(QPoint(2, 2), &markup), label.Text());
    EXPECT_TRUE(markup);
}

TEST_F(LabelTest, LeavingTheLabelForgetsTheLink) {
    parent.resize(300, 100);
    auto *label = new TMarkupLabel(&parent);
    label->setGeometry(0, 0, 300, 50);
    label->SetHover(true);
    label->SetText(QStringLiteral("<A href=\"a\">eins</A>"));
    int exits = 0;
    label->OnAnchorExit = [&](QObject *, const QString &) { ++exits; };
    show(parent);
    QTest::mouseMove(label, linkPoint(*label, 1));
    ASSERT_EQ(label->LinkUnderMouse(), 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    EXPECT_EQ(label->LinkUnderMouse(), 0);
    EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(exits, 1);
}

TEST_F(LabelTest, PropertiesCanBeSetByName) {
    TMarkupLabel label(&parent);
    EXPECT_TRUE(label.setProperty("URLColor", int(clRed)));
    EXPECT_EQ(label.URLColor(), clRed);
    EXPECT_TRUE(label.setProperty("Color", int(clAqua)));
    EXPECT_EQ(label.EffectiveColor(), clAqua);
    EXPECT_TRUE(label.setProperty("BorderWidth", 6));
    EXPECT_EQ(label.BorderWidth(), 6);
    TSBHTM message(&parent);
    EXPECT_TRUE(message.setProperty("AutoSizing", true));
    EXPECT_TRUE(message.AutoSizing());
    EXPECT_STREQ(message.metaObject()->className(), "TSBHTM");
    EXPECT_FALSE(message.inherits("TMarkupLabel"));
}

} // namespace
