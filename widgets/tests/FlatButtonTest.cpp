#include "widgets/TFlatButton.h"

#include "platform/ui/Keys.h"
#include "widgets/AdvColors.h"
#include "widgets/TPanel.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A window that records what its key preview sees.
class PreviewForm : public TForm {
public:
    QList<quint16> previewed;

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers) override { previewed << key; }
};

// A window with a row of buttons in a panel, as the program's windows hold them.
class FlatButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new PreviewForm;
        form->SetKeyPreview(true);
        form->resize(400, 200);
        panel = new TPanel(form);
        panel->setGeometry(0, 0, 400, 100);
        for (int i = 0; i < 4; ++i) {
            auto *b = new TFlatButton(panel);
            b->setObjectName(QStringLiteral("FlatButton%1").arg(i + 1));
            b->SetCaption(QStringLiteral("B%1").arg(i + 1));
            b->setGeometry(10 + 90 * i, 10, 80, 30);
            b->SetTabStop(true);
            b->OnClick = [this, b](QObject *sender) {
                EXPECT_EQ(sender, b);
                clicks << b->objectName();
            };
            buttons << b;
        }
        form->show();
        QApplication::setActiveWindow(form);
        QCoreApplication::processEvents();
    }
    void TearDown() override { delete form; }

    TFlatButton *button(int i) const { return buttons[i]; }
    void focus(TFlatButton *b) {
        b->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), b);
    }

    PreviewForm *form = nullptr;
    TPanel *panel = nullptr;
    QList<TFlatButton *> buttons;
    QStringList clicks;
};

// ---- the click gate ------------------------------------------------------------------------

enum class Press { Mouse, Space, Accelerator, ClickCall };

struct GateCase {
    Press press;
    bool allow;
};

void PrintTo(const GateCase &c, std::ostream *os) {
    const char *names[] = {"Mouse", "Space", "Accelerator", "ClickCall"};
    *os << names[int(c.press)] << (c.allow ? " allowed" : " refused");
}

