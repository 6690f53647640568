// Captions and hints of the widget set show the marks of capitals ("Ä" is not drawn like "A")
// and the descenders of "g" and "y", in the fonts the windows use.
#include "widgets/FlatHintWindow.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatHint.h"
#include "widgets/TFlatPanel.h"
#include "widgets/TPanel.h"

#include "platform/Colors.h"
#include "platform/ui/Fonts.h"
#include "testsupport/TextInk.h"

#include <gtest/gtest.h>

namespace {

class WidgetGlyphs : public ::testing::Test {
protected:
    void SetUp() override {
        Fonts::setup();
        if (!Fonts::tahomaAvailable())
            GTEST_SKIP() << "the Tahoma of fonts-wine is not installed";
    }
    const QFont tahoma8 = Fonts::make(QStringLiteral("Tahoma"), -11);
};

TEST_F(WidgetGlyphs, FlatButtonCaption) {
    // As high as the message box's and the main window's buttons, and as low as a grid row.
    for (const QSize size : {QSize(120, 25), QSize(120, 17)}) {
        SCOPED_TRACE(size.height());
        const auto render = [&](const QString &text) {
            TFlatButton button;
            button.setFont(tahoma8);
            button.resize(size);
            button.SetCaption(text);
            return TextInk::picture(button);
        };
        EXPECT_TRUE(TextInk::drawnWhole(render, tahoma8));
    }
}

TEST_F(WidgetGlyphs, FlatButtonShortcutLabel) {
    const QFont label =
        Fonts::make(QStringLiteral("Tahoma"), -Fonts::pointsToPixels(8), false, false, true);
    const auto render = [&](const QString &text) {
        TFlatButton button;
        button.setFont(tahoma8);
        button.resize(120, 60);
        button.SetLayout(TFlatButton::blGlyphLeft);
        button.SetVKKey(text);
        return TextInk::picture(button);
    };
    EXPECT_TRUE(TextInk::drawnWhole(render, label));
}

TEST_F(WidgetGlyphs, PanelCaptions) {
    for (const int height : {25, 19}) {
        SCOPED_TRACE(height);
        const auto panel = [&](const QString &text) {
            TPanel p;
            p.setFont(tahoma8);
            p.resize(140, height);
            p.SetCaption(text);
            return TextInk::picture(p);
        };
        EXPECT_TRUE(TextInk::drawnWhole(panel, tahoma8));
        const auto flat = [&](const QString &text) {
            TFlatPanel p;
            p.setFont(tahoma8);
            p.resize(140, height);
            p.SetCaption(text);
            return TextInk::picture(p);
        };
        EXPECT_TRUE(TextInk::drawnWhole(flat, tahoma8));
    }
}

TEST_F(WidgetGlyphs, HintWindow) {
    TFlatHint style;
    style.SetFont(tahoma8);
    const auto render = [&](const QString &text) {
        FlatHintWindow window(style, text);
        // The window is as wide as its text: the part inside the frame and right of the arrow
        // strip, on a canvas of one width in the hint's colour.
        const QRect inside = window.rect().adjusted(1 + FlatHintLayout::ArrowStrip, 1, -1, -1);
        return TextInk::onCanvas(TextInk::picture(window).copy(inside), QSize(300, 40),
                                 Colors::toQColor(style.Color()));
    };
    EXPECT_TRUE(TextInk::drawnWhole(render, tahoma8));
}

} // namespace