class ClickGate : public FlatButtonTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(ClickGate, DecidesOverEveryKindOfPress) {
    TFlatButton *b = button(1);
    b->SetCaption(QStringLiteral("&Go"));
    int asked = 0;
    b->OnBeforeClick = [&](QObject *sender, bool &clicked) {
        EXPECT_EQ(sender, b);
        EXPECT_TRUE(clicked) << "the gate is asked with the answer preset to allowed";
        ++asked;
        clicked = GetParam().allow;
    };
    switch (GetParam().press) {
    case Press::Mouse:
        QTest::mouseClick(b, Qt::LeftButton);
        break;
    case Press::Space:
        focus(b);
        QTest::keyClick(b, Qt::Key_Space);
        break;
    case Press::Accelerator:
        focus(button(0));
        QTest::keyClick(button(0), Qt::Key_G, Qt::AltModifier);
        break;
    case Press::ClickCall:
        b->Click();
        break;
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(clicks,
              GetParam().allow ? QStringList{QStringLiteral("FlatButton2")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    AllPresses, ClickGate,
    ::testing::Values(GateCase{Press::Mouse, false}, GateCase{Press::Space, false},
                      GateCase{Press::Accelerator, false}, GateCase{Press::ClickCall, false},
                      GateCase{Press::Mouse, true}, GateCase{Press::Space, true},
                      GateCase{Press::Accelerator, true}, GateCase{Press::ClickCall, true}));

TEST_F(FlatButtonTest, DisabledOrInvisibleButtonIgnoresClickWithoutAskingTheGate) {
    TFlatButton *b = button(0);
    int asked = 0;
    b->OnBeforeClick = [&](QObject *, bool &) { ++asked; };
    b->setEnabled(false);
    b->Click();
    b->setEnabled(true);
    b->setVisible(false);
    b->Click();
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(clicks.isEmpty());
    // Hidden only because its panel is hidden: the button itself is visible and clicks.
    b->setVisible(true);
    panel->hide();
    b->Click();
    EXPECT_EQ(clicks, QStringList{QStringLiteral("FlatButton1")});
}

TEST_F(FlatButtonTest, ClickHandsTheModalResultToTheWindow) {
    TFlatButton *b = button(2);
    b->SetModalResult(mrOk);
    form->hide();
    QTimer::singleShot(0, b, [b] { b->Click(); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(clicks, QStringList{QStringLiteral("FlatButton3")});
}

// ---- the mouse -----------------------------------------------------------------------------

TEST_F(FlatButtonTest, PressMoveOutReleaseGivesNoClick) {
    TFlatButton *b = button(0);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b->State(), TFlatButton::bsDown);
    EXPECT_TRUE(b->MousePressed());
    EXPECT_EQ(QApplication::focusWidget(), b) << "a pressed button takes the focus";
    QTest::mouseMove(b, QPoint(120, 10));
    EXPECT_EQ(b->State(), TFlatButton::bsUp);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(120, 10));
    EXPECT_FALSE(b->MousePressed());
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(FlatButtonTest, MovingBackInBeforeReleasingClicks) {
    TFlatButton *b = button(0);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(b, QPoint(10, -20));
    EXPECT_EQ(b->State(), TFlatButton::bsUp);
    QTest::mouseMove(b, QPoint(40, 15));
    EXPECT_EQ(b->State(), TFlatButton::bsDown);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(b->State(), TFlatButton::bsUp);
    EXPECT_EQ(clicks, QStringList{QStringLiteral("FlatButton1")});
}

TEST_F(FlatButtonTest, RightButtonDoesNotPress) {
    QTest::mouseClick(button(0), Qt::RightButton);
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_EQ(button(0)->State(), TFlatButton::bsUp);
}

TEST_F(FlatButtonTest, MouseOverHighlightsAndLeavingClearsIt) {
    TFlatButton *b = button(1);
    int entered = 0, left = 0;
    b->OnMouseEnter = [&](QObject *) { ++entered; };
    b->OnMouseLeave = [&](QObject *) { ++left; };
    QTest::mouseMove(b, QPoint(20, 10));
    EXPECT_TRUE(b->Highlighted());
    EXPECT_EQ(entered, 1);
    QTest::mouseMove(panel, QPoint(395, 95));
    EXPECT_FALSE(b->Highlighted());
    EXPECT_EQ(left, 1);
}

TEST_F(FlatButtonTest, FocusHighlightsUntilItLeaves) {
    TFlatButton *b = button(1);
    focus(b);
    EXPECT_TRUE(b->Highlighted());
    focus(button(2));
    EXPECT_FALSE(b->Highlighted());
    EXPECT_TRUE(button(2)->Highlighted());
}

TEST_F(FlatButtonTest, DoubleClickOnLatchedButtonRaisesOnDblClick) {
    TFlatButton *b = button(0);
    int doubles = 0;
    b->OnDblClick = [&](QObject *) { ++doubles; };
    QTest::mouseDClick(b, Qt::LeftButton);
    EXPECT_EQ(doubles, 0) << "only a latched button reports double clicks";
    QTest::mouseRelease(b, Qt::LeftButton);
    b->SetGroupIndex(1);
    b->SetDown(true);
    QTest::mouseDClick(b, Qt::LeftButton);
    EXPECT_EQ(doubles, 1);
}

// ---- keys ----------------------------------------------------------------------------------

TEST_F(FlatButtonTest, EnterMovesTheFocusForwardAndNeverClicks) {
    TFlatButton *b = button(1);
    QList<quint16> keyDowns;
    b->OnKeyDown = [&](QObject *sender, quint16 &key, Qt::KeyboardModifiers) {
        EXPECT_EQ(sender, b);
        keyDowns << key;
        EXPECT_EQ(QApplication::focusWidget(), button(2)) << "the focus moved before";
    };
    focus(b);
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button(2));
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_EQ(keyDowns, QList<quint16>{VK_RETURN});
    EXPECT_FALSE(form->previewed.contains(VK_RETURN)) << "the window never sees Enter";
}

TEST_F(FlatButtonTest, ShiftEnterMovesBackwardAndTheSearchWraps) {
    focus(button(1));
    QTest::keyClick(button(1), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), button(0));
    QTest::keyClick(button(0), Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), button(3)) << "backward from the first wraps";
    QTest::keyClick(button(3), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button(0)) << "forward from the last wraps";
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(FlatButtonTest, EnterSkipsWhatIsNoTabStopOrCannotTakeTheFocus) {
    button(1)->SetTabStop(false);
    button(2)->setEnabled(false);
    focus(button(0));
    QTest::keyClick(button(0), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button(3));
    button(0)->hide();
    QTest::keyClick(button(3), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), button(3)) << "no other tab stop: focus stays";
}

TEST_F(FlatButtonTest, OnSelectNextMayRedirectOrRefuseTheMove) {
    TFlatButton *b = button(0);
    QList<QWidget *> sources, dests;
    bool accept = true;
    b->OnSelectNext = [&](QWidget *&source, QWidget *&dest, quint16 code, bool &acc) {
        EXPECT_EQ(code, VK_RETURN);
        sources << source;
        dests << dest;
        dest = button(3);
        acc = accept;
    };
    focus(b);
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(sources, QList<QWidget *>{b});
    EXPECT_EQ(dests, QList<QWidget *>{button(1)});
    EXPECT_EQ(QApplication::focusWidget(), button(3));
    accept = false;
    focus(b);
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), b);
}

TEST_F(FlatButtonTest, OtherKeysAskOnSelectNextWithoutControls) {
    TFlatButton *b = button(0);
    QList<quint16> codes;
    b->OnSelectNext = [&](QWidget *&source, QWidget *&dest, quint16 code, bool &) {
        EXPECT_EQ(source, nullptr);
        EXPECT_EQ(dest, nullptr);
        codes << code;
        if (code == quint16('X'))
            dest = button(2);
    };
    focus(b);
    QTest::keyClick(b, Qt::Key_A);
    QTest::keyClick(b, Qt::Key_Escape);
    EXPECT_EQ(codes, QList<quint16>{quint16('A')}) << "Escape goes straight on";
    QTest::keyClick(b, Qt::Key_X);
    EXPECT_EQ(QApplication::focusWidget(), button(2));
}

TEST_F(FlatButtonTest, BackspaceMovesBackwardAndGoesOnAsAKey) {
    TFlatButton *b = button(2);
    QList<quint16> keyDowns;
    b->OnKeyDown = [&](QObject *, quint16 &key, Qt::KeyboardModifiers) { keyDowns << key; };
    focus(b);
    QTest::keyClick(b, Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), button(1));
    EXPECT_EQ(keyDowns, QList<quint16>{VK_BACK});
    EXPECT_TRUE(form->previewed.contains(VK_BACK));
}

TEST_F(FlatButtonTest, SpacePressesWhileDownAndClicksOnRelease) {
    TFlatButton *b = button(0);
    focus(b);
    QTest::keyPress(b, Qt::Key_Space);
    EXPECT_EQ(b->State(), TFlatButton::bsDown);
    EXPECT_TRUE(clicks.isEmpty());
    QTest::keyRelease(b, Qt::Key_Space);
    EXPECT_EQ(b->State(), TFlatButton::bsUp);
    EXPECT_EQ(clicks, QStringList{QStringLiteral("FlatButton1")});
}

TEST_F(FlatButtonTest, UpArrowCallsOnUpOnly) {
    TFlatButton *withUp = button(0);
    TFlatButton *withDown = button(1);
    int ups = 0, downs = 0;
    withUp->OnUp = [&](QObject *sender, bool &accept) {
        EXPECT_EQ(sender, withUp);
        EXPECT_TRUE(accept);
        ++ups;
    };
    withDown->OnDown = [&](QObject *, bool &) { ++downs; };
    focus(withUp);
    QTest::keyClick(withUp, Qt::Key_Up);
    EXPECT_EQ(ups, 1);
    focus(withDown);
    QTest::keyClick(withDown, Qt::Key_Up);
    EXPECT_EQ(downs, 0) << "a button with only OnDown does not react to the up arrow";
    focus(withDown);
    QTest::keyClick(withDown, Qt::Key_Down);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(FlatButtonTest, RefusedArrowIsSwallowedAcceptedOneGoesOn) {
    TFlatButton *b = button(1);
    bool accept = false;
    b->OnDown = [&](QObject *, bool &acc) { acc = accept; };
    QList<quint16> keyDowns;
    b->OnKeyDown = [&](QObject *, quint16 &key, Qt::KeyboardModifiers) { keyDowns << key; };
    focus(b);
    QTest::keyClick(b, Qt::Key_Down);
    EXPECT_TRUE(keyDowns.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), b);
    accept = true;
    QTest::keyClick(b, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), button(2)) << "an accepted arrow navigates";
    EXPECT_TRUE(keyDowns.isEmpty()) << "and is used up by the move";
}

TEST_F(FlatButtonTest, LeftRightHandlerTakesTheArrowsFromNavigation) {
    TFlatButton *b = button(1);
    focus(b);
    QTest::keyClick(b, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), button(0)) << "without a handler arrows navigate";
    QList<bool> rights;
    button(0)->OnLeftRightKeyPressed = [&](QObject *, bool right) { rights << right; };
    QTest::keyClick(button(0), Qt::Key_Right);
    QTest::keyClick(button(0), Qt::Key_Left);
    EXPECT_EQ(rights, (QList<bool>{true, false}));
    EXPECT_EQ(QApplication::focusWidget(), button(0));
}

TEST_F(FlatButtonTest, LettersAndDigitsGoToOnAlpha) {
    TFlatButton *b = button(0);
    QList<quint16> keys;
    b->OnAlpha = [&](QObject *, quint16 key) { keys << key; };
    focus(b);
    QTest::keyClick(b, Qt::Key_K);
    QTest::keyClick(b, Qt::Key_7);
    QTest::keyClick(b, Qt::Key_F2);
    EXPECT_EQ(keys, (QList<quint16>{quint16('K'), quint16('7')}));
}

// ---- groups --------------------------------------------------------------------------------

TEST_F(FlatButtonTest, GroupKeepsOneButtonLatched) {
    for (int i = 0; i < 3; ++i)
        button(i)->SetGroupIndex(1);
    QTest::mouseClick(button(0), Qt::LeftButton);
    EXPECT_TRUE(button(0)->Down());
    EXPECT_EQ(button(0)->State(), TFlatButton::bsExclusive);
    QTest::mouseClick(button(1), Qt::LeftButton);
    EXPECT_TRUE(button(1)->Down());
    EXPECT_FALSE(button(0)->Down());
    EXPECT_EQ(button(0)->State(), TFlatButton::bsUp);
    // Without AllowAllUp the latched button cannot be raised, not even by clicking it.
    QTest::mouseClick(button(1), Qt::LeftButton);
    EXPECT_TRUE(button(1)->Down());
    button(1)->SetDown(false);
    EXPECT_TRUE(button(1)->Down());
    EXPECT_EQ(clicks.size(), 3);
    EXPECT_FALSE(button(3)->Down()) << "a button of another group stays alone";
}

TEST_F(FlatButtonTest, AllowAllUpIsSharedByTheGroup) {
    for (int i = 0; i < 3; ++i)
        button(i)->SetGroupIndex(2);
    button(0)->SetAllowAllUp(true);
    EXPECT_TRUE(button(1)->AllowAllUp());
    EXPECT_TRUE(button(2)->AllowAllUp());
    EXPECT_FALSE(button(3)->AllowAllUp());
    button(2)->SetDown(true);
    QTest::mouseClick(button(2), Qt::LeftButton);
    EXPECT_FALSE(button(2)->Down()) << "with AllowAllUp a click raises the latched button";
}

TEST_F(FlatButtonTest, GroupButtonReleasedOutsideStaysAsItWas) {
    button(0)->SetGroupIndex(5);
    button(1)->SetGroupIndex(5);
    button(1)->SetDown(true);
    for (TFlatButton *b : {button(0), button(1)}) {
        const bool wasDown = b->Down();
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(10, 60)); // no move in between
        EXPECT_EQ(b->Down(), wasDown) << b->objectName().toStdString();
        EXPECT_EQ(b->State(), wasDown ? TFlatButton::bsExclusive : TFlatButton::bsUp);
    }
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(FlatButtonTest, DownNeedsAGroup) {
    button(0)->SetDown(true);
    EXPECT_FALSE(button(0)->Down());
    EXPECT_EQ(button(0)->State(), TFlatButton::bsUp);
}

TEST_F(FlatButtonTest, SpaceAndAcceleratorLatchGroupButtons) {
    button(0)->SetGroupIndex(3);
    button(1)->SetGroupIndex(3);
    focus(button(0));
    QTest::keyClick(button(0), Qt::Key_Space);
    EXPECT_TRUE(button(0)->Down());
    button(1)->SetCaption(QStringLiteral("&Zwei"));
    QTest::keyClick(button(0), Qt::Key_Z, Qt::AltModifier);
    EXPECT_TRUE(button(1)->Down());
    EXPECT_FALSE(button(0)->Down());
    EXPECT_EQ(clicks, (QStringList{QStringLiteral("FlatButton1"), QStringLiteral("FlatButton2")}));
}

TEST_F(FlatButtonTest, DisablingShowsDisabledAndEnablingRestoresTheLatch) {
    TFlatButton *b = button(0);
    b->SetGroupIndex(4);
    b->SetDown(true);
    focus(b);
    b->setEnabled(false);
    EXPECT_EQ(b->State(), TFlatButton::bsDisabled);
    EXPECT_FALSE(b->Highlighted());
    b->setEnabled(true);
    EXPECT_EQ(b->State(), TFlatButton::bsExclusive);
    button(1)->setEnabled(false);
    button(1)->setEnabled(true);
    EXPECT_EQ(button(1)->State(), TFlatButton::bsUp);
}

// ---- properties ----------------------------------------------------------------------------

struct RoundCase {
    int set, expected;
};

class RoundClamp : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundClamp, StaysBetweenZeroAndHundred) {
    TFlatButton b;
    b.resize(60, 30);
    b.setProperty("Round", GetParam().set);
    EXPECT_EQ(b.Round(), GetParam().expected);
    // Above 0 the control is clipped to its rounded outline.
    EXPECT_EQ(!b.mask().isEmpty(), GetParam().expected > 0);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundClamp,
                         ::testing::Values(RoundCase{150, 100}, RoundCase{100, 100},
                                           RoundCase{-5, 0}, RoundCase{0, 0}, RoundCase{12, 12}));

TEST(FlatButtonProperties, Defaults) {
    TFlatButton b;
    EXPECT_EQ(b.size(), QSize(25, 25));
    EXPECT_EQ(b.Color(), 14805739);
    EXPECT_EQ(b.ColorFocused(), 14805739);
    EXPECT_EQ(b.ColorDown(), 12965593);
    EXPECT_EQ(b.ColorBorder(), 8623776);
    EXPECT_EQ(b.ColorHighLight(), clWhite);
    EXPECT_EQ(b.ColorShadow(), clBlack);
    EXPECT_EQ(b.Layout(), blGlyphTop);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.TransparentMode(), tmNone);
    EXPECT_FALSE(b.TabStop());
    EXPECT_TRUE(b.ParentColor());
    EXPECT_TRUE(b.ClaimsKey(VK_RETURN, {}));
    EXPECT_FALSE(b.ClaimsKey(VK_ESCAPE, {}));
}

TEST(FlatButtonProperties, SchemePropertiesAreSetByName) {
    TPanel panel;
    auto *b = new TFlatButton(&panel);
    for (const char *name :
         {"Color", "ColorDown", "ColorFocused", "ColorBorder", "ColorHighLight", "ColorShadow"}) {
        ASSERT_TRUE(b->setProperty(name, 255)) << name;
        EXPECT_EQ(b->property(name).toInt(), 255) << name;
    }
    EXPECT_TRUE(b->setProperty("Margin", 3));
    EXPECT_TRUE(b->setProperty("Spacing", -1));
    EXPECT_EQ(b->Margin(), 3);
    EXPECT_EQ(b->Spacing(), -1);
    panel.show();
    EXPECT_TRUE(b->setProperty("Visible", 0));
    EXPECT_TRUE(b->isHidden());
    EXPECT_FALSE(b->ParentColor()) << "setting Color ends following the parent";
}

TEST(FlatButtonProperties, ColourFollowsTheParentUntilSet) {
    TPanel panel;
    panel.SetColor(clWhite);
    auto *b = new TFlatButton(&panel);
    EXPECT_EQ(b->Color(), clWhite);
    panel.SetColor(clBtnFace);
    EXPECT_EQ(b->Color(), clBtnFace) << "system colour references are kept";
    b->SetColor(clRed);
    panel.SetColor(clYellow);
    EXPECT_EQ(b->Color(), clRed);
}

TEST(FlatButtonProperties, AdvColorsDeriveFromColor) {
    TPanel panel;
    panel.SetColor(rgbColor(100, 120, 140));
    auto *b = new TFlatButton(&panel);
    b->SetColor(clRed);
    b->SetUseAdvColors(true);
    EXPECT_TRUE(b->ParentColor());
    EXPECT_EQ(b->Color(), rgbColor(100, 120, 140));
    auto lightness = [](TColor c) { return Colors::toQColor(c).lightnessF(); };
    EXPECT_GT(lightness(b->ColorFocused()), lightness(b->Color()));
    EXPECT_LT(lightness(b->ColorDown()), lightness(b->Color()));
    EXPECT_LT(lightness(b->ColorBorder()), lightness(b->ColorDown()));
    EXPECT_EQ(b->ColorFocused(), AdvColors::lighter(b->Color(), 10));
    panel.SetColor(rgbColor(200, 40, 40));
    EXPECT_EQ(b->ColorBorder(), AdvColors::darker(rgbColor(200, 40, 40), 50))
        << "a new parent colour derives the colours again";
}

TEST(AdvColors, StepsOfLightnessKeepTheHue) {
    EXPECT_EQ(AdvColors::lighter(clBlack, 100), clWhite);
    EXPECT_EQ(AdvColors::darker(clWhite, 100), clBlack);
    EXPECT_EQ(AdvColors::darker(clBlack, 10), clBlack);
    const QColor c = Colors::toQColor(AdvColors::darker(rgbColor(0, 0, 255), 25));
    EXPECT_EQ(c.red(), 0);
    EXPECT_EQ(c.green(), 0);
    EXPECT_NEAR(c.blue(), 128, 1);
}

// ---- the glyph -----------------------------------------------------------------------------

// A strip of four 16 x 16 images in four colours; the bottom-left pixel is the transparent one.
QImage fourImageStrip() {
    QImage strip(64, 16, QImage::Format_RGB32);
    const QRgb colors[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip.setPixel(16 * i + x, y, colors[i]);
    strip.setPixel(0, 15, qRgb(255, 0, 255));
    return strip;
}

TEST(FlatButtonGlyph, StripOfFourShowsTheThirdImageWhilePressed) {
    TForm form;
    auto *b = new TFlatButton(&form);
    b->setGeometry(0, 0, 40, 40);
    b->SetGlyph(fourImageStrip());
    EXPECT_EQ(b->NumGlyphs(), 4);
    form.show();
    // Glyph on top, centred: x = (40 - 16 + 1) / 2 = 12, y = margin (40 - 16 - 0 + 1) / 2 = 12.
    auto glyphPixel = [&](QPoint at) {
        QImage shot(b->size(), QImage::Format_RGB32);
        b->render(&shot);
        return QColor(shot.pixel(at));
    };
    EXPECT_EQ(glyphPixel({20, 20}), QColor(255, 0, 0)) << "up shows the first image";
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(b->State(), TFlatButton::bsDown);
    // Pressed content moves one pixel right and down.
    EXPECT_EQ(glyphPixel({21, 21}), QColor(0, 0, 255)) << "pressed shows the third image";
    EXPECT_EQ(glyphPixel({13, 28}), QColor(0, 0, 255));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    b->setEnabled(false);
    EXPECT_EQ(glyphPixel({20, 20}), QColor(0, 255, 0)) << "disabled shows the second image";
}

TEST(FlatButtonGlyph, BottomLeftColourIsTransparent) {
    TForm form;
    auto *b = new TFlatButton(&form);
    b->setGeometry(0, 0, 40, 40);
    b->SetColor(clWhite);
    b->SetGlyph(fourImageStrip());
    b->SetNumGlyphs(4);
    form.show();
    QImage shot(b->size(), QImage::Format_RGB32);
    b->render(&shot);
    EXPECT_EQ(QColor(shot.pixel(12, 12 + 15)), QColor(Qt::white)) << "the key pixel is gone";
    EXPECT_EQ(QColor(shot.pixel(13, 12 + 15)), QColor(255, 0, 0));
}

} // namespace
